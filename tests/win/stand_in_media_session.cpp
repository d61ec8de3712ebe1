#include "win/stand_in_media_session.h"

#include <windows.h>

#include "win/stand_in_files.h"

namespace wintest {

namespace {

constexpr wchar_t kRegistration[] =
    L"Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\"
    L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";

bool SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const wchar_t* name, DWORD value) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

}  // namespace

StandInMediaSession::StandInMediaSession() : state_path_(FreshTempPath(L"media-session")) {
  Unregister();
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRegistration, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  // As Windows registers its in-process classes; Wine's combase reads DllPath alone.
  registered_ = SetText(key, L"DllPath", BuiltFilePath(LYRIMARK_MEDIA_SESSION_DLL)) &&
                SetNumber(key, L"ActivationType", 0) && SetNumber(key, L"Threading", 0) &&
                SetNumber(key, L"TrustLevel", 0) && SetText(key, L"StateFile", state_path_);
  RegCloseKey(key);
}

StandInMediaSession::~StandInMediaSession() {
  Unregister();
  End();
}

bool StandInMediaSession::Write(std::wstring_view state) {
  return WriteFileAtomically(state_path_, Utf8(state));
}

void StandInMediaSession::End() {
  DeleteFileW(state_path_.c_str());
}

void StandInMediaSession::Unregister() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kRegistration);
}

std::int64_t StandInMediaSession::FileTimeNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) |
                                   now.dwLowDateTime);
}

}  // namespace wintest
