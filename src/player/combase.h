// The Windows Runtime's entry points, taken from combase.dll at run time: the
// program must start on Windows 7, which has no combase.dll, so nothing it
// links may import that DLL.
#pragma once

#include <windows.h>

#include <hstring.h>

namespace player {

struct Combase {
  HRESULT(WINAPI* RoInitialize)(int type);  // RO_INIT_TYPE
  void(WINAPI* RoUninitialize)();
  HRESULT(WINAPI* RoGetActivationFactory)(HSTRING class_id, REFIID iid, void** factory);
  HRESULT(WINAPI* WindowsCreateString)(const wchar_t* text, UINT32 length, HSTRING* string);
  HRESULT(WINAPI* WindowsDeleteString)(HSTRING string);
  const wchar_t*(WINAPI* WindowsGetStringRawBuffer)(HSTRING string, UINT32* length);
};

constexpr int kRoInitMultithreaded = 1;  // RO_INIT_MULTITHREADED

// The entry points, loaded once and kept for the process's life; null where
// the system has no Windows Runtime.
const Combase* LoadCombase();

}  // namespace player
