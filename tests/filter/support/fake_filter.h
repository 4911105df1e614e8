#pragma once
// The filter that owns the pins under test: it holds them, reports a state the test sets, and
// records the events the pins send.
#include <windows.h>
#include <strmif.h>

#include <memory>
#include <vector>

#include "counted_double.h"
#include "pin_base.h"
#include "pin_owner.h"

namespace brevin::test {

struct SentEvent {
  long code;
  LONG_PTR param1;
  LONG_PTR param2;
};

class FakeFilter : public IBaseFilter, public PinOwner, public CountedDouble {
 public:
  FakeFilter() = default;

  // Makes a pin of type P owned by this filter and returns it.
  template <class P, class... Args>
  P* AddPin(Args&&... args) {
    auto pin = std::make_unique<P>(this, &lock, std::forward<Args>(args)...);
    P* raw = pin.get();
    pins_.push_back(std::move(pin));
    ++pinVersion;
    return raw;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  BREVIN_COUNTED_DOUBLE

  // IPersist, IMediaFilter, IBaseFilter: only what the pins and the tests use.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Pause() override;
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override;
  HRESULT STDMETHODCALLTYPE GetState(DWORD, FILTER_STATE* state) override;
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** enumerator) override;
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

  // PinOwner
  IBaseFilter* FilterInterface() override { return this; }
  FILTER_STATE FilterState() override { return state; }
  int PinCount() override { return static_cast<int>(pins_.size()) + vanishedPins; }
  PinBase* PinAt(int index) override;
  LONG PinVersion() override { return pinVersion; }
  HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) override;

  CriticalSection lock;
  FILTER_STATE state = State_Stopped;
  LONG pinVersion = 1;
  // Pins counted but no longer there, as a filter whose pin set changed under an enumerator.
  int vanishedPins = 0;
  std::vector<SentEvent> events;

 private:
  ~FakeFilter() override;
  std::vector<std::unique_ptr<PinBase>> pins_;
};

}  // namespace brevin::test
