#include "class_factory.h"

#include "module_state.h"

namespace brevin {

ClassFactory::ClassFactory(const FactoryTemplate* row) : row_(row) {}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
    return E_NOINTERFACE;
  }
  *object = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

ULONG ClassFactory::AddRef() { return static_cast<ULONG>(++references_); }

ULONG ClassFactory::Release() {
  const LONG count = --references_;
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  // An aggregated object can only hand its inner IUnknown to the aggregator.
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
  HRESULT result = S_OK;
  UnknownBase* made = row_->create(outer, &result);
  if (!made) return FAILED(result) ? result : E_OUTOFMEMORY;
  if (FAILED(result)) {
    delete made;
    return result;
  }
  // Held for the query; an object nobody took goes with the release.
  made->InnerAddRef();
  const HRESULT hr = made->InnerQueryInterface(iid, object);
  made->InnerRelease();
  return hr;
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    ++Module().serverLocks;
  } else {
    --Module().serverLocks;
  }
  return S_OK;
}

}  // namespace brevin
