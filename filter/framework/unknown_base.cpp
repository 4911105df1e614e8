#include "unknown_base.h"

#include <algorithm>

namespace brevin {
namespace {
std::atomic<LONG> liveObjects{0};
}  // namespace

LiveObject::LiveObject() { ++liveObjects; }

LiveObject::~LiveObject() { --liveObjects; }

LONG LiveObject::Count() { return liveObjects.load(); }

UnknownBase::UnknownBase(IUnknown* outer) : owner_(outer ? outer : AsInnerUnknown()) {}

UnknownBase::~UnknownBase() = default;

HRESULT UnknownBase::HandOut(IUnknown* iface, void** object) {
  *object = iface;
  iface->AddRef();
  return S_OK;
}

HRESULT UnknownBase::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown)) return HandOut(AsInnerUnknown(), object);
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG UnknownBase::InnerAddRef() {
  const LONG count = ++references_;
  return static_cast<ULONG>(std::max<LONG>(count, 1));
}

ULONG UnknownBase::InnerRelease() {
  const LONG count = --references_;
  if (count == 0) {
    // Back to 1 so that a reference taken and dropped during destruction cannot delete twice.
    references_ = 1;
    LastReferenceReleased();
    delete this;
    return 0;
  }
  return static_cast<ULONG>(std::max<LONG>(count, 1));
}

}  // namespace brevin
