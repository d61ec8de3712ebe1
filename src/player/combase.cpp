#include "player/combase.h"

namespace player {

namespace {

template <class Function>
bool Take(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

const Combase* Load() {
  // From the system folder only: a combase.dll beside the program is not the system's.
  const HMODULE module = LoadLibraryExW(L"combase.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!module) return nullptr;
  static Combase combase;
  const bool complete = Take(module, "RoInitialize", combase.RoInitialize) &&
                        Take(module, "RoUninitialize", combase.RoUninitialize) &&
                        Take(module, "RoGetActivationFactory", combase.RoGetActivationFactory) &&
                        Take(module, "WindowsCreateString", combase.WindowsCreateString) &&
                        Take(module, "WindowsDeleteString", combase.WindowsDeleteString) &&
                        Take(module, "WindowsGetStringRawBuffer", combase.WindowsGetStringRawBuffer);
  return complete ? &combase : nullptr;
}

}  // namespace

const Combase* LoadCombase() {
  static const Combase* const combase = Load();
  return combase;
}

}  // namespace player
