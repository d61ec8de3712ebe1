#include "update/announcement_check.h"

#include "caption/waits.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "forms/update_form.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "ui/message_box.h"
#include "update/announcement.h"

namespace update {

void CheckAnnouncement() {
  caption::DispatchPendingMessages();
  const Announcement page = ReadAnnouncement(net::FetchPage(LYRIMARK_ANNOUNCE_URL));
  if (!IsYes(page.run)) {
    // No page, no section, or not a yes: the program cannot be used.
    ui::ShowMessage("服务器故障，请重试", "无法连接到服务器", {.icon = ui::Icon::Stop, .taskModal = true});
    forms::EndProcess(0);
  }
  forms::main::Window().SetCaption(page.title);
  if (IsYes(page.force)) forms::OpenUpdateWindowModal();
  if (IsYes(page.prompt) &&
      ui::ShowMessage("当前程序已经有更新版本,是否更新", "字幕工具版本更新提示：",
                      {.buttons = ui::Buttons::YesNo, .taskModal = true}) == ui::Answer::Yes) {
    forms::OpenUpdateWindowModal();
  }
}

}  // namespace update
