// The module's entry point and the unload query of the COM server.
#include <windows.h>

#include "module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    brevin::ModuleState& state = brevin::Module();
    state.module = instance;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    state.platformId = GetVersionExW(&version) ? version.dwPlatformId : VER_PLATFORM_WIN32_WINDOWS;
#pragma GCC diagnostic pop
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return brevin::ModuleCanUnload() ? S_OK : S_FALSE;
}
