#include "registry_tree.h"

namespace brevin {
namespace {

constexpr DWORD kKeyNameCapacity = MAX_PATH;

}  // namespace

HRESULT DeleteKeyTree(HKEY parent, const char* name) {
  if (!name || !*name) return E_FAIL;
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(parent, name, 0, MAXIMUM_ALLOWED, &key);
  if (opened == ERROR_FILE_NOT_FOUND) return S_OK;
  if (opened != ERROR_SUCCESS) return HRESULT_FROM_WIN32(opened);
  // Always the first sub-key: each pass deletes the one it finds.
  for (;;) {
    char sub[kKeyNameCapacity];
    DWORD length = kKeyNameCapacity;
    if (RegEnumKeyExA(key, 0, sub, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    const HRESULT hr = DeleteKeyTree(key, sub);
    if (FAILED(hr)) {
      RegCloseKey(key);
      return hr;
    }
  }
  RegCloseKey(key);
  const LONG deleted = RegDeleteKeyA(parent, name);
  return deleted == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(deleted);
}

}  // namespace brevin
