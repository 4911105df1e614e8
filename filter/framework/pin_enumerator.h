#pragma once
// IEnumPins over a filter's pins. When the filter's pin set changes (its pin version moves) Next
// starts over and skips the pins it has already handed out.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include "counted_object.h"

#include <vector>

namespace brevin {

class PinOwner;

class PinEnumerator : public CountedObject<IEnumPins> {
 public:
  static HRESULT Create(PinOwner* filter, IEnumPins** enumerator);

  HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumPins** enumerator) override;

 private:
  explicit PinEnumerator(PinOwner* filter);
  PinEnumerator(const PinEnumerator& other);
  bool OutOfSync() const;
  bool AlreadyReturned(IPin* pin) const;

  PinOwner* filter_;
  Microsoft::WRL::ComPtr<IBaseFilter> filterReference_;
  int position_ = 0;
  LONG version_;
  int pinCount_;
  std::vector<IPin*> returned_;  // identities only, not counted
};

}  // namespace brevin
