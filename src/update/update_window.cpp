#include "update/update_window.h"

#include <windows.h>

#include "app/windows.h"
#include "caption/waits.h"
#include "lyrimark/config.h"
#include "net/fetch_page.h"
#include "text/gbk.h"
#include "ui/units.h"
#include "ui/wide.h"
#include "update/announcement.h"
#include "update/download_file.h"
#include "update/downloader.h"
#include "update/start_program.h"

namespace update {

namespace {

UpdateState state;

// A window timer can only be stopped by the thread of its window, and the end
// of the download is reported on a downloader thread: that thread asks the
// user-interface thread through this message-only window, made there.
constexpr UINT kStopProgressTick = WM_APP + 1;
HWND relay = nullptr;

LRESULT CALLBACK RelayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kStopProgressTick) {
    if (ui::Window* w = app::UpdateWindow()) w->Get<ui::Timer>("时钟").SetInterval(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void MakeRelay() {
  if (relay) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = RelayProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LyrimarkUpdateRelay";
  RegisterClassExW(&wc);
  relay =
      CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

std::string CurrentDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(path.size()), path.data());
    if (n < path.size()) {
      path.resize(n);
      return ui::Narrow(path);
    }
    path.resize(n);
  }
}

// The end of the download: start the file saved under the program name; it
// may still be on its way, so look for it for about fifty seconds.
[[noreturn]] void FinishUpdate() {
  if (relay) SendMessageW(relay, kStopProgressTick, 0, 0);
  const std::string path = app::RunDirectory() + "\\" + state.updateFileName;
  for (int attempt = 1; attempt <= 99; ++attempt) {
    if (FileExists(path)) {
      StartProgram(path);
      app::EndProcess(0);
    }
    caption::TimerWait(500);
  }
  app::EndProcess(0);
}

}  // namespace

UpdateState& State() {
  return state;
}

void StartUpdate() {
  if (app::MainOpen()) app::Main().Close();
  caption::DispatchPendingMessages();
  // The page is read afresh: where the new version comes from belongs to this window.
  const UpdateSource source = ReadUpdateSource(net::FetchPage(LYRIMARK_ANNOUNCE_URL));
  state.updateAddress = source.address;
  state.updateFileName = source.fileName;
  BeginDownload();
}

void BeginDownload() {
  ui::Window* w = app::UpdateWindow();
  if (!w) return;
  const ui::Button button = w->Get<ui::Button>("按钮1");
  button.SetText("正在更新,请稍等.");
  button.Enable(false);

  DownloadParameters& p = state.downloadParameters;
  p.modeFlags = kDownloadToFile;
  p.address = std::string(text::TrimBlanks(state.updateAddress));  // the file name keeps its blanks
  p.stopGraceMs = 1000;
  p.connections = 5;
  p.localFile = CurrentDirectory() + "\\" + state.updateFileName;
  p.connectTimeoutMs = 5000;
  p.sendTimeoutMs = 5000;
  p.receiveTimeoutMs = 10000;
  p.readBlockSize = 10240;
  p.notify = OnDownloadEvent;
  MakeRelay();
  StartDownload(state.downloadJob, p);
  w->Get<ui::Timer>("时钟").SetInterval(1000);
}

void ProgressTick() {
  ui::Window* w = app::UpdateWindow();
  if (!w) return;
  DownloadJob* job = state.downloadJob.get();
  const double total = state.totalSize;
  const auto received = [job] { return BytesReceived(job); };
  w->Get<ui::Label>("下载进度").SetText(ProgressLabel(static_cast<double>(received()), total));
  w->Get<ui::ProgressBar>("进度条").SetPosition(Percent(static_cast<double>(received()), total));
  w->Get<ui::Label>("下载速度").SetText(SpeedLabel(BytesSinceLastAsk(job)));
  w->Get<ui::Label>("已经下载").SetText(ReceivedLabel(received(), total));
  state.elapsed.Tick();
  w->Get<ui::Label>("已用时间").SetText(ElapsedLabel(state.elapsed));
  const auto now = static_cast<double>(received());
  w->Get<ui::Label>("剩余时间")
      .SetText(RemainingLabel(Remaining(total, now, static_cast<double>(AllBytesSinceLastAsk()))));
}

std::int32_t LYRIMARK_NOTIFY_CALL OnDownloadEvent(std::int32_t kind, std::int32_t, std::int32_t value,
                                                  std::int32_t, std::int32_t) {
  if (kind == kNotifySize) state.totalSize = value;
  if (kind == kNotifyEnd) FinishUpdate();
  return 0;
}

void StopUpdateDownload() {
  StopDownload(state.downloadJob.get());
}

}  // namespace update
