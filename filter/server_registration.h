#pragma once
// Registering the module's classes on the system and taking them off again: the COM class keys
// of every row of the class table and the filter mapper's entry for every filter.
#include <windows.h>

namespace brevin {

// Writes the class keys naming `module` as the server, then registers the filters.
HRESULT RegisterServer(HMODULE module);

// Unregisters the filters, then deletes the class keys; the keys stay when the filter mapper
// fails.
HRESULT UnregisterServer(HMODULE module);

}  // namespace brevin
