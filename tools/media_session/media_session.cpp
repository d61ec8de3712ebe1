// Stand-in for the system media session, which Wine does not have: an
// in-process Windows Runtime class
// Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager whose
// current session plays what a state file says.
//
// A test registers it in its Wine prefix under
//   HKLM\Software\Microsoft\WindowsRuntime\ActivatableClassId\<the class>
// with DllPath (this DLL; all that Wine's combase reads), ActivationType 0
// (in process), Threading 0 (both), TrustLevel 0, and StateFile: the state
// file's path. The file is read anew at every call; while it is missing there
// is no current session. UTF-8 lines of key=value, each optional:
//   title=<text>  artist=<text>
//   status=<n>       the session's PlaybackStatus: 0 closed, 1 opened,
//                    2 changing, 3 stopped, 4 playing (the default), 5 paused
//   position_ms=<n>  end_ms=<n>
//   updated=<n>      when the position held: a FILETIME in 100-ns ticks (0: never)
//   rate=<x>         (no line: the session gives no rate)
//   hang=1           the media properties' operation never completes
//
// The interfaces are declared here on their own, apart from the program's
// declarations, so that a slot wrong in either shows as a failure. From the
// Windows SDK's windows.media.control.idl, asyncinfo.idl and
// windows.foundation.idl.
#include <windows.h>

#include <activation.h>
#include <inspectable.h>
#include <winstring.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

namespace {

constexpr wchar_t kClassName[] = L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";
constexpr wchar_t kRegistration[] =
    L"Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\"
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";

constexpr GUID MakeGuid(std::uint32_t a, std::uint16_t b, std::uint16_t c, std::uint64_t d) {
  return {a,
          b,
          c,
          {static_cast<std::uint8_t>(d >> 56), static_cast<std::uint8_t>(d >> 48),
           static_cast<std::uint8_t>(d >> 40), static_cast<std::uint8_t>(d >> 32),
           static_cast<std::uint8_t>(d >> 24), static_cast<std::uint8_t>(d >> 16),
           static_cast<std::uint8_t>(d >> 8), static_cast<std::uint8_t>(d)}};
}

const GUID kIUnknown = MakeGuid(0x00000000, 0x0000, 0x0000, 0xC000000000000046);
const GUID kIInspectable = MakeGuid(0xAF86E2E0, 0xB12D, 0x4C6A, 0x9C5AD7AA65101E90);
const GUID kIAgileObject = MakeGuid(0x94EA2B94, 0xE9CC, 0x49E0, 0xC0FFEE64CA8F5B90);
const GUID kIActivationFactory = MakeGuid(0x00000035, 0x0000, 0x0000, 0xC000000000000046);
const GUID kIAsyncInfo = MakeGuid(0x00000036, 0x0000, 0x0000, 0xC000000000000046);
const GUID kIManagerStatics = MakeGuid(0x2050C4EE, 0x11A0, 0x57DE, 0xAED7C97C70338245);
const GUID kIManager = MakeGuid(0xCACE8EAC, 0xE86E, 0x504A, 0xAB315FF8FF1BCE49);
const GUID kISession = MakeGuid(0x7148C835, 0x9B14, 0x5AE2, 0xAB85DC9B1C14E1A8);
const GUID kIMediaProperties = MakeGuid(0x68856CF6, 0xADB4, 0x54B2, 0xAC1605837907ACB6);
const GUID kITimeline = MakeGuid(0xEDE34136, 0x6F25, 0x588D, 0x8ECFEA5B6735AAA5);
const GUID kIPlaybackInfo = MakeGuid(0x94B4B6CF, 0xE8BA, 0x51AD, 0x87A7C10ADE106127);
const GUID kIReferenceDouble = MakeGuid(0x2F2D6C29, 0x5473, 0x5F3E, 0x92E796572BB990E2);
// E_ILLEGAL_METHOD_CALL: the results of an operation that has not completed.
constexpr HRESULT kIllegalMethodCall = static_cast<HRESULT>(0x8000000E);

// IAsyncOperation<GlobalSystemMediaTransportControlsSessionManager> and <...MediaProperties>
const GUID kIManagerOperation = MakeGuid(0x3EEC115E, 0x7346, 0x5C27, 0x8C5FDA78514A277B);
const GUID kIPropertiesOperation = MakeGuid(0xB185E6F3, 0xE0D8, 0x51CB, 0x913FC98D48C93C46);

struct IManagerStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE RequestAsync(void** operation) = 0;
};

struct IAsyncInfoDecl : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Status(int* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) = 0;
  virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
  virtual HRESULT STDMETHODCALLTYPE Close() = 0;
};

struct IOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(void* handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Completed(void** handler) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetResults(void** results) = 0;
};

struct IManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetCurrentSession(void** session) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSessions(void** sessions) = 0;
};

struct ISession : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE TryGetMediaPropertiesAsync(void** operation) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTimelineProperties(void** timeline) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPlaybackInfo(void** info) = 0;
};

struct IMediaProperties : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* value) = 0;
};

struct ITimeline : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_StartTime(INT64* ticks) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_EndTime(INT64* ticks) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MinSeekTime(INT64* ticks) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MaxSeekTime(INT64* ticks) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Position(INT64* ticks) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(INT64* file_time) = 0;
};

struct IPlaybackInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Controls(void** controls) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackStatus(int* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(void** type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(void** mode) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackRate(void** rate) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_IsShuffleActive(void** shuffle) = 0;
};

struct IReferenceDouble : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;
};

// Reference counting and IInspectable for the objects below.
template <class... Interfaces>
class Object : public Interfaces... {
 public:
  virtual ~Object() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** iids) override {
    *count = 0;
    *iids = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* name) override {
    *name = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* level) override {
    *level = BaseTrust;
    return S_OK;
  }

 protected:
  // QueryInterface: `first` for IUnknown, IInspectable and IAgileObject (the
  // objects are free-threaded), and each listed interface as its pointer.
  HRESULT Answer(REFIID asked, void** out, IInspectable* first,
                 std::initializer_list<std::pair<GUID, void*>> more) {
    *out = nullptr;
    if (asked == kIUnknown || asked == kIInspectable || asked == kIAgileObject) *out = first;
    for (const auto& [iid, as] : more) {
      if (asked == iid) *out = as;
    }
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
};

HSTRING MakeString(const std::wstring& text) {
  HSTRING string = nullptr;
  WindowsCreateString(text.c_str(), static_cast<UINT32>(text.size()), &string);
  return string;
}

std::wstring Utf8ToWide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
  return wide;
}

// The state file's path, from the registration.
std::wstring StateFilePath() {
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path - sizeof path[0];
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kRegistration, L"StateFile", RRF_RT_REG_SZ, nullptr, path, &size) !=
      ERROR_SUCCESS)
    return {};
  return path;
}

// The state file's lines as key -> value; false while there is no file.
bool ReadState(std::map<std::string, std::string>& state) {
  const std::wstring path = StateFilePath();
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (path.empty() || file == INVALID_HANDLE_VALUE) return false;
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
    start = end + 1;
  }
  return true;
}

struct State {
  std::wstring title, artist;
  int status = 4;
  INT64 position = 0, end = 0, updated = 0;  // 100-ns ticks
  bool has_rate = false;
  double rate = 1;
  bool hang = false;
};

// The state as the file says it now; none while there is no file.
std::optional<State> LoadState() {
  std::map<std::string, std::string> lines;
  if (!ReadState(lines)) return std::nullopt;
  const auto number = [&](const char* key) { return std::strtoll(lines[key].c_str(), nullptr, 10); };
  State state;
  state.title = Utf8ToWide(lines["title"]);
  state.artist = Utf8ToWide(lines["artist"]);
  if (lines.count("status")) state.status = static_cast<int>(number("status"));
  state.position = number("position_ms") * 10000;
  state.end = number("end_ms") * 10000;
  state.updated = number("updated");
  state.has_rate = lines.count("rate") != 0;
  state.rate = std::strtod(lines["rate"].c_str(), nullptr);
  state.hang = lines["hang"] == "1";
  return state;
}

// A property's value, handed out.
template <class T>
HRESULT Give(std::type_identity_t<T> value, T* out) {
  *out = value;
  return S_OK;
}
HRESULT Give(const std::wstring& text, HSTRING* out) {
  return Give(MakeString(text), out);
}

// An object with one interface of its own.
template <class Interface, const GUID& kIid>
class Single : public Object<Interface> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return this->Answer(iid, out, this, {{kIid, static_cast<Interface*>(this)}});
  }
};

class Rate final : public Single<IReferenceDouble, kIReferenceDouble> {
 public:
  explicit Rate(double value) : value_(value) {}
  HRESULT STDMETHODCALLTYPE get_Value(double* value) override { return Give(value_, value); }

 private:
  double value_;
};

class MediaProperties final : public Single<IMediaProperties, kIMediaProperties> {
 public:
  explicit MediaProperties(const State& state) : state_(state) {}
  HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) override { return Give(state_.title, value); }
  HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* value) override { return Give(L"", value); }
  HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* value) override { return Give(L"", value); }
  HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) override { return Give(state_.artist, value); }
  HRESULT STDMETHODCALLTYPE get_AlbumTitle(HSTRING* value) override { return Give(L"", value); }

 private:
  State state_;
};

class Timeline final : public Single<ITimeline, kITimeline> {
 public:
  explicit Timeline(const State& state) : state_(state) {}
  HRESULT STDMETHODCALLTYPE get_StartTime(INT64* ticks) override { return Give(0, ticks); }
  HRESULT STDMETHODCALLTYPE get_EndTime(INT64* ticks) override { return Give(state_.end, ticks); }
  HRESULT STDMETHODCALLTYPE get_MinSeekTime(INT64* ticks) override { return Give(0, ticks); }
  HRESULT STDMETHODCALLTYPE get_MaxSeekTime(INT64* ticks) override { return Give(state_.end, ticks); }
  HRESULT STDMETHODCALLTYPE get_Position(INT64* ticks) override { return Give(state_.position, ticks); }
  HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(INT64* file_time) override {
    return Give(state_.updated, file_time);
  }

 private:
  State state_;
};

class PlaybackInfo final : public Single<IPlaybackInfo, kIPlaybackInfo> {
 public:
  explicit PlaybackInfo(const State& state) : state_(state) {}
  HRESULT STDMETHODCALLTYPE get_Controls(void** controls) override { return Give(nullptr, controls); }
  HRESULT STDMETHODCALLTYPE get_PlaybackStatus(int* status) override { return Give(state_.status, status); }
  HRESULT STDMETHODCALLTYPE get_PlaybackType(void** type) override { return Give(nullptr, type); }
  HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(void** mode) override { return Give(nullptr, mode); }
  HRESULT STDMETHODCALLTYPE get_PlaybackRate(void** rate) override {
    return Give(state_.has_rate ? static_cast<IReferenceDouble*>(new Rate(state_.rate)) : nullptr, rate);
  }
  HRESULT STDMETHODCALLTYPE get_IsShuffleActive(void** shuffle) override { return Give(nullptr, shuffle); }

 private:
  State state_;
};

// An operation that has completed with `result` at its start, or, hanging,
// never does.
class Operation final : public Object<IOperation, IAsyncInfoDecl> {
 public:
  Operation(const GUID& iid, IInspectable* result, bool hang) : iid_(iid), result_(result), hang_(hang) {}
  ~Operation() override {
    if (result_) result_->Release();
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return Answer(
        iid, out, static_cast<IOperation*>(this),
        {{iid_, static_cast<IOperation*>(this)}, {kIAsyncInfo, static_cast<IAsyncInfoDecl*>(this)}});
  }
  HRESULT STDMETHODCALLTYPE put_Completed(void*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Completed(void** handler) override {
    *handler = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetResults(void** results) override {
    if (hang_ || cancelled_) return kIllegalMethodCall;
    result_->AddRef();
    return Give(result_, results);
  }
  HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) override { return Give(1, id); }
  HRESULT STDMETHODCALLTYPE get_Status(int* status) override {
    return Give(cancelled_ ? 2 : hang_ ? 0 : 1, status);  // canceled, started, completed
  }
  HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) override { return Give(S_OK, code); }
  HRESULT STDMETHODCALLTYPE Cancel() override {
    cancelled_ = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }

 private:
  GUID iid_;
  IInspectable* result_;
  bool hang_;
  std::atomic<bool> cancelled_{false};
};

class Session final : public Single<ISession, kISession> {
 public:
  HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* id) override {
    return Give(L"LyrimarkStandInPlayer", id);
  }
  HRESULT STDMETHODCALLTYPE TryGetMediaPropertiesAsync(void** operation) override {
    const State state = LoadState().value_or(State());
    IInspectable* properties = new MediaProperties(state);
    return Give(static_cast<IOperation*>(new Operation(kIPropertiesOperation, properties, state.hang)),
                operation);
  }
  HRESULT STDMETHODCALLTYPE GetTimelineProperties(void** timeline) override {
    return Give(static_cast<ITimeline*>(new Timeline(LoadState().value_or(State()))), timeline);
  }
  HRESULT STDMETHODCALLTYPE GetPlaybackInfo(void** info) override {
    return Give(static_cast<IPlaybackInfo*>(new PlaybackInfo(LoadState().value_or(State()))), info);
  }
};

class Manager final : public Single<IManager, kIManager> {
 public:
  HRESULT STDMETHODCALLTYPE GetCurrentSession(void** session) override {
    return Give(LoadState() ? static_cast<ISession*>(new Session) : nullptr, session);
  }
  HRESULT STDMETHODCALLTYPE GetSessions(void** sessions) override {
    *sessions = nullptr;
    return E_NOTIMPL;
  }
};

class Factory final : public Object<IActivationFactory, IManagerStatics> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return Answer(iid, out, static_cast<IActivationFactory*>(this),
                  {{kIActivationFactory, static_cast<IActivationFactory*>(this)},
                   {kIManagerStatics, static_cast<IManagerStatics*>(this)}});
  }
  HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override {
    *instance = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE RequestAsync(void** operation) override {
    IInspectable* manager = static_cast<IManager*>(new Manager);
    *operation = static_cast<IOperation*>(new Operation(kIManagerOperation, manager, false));
    return S_OK;
  }
};

}  // namespace

extern "C" HRESULT WINAPI DllGetActivationFactory(HSTRING class_id, IActivationFactory** factory) {
  *factory = nullptr;
  if (std::wstring(WindowsGetStringRawBuffer(class_id, nullptr)) != kClassName)
    return CLASS_E_CLASSNOTAVAILABLE;
  *factory = static_cast<IActivationFactory*>(new Factory);
  return S_OK;
}

// The objects handed out may still be in use: the DLL stays.
extern "C" HRESULT WINAPI DllCanUnloadNow() {
  return S_FALSE;
}
