#pragma once
// What the module records about itself at load, and the server lock count.
#include <windows.h>

namespace brevin {

struct ModuleState {
  HINSTANCE module = nullptr;
  // The platform id of the system's version query (1 when the query fails).
  DWORD platformId = VER_PLATFORM_WIN32_WINDOWS;
  // LockServer(TRUE) calls not yet balanced by LockServer(FALSE).
  LONG serverLocks = 0;
};

ModuleState& Module();

// True while no object of the module is alive and no server lock is held.
bool ModuleCanUnload();

}  // namespace brevin
