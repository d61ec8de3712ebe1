// A stand-in for a new version of the program, for the update tests: started,
// it notes that it ran and how (its command line, UTF-8) in a marker file, and
// ends. The marker is LYRIMARK_NEW_VERSION_MARKER when that is set, else the
// program's own path with ".started" added.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::wstring marker(MAX_PATH, L'\0');
  DWORD n = GetEnvironmentVariableW(L"LYRIMARK_NEW_VERSION_MARKER", marker.data(), MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    marker.resize(n);
  } else {
    marker.resize(GetModuleFileNameW(nullptr, marker.data(), MAX_PATH));
    marker += L".started";
  }
  const wchar_t* commandLine = GetCommandLineW();
  std::string text(static_cast<std::size_t>(
                       WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, text.data(), static_cast<int>(text.size()), nullptr,
                      nullptr);
  text.pop_back();  // the terminating zero
  HANDLE file =
      CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
