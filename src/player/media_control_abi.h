// The few Windows Runtime interfaces that reading the system media session
// needs, declared by hand: mingw-w64 ships no header for Windows.Media.Control.
//
// Declared from the Windows SDK's windows.media.control.idl as its generated
// header winrt/windows.media.control.h (SDK 10.0.18362.0) gives it, with
// IAsyncInfo, IAsyncOperation<T> and IReference<T> from the SDK's
// asyncinfo.idl and windows.foundation.idl. Every IID and every slot was
// checked against a second published source, the generated bindings of the
// Rust projection (microsoft/windows-rs: crates/libs/windows/src/Windows/
// Media/Control/mod.rs, and Windows/Foundation/mod.rs for the generic
// interfaces). Slots 0-5 are IUnknown's and IInspectable's; each interface
// declares its methods in order up to the last one used, so that those sit at
// their slots. The stand-in provider of the tests (tools/media_session)
// declares the same interfaces on its own: a wrong slot on either side fails.
#pragma once

#include <windows.h>

#include <hstring.h>
#include <inspectable.h>

#include <cstdint>

namespace player::abi {

// Windows.Foundation.TimeSpan and DateTime: 100-ns ticks, a DateTime counted
// from 1601-01-01 UTC as a FILETIME is.
using TimeSpan = std::int64_t;
using DateTime = std::int64_t;
constexpr std::int64_t kTicksPerMs = 10'000;

// Windows.Foundation.AsyncStatus
enum AsyncStatus : int { kStarted = 0, kCompleted = 1, kCanceled = 2, kError = 3 };

// Windows.Media.Control.GlobalSystemMediaTransportControlsSessionPlaybackStatus
enum PlaybackStatus : int {
  kClosed = 0,
  kOpened = 1,
  kChanging = 2,
  kStopped = 3,
  kPlaying = 4,
  kPaused = 5
};

// IAsyncInfo {00000036-0000-0000-C000-000000000046}
struct IAsyncInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Id(UINT32* id) = 0;               // 6
  virtual HRESULT STDMETHODCALLTYPE get_Status(AsyncStatus* status) = 0;  // 7
  virtual HRESULT STDMETHODCALLTYPE get_ErrorCode(HRESULT* code) = 0;     // 8
  virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;                         // 9
};
constexpr GUID kIidAsyncInfo{0x00000036, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// IAsyncOperation<T>. Its instances' IIDs are not needed here: each comes
// typed from the method that starts it, and is waited for through IAsyncInfo.
template <class T>
struct IAsyncOperation : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE put_Completed(IUnknown* handler) = 0;   // 6
  virtual HRESULT STDMETHODCALLTYPE get_Completed(IUnknown** handler) = 0;  // 7
  virtual HRESULT STDMETHODCALLTYPE GetResults(T** results) = 0;            // 8
};

// IReference<Double> {2F2D6C29-5473-5F3E-92E7-96572BB990E2}
struct IReferenceDouble : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;  // 6
};

// IGlobalSystemMediaTransportControlsSessionMediaProperties {68856CF6-ADB4-54B2-AC16-05837907ACB6}
struct IMediaProperties : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Title(HSTRING* value) = 0;        // 6
  virtual HRESULT STDMETHODCALLTYPE get_Subtitle(HSTRING* value) = 0;     // 7
  virtual HRESULT STDMETHODCALLTYPE get_AlbumArtist(HSTRING* value) = 0;  // 8
  virtual HRESULT STDMETHODCALLTYPE get_Artist(HSTRING* value) = 0;       // 9
};

// IGlobalSystemMediaTransportControlsSessionTimelineProperties {EDE34136-6F25-588D-8ECF-EA5B6735AAA5}
struct ITimelineProperties : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_StartTime(TimeSpan* value) = 0;        // 6
  virtual HRESULT STDMETHODCALLTYPE get_EndTime(TimeSpan* value) = 0;          // 7
  virtual HRESULT STDMETHODCALLTYPE get_MinSeekTime(TimeSpan* value) = 0;      // 8
  virtual HRESULT STDMETHODCALLTYPE get_MaxSeekTime(TimeSpan* value) = 0;      // 9
  virtual HRESULT STDMETHODCALLTYPE get_Position(TimeSpan* value) = 0;         // 10
  virtual HRESULT STDMETHODCALLTYPE get_LastUpdatedTime(DateTime* value) = 0;  // 11
};

// IGlobalSystemMediaTransportControlsSessionPlaybackInfo {94B4B6CF-E8BA-51AD-87A7-C10ADE106127}
struct IPlaybackInfo : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_Controls(IInspectable** value) = 0;          // 6
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackStatus(PlaybackStatus* value) = 0;   // 7
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackType(IInspectable** value) = 0;      // 8
  virtual HRESULT STDMETHODCALLTYPE get_AutoRepeatMode(IInspectable** value) = 0;    // 9
  virtual HRESULT STDMETHODCALLTYPE get_PlaybackRate(IReferenceDouble** value) = 0;  // 10
};

// IGlobalSystemMediaTransportControlsSession {7148C835-9B14-5AE2-AB85-DC9B1C14E1A8}
struct ISession : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE get_SourceAppUserModelId(HSTRING* value) = 0;  // 6
  virtual HRESULT STDMETHODCALLTYPE
  TryGetMediaPropertiesAsync(IAsyncOperation<IMediaProperties>** op) = 0;                     // 7
  virtual HRESULT STDMETHODCALLTYPE GetTimelineProperties(ITimelineProperties** result) = 0;  // 8
  virtual HRESULT STDMETHODCALLTYPE GetPlaybackInfo(IPlaybackInfo** result) = 0;              // 9
};

// IGlobalSystemMediaTransportControlsSessionManager {CACE8EAC-E86E-504A-AB31-5FF8FF1BCE49}
struct ISessionManager : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE GetCurrentSession(ISession** result) = 0;  // 6
};

// IGlobalSystemMediaTransportControlsSessionManagerStatics, the activation
// factory's interface: RequestAsync.
struct ISessionManagerStatics : IInspectable {
  virtual HRESULT STDMETHODCALLTYPE RequestAsync(IAsyncOperation<ISessionManager>** op) = 0;  // 6
};
constexpr GUID kIidSessionManagerStatics{
    0x2050c4ee, 0x11a0, 0x57de, {0xae, 0xd7, 0xc9, 0x7c, 0x70, 0x33, 0x82, 0x45}};

constexpr wchar_t kSessionManagerClass[] =
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";

}  // namespace player::abi
