#include "update/announcement_check.h"

#include "caption/waits.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "forms/update_form.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "ui/message_box.h"
#include "update/announcement.h"
#include "update/release_signature.h"
#include "update/signature_check.h"

namespace update {

void CheckAnnouncement() {
  caption::DispatchPendingMessages();
  const std::string bytes = net::FetchPage(LYRIMARK_ANNOUNCE_URL);
  const Announcement page = ReadAnnouncement(bytes);
  if (!IsYes(page.run)) {
    // No page, no section, or not a yes: the program cannot be used.
    ui::ShowMessage("服务器故障，请重试", "无法连接到服务器", {.icon = ui::Icon::Stop, .taskModal = true});
    forms::EndProcess(0);
  }
  forms::main::Window().SetCaption(page.title);
  // Where updates are signed, a release that is not newer than this program
  // is no update: the new version reading a page that still forces it runs.
  if (SignedUpdatesOnly() && !IsNewerVersion(ReadUpdateSource(bytes).version, LYRIMARK_VERSION)) return;
  if (IsYes(page.force)) forms::OpenUpdateWindowModal();
  if (IsYes(page.prompt) &&
      ui::ShowMessage("当前程序已经有更新版本,是否更新", "字幕工具版本更新提示：",
                      {.buttons = ui::Buttons::YesNo, .taskModal = true}) == ui::Answer::Yes) {
    forms::OpenUpdateWindowModal();
  }
}

}  // namespace update
