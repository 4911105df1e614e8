#include "fake_filter.h"

#include "pin_enumerator.h"

namespace brevin::test {

FakeFilter::~FakeFilter() = default;

HRESULT FakeFilter::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) ||
      IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IBaseFilter)) {
    *object = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeFilter::Stop() {
  state = State_Stopped;
  return S_OK;
}

HRESULT FakeFilter::Pause() {
  state = State_Paused;
  return S_OK;
}

HRESULT FakeFilter::Run(REFERENCE_TIME) {
  state = State_Running;
  return S_OK;
}

HRESULT FakeFilter::GetState(DWORD, FILTER_STATE* out) {
  *out = state;
  return S_OK;
}

HRESULT FakeFilter::EnumPins(IEnumPins** enumerator) {
  return PinEnumerator::Create(this, enumerator);
}

PinBase* FakeFilter::PinAt(int index) {
  if (index < 0 || index >= static_cast<int>(pins_.size())) return nullptr;
  return pins_[static_cast<size_t>(index)].get();
}

HRESULT FakeFilter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
  events.push_back({code, param1, param2});
  return S_OK;
}

}  // namespace brevin::test
