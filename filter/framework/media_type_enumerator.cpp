#include "media_type_enumerator.h"

#include <vfwmsgs.h>

#include <climits>
#include <new>

#include "media_type_value.h"
#include "pin_base.h"

namespace brevin {

MediaTypeEnumerator::MediaTypeEnumerator(PinBase* pin, int position, LONG version)
    : pin_(pin), pinReference_(static_cast<IPin*>(pin)), position_(position), version_(version) {}

HRESULT MediaTypeEnumerator::Create(PinBase* pin, IEnumMediaTypes** enumerator) {
  if (!enumerator) return E_POINTER;
  *enumerator = new (std::nothrow) MediaTypeEnumerator(pin, 0, pin->MediaTypeVersion());
  return *enumerator ? S_OK : E_OUTOFMEMORY;
}

bool MediaTypeEnumerator::OutOfSync() const { return pin_->MediaTypeVersion() != version_; }

HRESULT MediaTypeEnumerator::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
  if (!types) return E_POINTER;
  if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
  if (count > 1 && !fetched) return E_INVALIDARG;
  ULONG found = 0;
  while (found < count) {
    MediaTypeValue type;
    if (pin_->OfferedMediaType(position_, type) != S_OK) break;
    AM_MEDIA_TYPE* handed = type.ReleaseToTaskMemory();
    if (!handed) break;
    types[found++] = handed;
    ++position_;
  }
  if (fetched) *fetched = found;
  return found == count ? S_OK : S_FALSE;
}

HRESULT MediaTypeEnumerator::Skip(ULONG count) {
  if (count == 0) return S_OK;
  if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
  if (count > static_cast<ULONG>(INT_MAX - position_)) {
    position_ = INT_MAX;
    return S_FALSE;
  }
  position_ += static_cast<int>(count);
  MediaTypeValue last;
  return pin_->OfferedMediaType(position_ - 1, last) == S_OK ? S_OK : S_FALSE;
}

HRESULT MediaTypeEnumerator::Reset() {
  version_ = pin_->MediaTypeVersion();
  position_ = 0;
  return S_OK;
}

HRESULT MediaTypeEnumerator::Clone(IEnumMediaTypes** enumerator) {
  if (!enumerator) return E_POINTER;
  if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
  *enumerator = new (std::nothrow) MediaTypeEnumerator(pin_, position_, version_);
  return *enumerator ? S_OK : E_OUTOFMEMORY;
}

}  // namespace brevin
