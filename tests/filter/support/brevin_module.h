#pragma once
// The built Brevin module, loaded from the build tree without registration: its filter is made
// through the module's own class object, as the COM runtime would.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

namespace brevin::test {

class BrevinModule {
 public:
  BrevinModule();
  ~BrevinModule();
  BrevinModule(const BrevinModule&) = delete;
  BrevinModule& operator=(const BrevinModule&) = delete;

  bool Loaded() const { return getClassObject_ && canUnloadNow_; }
  HRESULT GetClassObject(REFCLSID classId, REFIID iid, void** object) const;
  // A new Brevin filter through the class factory of the filter's class id.
  HRESULT CreateFilter(Microsoft::WRL::ComPtr<IBaseFilter>& filter) const;
  HRESULT CanUnloadNow() const { return canUnloadNow_(); }

 private:
  using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

  HMODULE module_;
  GetClassObjectFunction getClassObject_ = nullptr;
  CanUnloadNowFunction canUnloadNow_ = nullptr;
};

}  // namespace brevin::test
