// The module's entry point and the exports through which the COM runtime reaches its classes.
#include <windows.h>
#include <unknwn.h>

#include <new>
#include <type_traits>

#include "class_factory.h"
#include "class_table.h"
#include "module_state.h"
#include "server_registration.h"

namespace {

void InitialiseClasses(BOOL loading) {
  for (int i = 0; i < brevin::kClassTableRows; ++i) {
    const brevin::FactoryTemplate& row = brevin::kClassTable[i];
    if (row.initialise) row.initialise(loading, row.classId);
  }
}

}  // namespace

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
    InitialiseClasses(TRUE);
  } else if (reason == DLL_PROCESS_DETACH) {
    InitialiseClasses(FALSE);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
    return E_NOINTERFACE;
  }
  const brevin::FactoryTemplate* row = brevin::FindClass(classId);
  if (!row) return CLASS_E_CLASSNOTAVAILABLE;
  if (!object) return E_POINTER;
  auto* factory = new (std::nothrow) brevin::ClassFactory(row);
  if (!factory) {
    *object = nullptr;
    return E_OUTOFMEMORY;
  }
  factory->AddRef();
  *object = static_cast<IClassFactory*>(factory);
  return S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return brevin::ModuleCanUnload() ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return brevin::RegisterServer(brevin::Module().module);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return brevin::UnregisterServer(brevin::Module().module);
}

// The loader and the COM runtime call these through pointers of the platform's types: a
// definition of another calling convention would build and then corrupt a 32-bit host's stack.
static_assert(std::is_same_v<decltype(&DllMain), BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>,
              "the loader calls DllMain as WINAPI");
static_assert(std::is_same_v<decltype(&DllGetClassObject), LPFNGETCLASSOBJECT> &&
                  std::is_same_v<decltype(&DllCanUnloadNow), LPFNCANUNLOADNOW> &&
                  std::is_same_v<decltype(&DllRegisterServer), HRESULT(STDAPICALLTYPE*)()> &&
                  std::is_same_v<decltype(&DllUnregisterServer), HRESULT(STDAPICALLTYPE*)()>,
              "the exports are called as STDAPI");
