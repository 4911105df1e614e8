#pragma once
// IEnumMediaTypes over the types a pin offers. Fails with VFW_E_ENUM_OUT_OF_SYNC once the pin's
// offered types have changed since the enumerator was made or reset.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include "counted_object.h"


namespace brevin {

class PinBase;

class MediaTypeEnumerator : public CountedObject<IEnumMediaTypes> {
 public:
  static HRESULT Create(PinBase* pin, IEnumMediaTypes** enumerator);

  HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** enumerator) override;

 private:
  MediaTypeEnumerator(PinBase* pin, int position, LONG version);
  bool OutOfSync() const;

  PinBase* pin_;
  Microsoft::WRL::ComPtr<IPin> pinReference_;
  int position_;
  LONG version_;
};

}  // namespace brevin
