#include "server_registration.h"

#include <objbase.h>

#include <string>

#include "class_table.h"
#include "filter_mapper.h"
#include "registry_tree.h"

namespace brevin {
namespace {

// Registry text is ANSI: wide names are converted with the ANSI code page.
std::string Ansi(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string converted(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, converted.data(), size, nullptr, nullptr);
  converted.resize(static_cast<size_t>(size) - 1);
  return converted;
}

// "CLSID\{...}" for the class id, braces included.
std::string ClassKeyName(const CLSID& classId) {
  wchar_t text[40];
  StringFromGUID2(classId, text, 40);
  return "CLSID\\" + Ansi(text);
}

HRESULT ModulePath(HMODULE module, std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameA(module, buffer, MAX_PATH);
  if (length == 0) return HRESULT_FROM_WIN32(GetLastError());
  // A cut path would name a file that does not exist.
  if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  path.assign(buffer, length);
  return S_OK;
}

HRESULT SetString(HKEY key, const char* name, const std::string& value) {
  const LONG result = RegSetValueExA(key, name, 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1));
  return HRESULT_FROM_WIN32(result);
}

HRESULT CreateKey(HKEY parent, const std::string& name, HKEY* key) {
  return HRESULT_FROM_WIN32(RegCreateKeyExA(parent, name.c_str(), 0, nullptr,
                                            REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key,
                                            nullptr));
}

// CLSID\{class id} = name, with InprocServer32 = module path and ThreadingModel = Both.
HRESULT WriteClassKeys(const FactoryTemplate& row, const std::string& modulePath) {
  HKEY classKey = nullptr;
  HRESULT hr = CreateKey(HKEY_CLASSES_ROOT, ClassKeyName(*row.classId), &classKey);
  if (FAILED(hr)) return hr;
  hr = SetString(classKey, nullptr, Ansi(row.name));
  HKEY serverKey = nullptr;
  if (SUCCEEDED(hr)) hr = CreateKey(classKey, "InprocServer32", &serverKey);
  if (SUCCEEDED(hr)) hr = SetString(serverKey, nullptr, modulePath);
  if (SUCCEEDED(hr)) hr = SetString(serverKey, "ThreadingModel", "Both");
  if (serverKey) RegCloseKey(serverKey);
  RegCloseKey(classKey);
  return hr;
}

// Runs `work` on every filter of the class table with the system's filter mapper, on a thread
// with COM initialised for the purpose; the first failure ends it.
template <class Work>
HRESULT ForEachFilter(Work work) {
  const HRESULT initialised = CoInitialize(nullptr);
  HRESULT hr;
  {
    FilterMapper mapper;
    hr = mapper.Open();
    for (int i = 0; SUCCEEDED(hr) && i < kClassTableRows; ++i) {
      if (kClassTable[i].registration) hr = work(mapper, kClassTable[i]);
    }
  }
  CoFreeUnusedLibraries();
  if (SUCCEEDED(initialised)) CoUninitialize();
  return hr;
}

}  // namespace

HRESULT RegisterServer(HMODULE module) {
  std::string path;
  HRESULT hr = ModulePath(module, path);
  if (FAILED(hr)) return hr;
  for (int i = 0; i < kClassTableRows; ++i) {
    hr = WriteClassKeys(kClassTable[i], path);
    if (FAILED(hr)) return hr;
  }
  return ForEachFilter([](FilterMapper& mapper, const FactoryTemplate& row) {
    return mapper.RegisterFilter(*row.classId, *row.registration);
  });
}

HRESULT UnregisterServer(HMODULE module) {
  std::string path;
  HRESULT hr = ModulePath(module, path);
  if (FAILED(hr)) return hr;
  hr = ForEachFilter([](FilterMapper& mapper, const FactoryTemplate& row) {
    return mapper.UnregisterFilter(*row.classId);
  });
  if (FAILED(hr)) return hr;
  // Every row's keys go; a key that cannot be deleted is reported, not passed over in silence.
  for (int i = 0; i < kClassTableRows; ++i) {
    const HRESULT deleted =
        DeleteKeyTree(HKEY_CLASSES_ROOT, ClassKeyName(*kClassTable[i].classId).c_str());
    if (SUCCEEDED(hr)) hr = deleted;
  }
  return hr;
}

}  // namespace brevin
