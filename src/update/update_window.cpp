#include "update/update_window.h"

#include <windows.h>

#include "caption/waits.h"
#include "forms/main_form.h"
#include "forms/program.h"
#include "forms/update_form.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "text/file_name.h"
#include "text/gbk.h"
#include "ui/message_box.h"
#include "ui/message_loop.h"
#include "ui/scoped.h"
#include "ui/units.h"
#include "ui/wide.h"
#include "ui/win32.h"
#include "update/announcement.h"
#include "update/downloader.h"
#include "update/release_signature.h"
#include "update/signature_check.h"
#include "update/start_program.h"

namespace update {

namespace {

UpdateState state;

// No release of this program comes near this; a server that names a larger
// file is not sending one.
constexpr std::int64_t kLargestUpdate = std::int64_t{256} << 20;

// Whether the file whose hash is `sha256` is the release the page names, signed with our key.
bool Genuine(const UpdateSource& release, std::string_view sha256) {
  return IsGenuineRelease(kUpdatePublicKey, LYRIMARK_VERSION, release, sha256);
}

// A signed update that fails its check: the user hears of it, nothing is started.
[[noreturn]] void RefuseUpdate() {
  ui::ShowMessage("更新文件校验失败，已取消更新", "Lyrimark", {.icon = ui::Icon::Stop, .taskModal = true});
  forms::EndProcess(0);
}

// The saved file, opened for reading and held against writes. A virus
// scanner may be looking at the new file just then: a sharing conflict is
// tried again for about a second.
ui::Handle HoldFile(const std::wstring& path) {
  for (int attempt = 0;; ++attempt) {
    ui::Handle held = ui::OwnFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (held || GetLastError() != ERROR_SHARING_VIOLATION || attempt == 20) return held;
    caption::TimerWait(50);
  }
}

// Whether `file` is the program's own file, under whatever name it was reached.
bool IsOwnFile(HANDLE file) {
  const ui::Handle own = ui::OwnFile(CreateFileW(ui::ModulePath().c_str(), FILE_READ_ATTRIBUTES,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                 nullptr, OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return own && GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(own.get(), &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Starts the file this run saved and ends the program. The file is held open
// against writes from its check until the new process has it, and it starts
// only while it holds the bytes the download committed (and, where updates
// are signed, the release the page names): what was checked is what starts.
// Nothing else is started, and nothing is deleted.
[[noreturn]] void StartNewVersion(const SavedFile& saved) {
  ui::Handle held = HoldFile(saved.path);
  // A file that was not held hashes to nothing, and a saved file has a hash.
  const bool intact = FileSha256(held.get()) == saved.sha256 && !IsOwnFile(held.get());
  const bool genuine = intact && (!SignedUpdatesOnly() || Genuine(state.source, saved.sha256));
  if (genuine) StartProgram(saved.path);
  held.reset();
  if (!genuine && SignedUpdatesOnly()) RefuseUpdate();
  forms::EndProcess(0);
}

// The end of the download: the file it saved starts, under the name it was
// saved by; when it saved nothing, the program ends at once.
void FinishUpdate() {
  if (forms::UpdateWindow()) forms::update::时钟().SetInterval(0);
  if (state.refused) RefuseUpdate();
  const SavedFile saved = SavedFileOf(state.downloadJob.get());
  if (!saved.path.empty()) StartNewVersion(saved);
  forms::EndProcess(0);
}

// The downloader's notification, on one of its threads.
std::int32_t LYRIMARK_NOTIFY_CALL OnDownloadEvent(std::int32_t kind, std::int32_t, std::int32_t value,
                                                  std::int32_t, std::int32_t) {
  if (kind == kNotifySize) state.totalSize = value;
  if (kind == kNotifyEnd) ui::RunOnUiThread(FinishUpdate);
  return 0;
}

}  // namespace

UpdateState& State() {
  return state;
}

void StartUpdate() {
  if (forms::MainOpen()) forms::main::Window().Close();
  caption::DispatchPendingMessages();
  // The page is read afresh: where the new version comes from belongs to this window.
  state.source = ReadUpdateSource(net::FetchPage(LYRIMARK_ANNOUNCE_URL));
  BeginDownload();
}

void BeginDownload() {
  if (!forms::UpdateWindow()) return;
  const ui::Button button = forms::update::按钮1();
  button.SetText("正在更新,请稍等.");
  button.Enable(false);
  // The name is joined to the program's folder: one that would leave it, name
  // a device, or be saved under another name than it says gets nothing
  // written and nothing started.
  if (!text::IsSafeFileName(state.source.fileName) || !text::IsExactFileName(state.source.fileName))
    forms::EndProcess(0);
  // A release that cannot pass its check is not worth the download.
  if (SignedUpdatesOnly() &&
      (state.source.signature.empty() || !IsNewerVersion(state.source.version, LYRIMARK_VERSION)))
    RefuseUpdate();

  DownloadParameters& p = state.downloadParameters;
  p.modeFlags = kDownloadToFile;
  p.address = std::string(text::TrimBlanks(state.source.address));  // the file name keeps its blanks
  p.stopGraceMs = 1000;
  p.connections = 5;
  p.localFile = ui::CurrentDirectory() + L"\\" + ui::Wide(state.source.fileName);
  p.connectTimeoutMs = 5000;
  p.sendTimeoutMs = 5000;
  p.receiveTimeoutMs = 10000;
  p.readBlockSize = 10240;
  p.notify = OnDownloadEvent;
  p.largestFile = kLargestUpdate;
  if (SignedUpdatesOnly()) {
    // Checked before the file takes its name; nothing of the page is shared
    // with the downloader's thread but this copy.
    p.acceptFile = [release = state.source](std::string_view sha256) {
      const bool genuine = Genuine(release, sha256);
      if (!genuine) state.refused = true;
      return genuine;
    };
  }
  // The end is reported on a downloader thread, while the update belongs to
  // this thread: the window timer, the file name, and the end of the process.
  // A download that cannot start (an address it cannot fetch) will save
  // nothing: the update is over. One still running, begun by an update window
  // the user closed, goes on and ends the update itself.
  if (!ui::PrepareUiThread() ||
      (!StartDownload(state.downloadJob, p) && !IsDownloading(state.downloadJob.get())))
    forms::EndProcess(0);
  forms::update::时钟().SetInterval(1000);
}

void ProgressTick() {
  if (!forms::UpdateWindow()) return;
  namespace units = forms::update;
  DownloadJob* job = state.downloadJob.get();
  const double total = state.totalSize;
  const auto received = [job] { return BytesReceived(job); };
  units::下载进度().SetText(ProgressLabel(static_cast<double>(received()), total));
  units::进度条().SetPosition(Percent(static_cast<double>(received()), total));
  units::下载速度().SetText(SpeedLabel(BytesSinceLastAsk(job)));
  units::已经下载().SetText(ReceivedLabel(received(), total));
  state.elapsed.Tick();
  units::已用时间().SetText(ElapsedLabel(state.elapsed));
  const auto now = static_cast<double>(received());
  units::剩余时间().SetText(
      RemainingLabel(Remaining(total, now, static_cast<double>(AllBytesSinceLastAsk()))));
}

void StopUpdateDownload() {
  StopDownload(state.downloadJob.get());
}

}  // namespace update
