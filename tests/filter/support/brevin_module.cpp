#include "brevin_module.h"

#include "class_ids.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {

BrevinModule::BrevinModule() : module_(LoadLibraryA(BREVIN_MODULE_PATH)) {
  if (!module_) return;
  getClassObject_ = reinterpret_cast<GetClassObjectFunction>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  canUnloadNow_ = reinterpret_cast<CanUnloadNowFunction>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
}

BrevinModule::~BrevinModule() {
  if (module_) FreeLibrary(module_);
}

HRESULT BrevinModule::GetClassObject(REFCLSID classId, REFIID iid, void** object) const {
  return getClassObject_(classId, iid, object);
}

HRESULT BrevinModule::CreateFilter(ComPtr<IBaseFilter>& filter) const {
  ComPtr<IClassFactory> factory;
  const HRESULT hr = GetClassObject(CLSID_BrevinFilter, IID_PPV_ARGS(&factory));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, IID_PPV_ARGS(&filter));
}

}  // namespace brevin::test
