#include "player/media_session.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>

#include "player/combase.h"
#include "player/media_control_abi.h"
#include "text/convert.h"
#include "ui/guard.h"
#include "ui/scoped.h"

namespace player {

namespace {

constexpr DWORD kReadEveryMs = 250;
// After the class could not be activated (Windows 8 has the runtime, not the
// class) or its manager failed.
constexpr DWORD kRetryAfterMs = 3000;
// An operation of the session that takes longer counts as failed.
constexpr ULONGLONG kOperationBoundMs = 1000;
constexpr DWORD kPollMs = 5;
constexpr DWORD kEndBoundMs = 1000;

// An interface pointer, released with its owner.
template <class T>
class Com {
 public:
  Com() = default;
  ~Com() { Reset(); }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;

  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  // For a method's out parameter.
  T** Put() {
    Reset();
    return &p_;
  }

 private:
  T* p_ = nullptr;
};

// Waits up to `ms` on the event that asks the reading to end; true once it is
// asked (or the event cannot be waited on).
bool Stopping(HANDLE stop, DWORD ms) {
  return WaitForSingleObject(stop, ms) != WAIT_TIMEOUT;
}

// A string a method handed out, as GBK; the string is deleted.
std::string TakeText(const Combase& runtime, HSTRING string) {
  UINT32 length = 0;
  const auto* raw = reinterpret_cast<const char16_t*>(runtime.WindowsGetStringRawBuffer(string, &length));
  std::string gbk = raw ? text::Utf16ToGbk(std::u16string_view(raw, length)) : std::string();
  runtime.WindowsDeleteString(string);
  return gbk;
}

// The system time in 100-ns ticks since 1601, as finely as the system keeps
// it. The precise clock came with Windows 8, so it is looked up at run time.
std::int64_t SystemTimeNow() {
  using GetTime = void(WINAPI*)(FILETIME*);
  static const auto precise = reinterpret_cast<GetTime>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
  FILETIME now;
  (precise ? precise : GetSystemTimeAsFileTime)(&now);
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) |
                                   now.dwLowDateTime);
}

// A moment the session gives in system time, on the program's clock. Taken
// once, when read: a later change of the system clock does not move it.
Clock::time_point SteadyTimeOf(abi::DateTime moment) {
  const Clock::time_point now = Clock::now();
  const std::int64_t ago = SystemTimeNow() - moment;
  if (moment == 0 || ago <= 0) return now;
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
  return now - std::chrono::duration_cast<Clock::duration>(Ticks(ago));
}

Status StatusOf(abi::PlaybackStatus status) {
  switch (status) {
    case abi::kPlaying:
      return Status::Playing;
    // Between two songs, or opened and not started: the place is held.
    case abi::kPaused:
    case abi::kChanging:
    case abi::kOpened:
      return Status::Paused;
    default:
      return Status::Stopped;
  }
}

// Reads the current session on the reading thread, in its apartment.
class Reader {
 public:
  Reader(const Combase& runtime, HANDLE stop) : runtime_(runtime), stop_(stop) {}

  bool connected() const { return static_cast<bool>(manager_); }

  // The current session; none when there is none or a call failed.
  std::optional<NowPlaying> Read() {
    if (!manager_ && !Connect()) return std::nullopt;
    Com<abi::ISession> session;
    if (FAILED(manager_->GetCurrentSession(session.Put()))) {
      manager_.Reset();  // the manager is gone: ask for a new one later
      return std::nullopt;
    }
    if (!session) return std::nullopt;
    return ReadSession(*session.get());
  }

 private:
  bool Connect() {
    HSTRING name = nullptr;
    const UINT32 length = static_cast<UINT32>(std::size(abi::kSessionManagerClass) - 1);
    if (FAILED(runtime_.WindowsCreateString(abi::kSessionManagerClass, length, &name))) return false;
    Com<abi::ISessionManagerStatics> statics;
    const HRESULT activated = runtime_.RoGetActivationFactory(name, abi::kIidSessionManagerStatics,
                                                              reinterpret_cast<void**>(statics.Put()));
    runtime_.WindowsDeleteString(name);
    Com<abi::IAsyncOperation<abi::ISessionManager>> request;
    return SUCCEEDED(activated) && statics && SUCCEEDED(statics->RequestAsync(request.Put())) &&
           Await(request.get(), manager_);
  }

  // The operation's result, waited for within its bound; false when it fails,
  // takes too long or the reading is to end.
  template <class T>
  bool Await(abi::IAsyncOperation<T>* operation, Com<T>& result) {
    Com<abi::IAsyncInfo> info;
    if (!operation ||
        FAILED(operation->QueryInterface(abi::kIidAsyncInfo, reinterpret_cast<void**>(info.Put()))) || !info)
      return false;
    const ULONGLONG deadline = GetTickCount64() + kOperationBoundMs;
    for (;;) {
      abi::AsyncStatus status = abi::kError;
      if (FAILED(info->get_Status(&status))) return false;
      if (status == abi::kCompleted) return SUCCEEDED(operation->GetResults(result.Put())) && result;
      if (status != abi::kStarted) return false;
      if (GetTickCount64() >= deadline || Stopping(stop_, kPollMs)) {
        info->Cancel();
        return false;
      }
    }
  }

  std::optional<NowPlaying> ReadSession(abi::ISession& session) {
    Com<abi::IAsyncOperation<abi::IMediaProperties>> request;
    Com<abi::IMediaProperties> properties;
    Com<abi::IPlaybackInfo> playback;
    Com<abi::ITimelineProperties> timeline;
    if (FAILED(session.TryGetMediaPropertiesAsync(request.Put())) || !Await(request.get(), properties) ||
        FAILED(session.GetPlaybackInfo(playback.Put())) || !playback ||
        FAILED(session.GetTimelineProperties(timeline.Put())) || !timeline)
      return std::nullopt;

    NowPlaying now;
    now.source = Source::MediaSession;
    HSTRING title = nullptr, artist = nullptr;
    properties->get_Title(&title);
    properties->get_Artist(&artist);
    now.title = TakeText(runtime_, title);
    now.artist = TakeText(runtime_, artist);

    abi::PlaybackStatus status = abi::kClosed;
    playback->get_PlaybackStatus(&status);
    now.status = StatusOf(status);
    Com<abi::IReferenceDouble> rate;
    double value = 0;
    if (SUCCEEDED(playback->get_PlaybackRate(rate.Put())) && rate && SUCCEEDED(rate->get_Value(&value)) &&
        std::isfinite(value) && value > 0)
      now.rate = value;

    abi::TimeSpan position = 0, end = 0;
    abi::DateTime updated = 0;
    timeline->get_Position(&position);
    timeline->get_EndTime(&end);
    timeline->get_LastUpdatedTime(&updated);
    // Players that publish the song alone leave the whole timeline at zero.
    now.position_known = position != 0 || end != 0 || updated != 0;
    now.position_ms = std::max<abi::TimeSpan>(position, 0) / abi::kTicksPerMs;
    now.length_ms = end > 0 ? end / abi::kTicksPerMs : -1;
    now.stamp = SteadyTimeOf(updated);
    return now;
  }

  const Combase& runtime_;
  HANDLE stop_;
  Com<abi::ISessionManager> manager_;
};

}  // namespace

struct MediaSession::Shared {
  ui::Handle stop{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  ui::Handle ended{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  mutable std::mutex mutex;
  std::optional<NowPlaying> latest;

  void Publish(std::optional<NowPlaying> now) {
    const std::lock_guard lock(mutex);
    latest = std::move(now);
  }

  // The reading thread: a multithreaded apartment of its own, where the
  // session's operations may complete on any thread.
  void Run() {
    const Combase* runtime = LoadCombase();
    if (!runtime || FAILED(runtime->RoInitialize(kRoInitMultithreaded))) return;
    {
      Reader reader(*runtime, stop.get());
      do Publish(reader.Read());
      while (!Stopping(stop.get(), reader.connected() ? kReadEveryMs : kRetryAfterMs));
    }  // its objects are released in their apartment
    runtime->RoUninitialize();
  }
};

MediaSession::MediaSession() : shared_(std::make_shared<Shared>()) {
  if (!shared_->stop || !shared_->ended) return;
  try {
    reader_ = std::thread([shared = shared_] {
      ui::Guarded([&] { shared->Run(); });
      SetEvent(shared->ended.get());
    });
  } catch (const std::system_error&) {
    // No thread: there is never a snapshot, as on a system without the session.
  }
}

MediaSession::~MediaSession() {
  if (!reader_.joinable()) return;
  SetEvent(shared_->stop.get());
  if (WaitForSingleObject(shared_->ended.get(), kEndBoundMs) == WAIT_OBJECT_0) {
    reader_.join();
  } else {
    reader_.detach();  // held up inside a call of the session; it keeps its share of the state
  }
}

std::optional<NowPlaying> MediaSession::Latest() const {
  const std::lock_guard lock(shared_->mutex);
  return shared_->latest;
}

}  // namespace player
