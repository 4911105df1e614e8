#pragma once
// A plain COM object with one interface and its own reference count (starting at 1), for the
// module's helper objects that are never aggregated, such as enumerators.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace brevin {

template <class Interface>
class CountedObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG count = --references_;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

 protected:
  CountedObject() = default;
  CountedObject(const CountedObject&) : Interface() {}
  virtual ~CountedObject() = default;

 private:
  std::atomic<LONG> references_{1};
};

}  // namespace brevin
