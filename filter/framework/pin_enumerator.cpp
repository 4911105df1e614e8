#include "pin_enumerator.h"

#include <vfwmsgs.h>

#include <algorithm>
#include <new>

#include "pin_base.h"
#include "pin_owner.h"

namespace brevin {

PinEnumerator::PinEnumerator(PinOwner* filter)
    : filter_(filter),
      filterReference_(filter->FilterInterface()),
      version_(filter->PinVersion()),
      pinCount_(filter->PinCount()) {}

PinEnumerator::PinEnumerator(const PinEnumerator& other)
    : CountedObject(other),
      filter_(other.filter_),
      filterReference_(other.filterReference_),
      position_(other.position_),
      version_(other.version_),
      pinCount_(other.pinCount_),
      returned_(other.returned_) {}

HRESULT PinEnumerator::Create(PinOwner* filter, IEnumPins** enumerator) {
  if (!enumerator) return E_POINTER;
  *enumerator = new (std::nothrow) PinEnumerator(filter);
  return *enumerator ? S_OK : E_OUTOFMEMORY;
}

bool PinEnumerator::OutOfSync() const { return filter_->PinVersion() != version_; }

bool PinEnumerator::AlreadyReturned(IPin* pin) const {
  return std::find(returned_.begin(), returned_.end(), pin) != returned_.end();
}

HRESULT PinEnumerator::Next(ULONG count, IPin** pins, ULONG* fetched) {
  if (!pins) return E_POINTER;
  if (count > 1 && !fetched) return E_INVALIDARG;
  if (fetched) *fetched = 0;
  if (OutOfSync()) {
    version_ = filter_->PinVersion();
    pinCount_ = filter_->PinCount();
    position_ = 0;
  }
  // Gather first, hand out after: a pin gone missing half-way leaves the caller holding nothing.
  ULONG found = 0;
  int position = position_;
  try {
    returned_.reserve(returned_.size() + std::min<size_t>(count, pinCount_));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  const size_t returnedBefore = returned_.size();
  while (found < count && position < pinCount_) {
    PinBase* pin = filter_->PinAt(position++);
    if (!pin) {
      returned_.resize(returnedBefore);
      return VFW_E_ENUM_OUT_OF_SYNC;
    }
    IPin* ipin = static_cast<IPin*>(pin);
    if (AlreadyReturned(ipin)) continue;
    returned_.push_back(ipin);
    pins[found++] = ipin;
  }
  for (ULONG i = 0; i < found; ++i) pins[i]->AddRef();
  position_ = position;
  if (fetched) *fetched = found;
  return found == count ? S_OK : S_FALSE;
}

HRESULT PinEnumerator::Skip(ULONG count) {
  if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
  if (static_cast<ULONG>(pinCount_ - position_) < count) return S_FALSE;
  position_ += static_cast<int>(count);
  return S_OK;
}

HRESULT PinEnumerator::Reset() {
  version_ = filter_->PinVersion();
  pinCount_ = filter_->PinCount();
  position_ = 0;
  returned_.clear();
  return S_OK;
}

HRESULT PinEnumerator::Clone(IEnumPins** enumerator) {
  if (!enumerator) return E_POINTER;
  if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
  PinEnumerator* copy = nullptr;
  try {
    copy = new PinEnumerator(*this);
  } catch (const std::bad_alloc&) {
    copy = nullptr;
  }
  *enumerator = copy;
  return copy ? S_OK : E_OUTOFMEMORY;
}

}  // namespace brevin
