#pragma once
// Deleting a registry key with everything beneath it.
#include <windows.h>

namespace brevin {

// Deletes `parent`\`name` and all its sub-keys. A key that does not exist counts as deleted
// (S_OK); an empty name is E_FAIL; a key or sub-key that cannot be opened or deleted gives the
// registry's error, so a protected sub-key ends the deletion instead of being tried forever.
HRESULT DeleteKeyTree(HKEY parent, const char* name);

}  // namespace brevin
