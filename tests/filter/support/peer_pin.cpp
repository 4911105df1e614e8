#include "peer_pin.h"

#include "audio_types.h"
#include "counted_object.h"

#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

// Walks the peer's offered types, handing out task-allocated copies.
class PeerTypeEnumerator : public CountedObject<IEnumMediaTypes> {
 public:
  explicit PeerTypeEnumerator(PeerPin* pin) : pin_(pin) { pin_->AddRef(); }
  ~PeerTypeEnumerator() override { pin_->Release(); }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override {
    ULONG found = 0;
    while (found < count && position_ < pin_->Offered().size()) {
      MediaTypeValue copy;
      copy.CopyFrom(pin_->Offered()[position_++].Type());
      types[found++] = copy.ReleaseToTaskMemory();
    }
    if (fetched) *fetched = found;
    return found == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    position_ += count;
    return position_ <= pin_->Offered().size() ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes**) override { return E_NOTIMPL; }

 private:
  PeerPin* pin_;
  size_t position_ = 0;
};

}  // namespace

PeerPin::PeerPin(PIN_DIRECTION direction) : direction_(direction) {}

HRESULT PeerPin::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) {
    *object = static_cast<IPin*>(this);
  } else if (hasTransport && IsEqualIID(iid, IID_IMemInputPin)) {
    *object = static_cast<IMemInputPin*>(this);
  } else if (hasQualityControl && IsEqualIID(iid, IID_IQualityControl)) {
    *object = static_cast<IQualityControl*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

void PeerPin::Offer(const GUID& subtype) { offered_.push_back(AudioType(subtype)); }

HRESULT PeerPin::Connect(IPin*, const AM_MEDIA_TYPE*) { return E_NOTIMPL; }

HRESULT PeerPin::ReceiveConnection(IPin* from, const AM_MEDIA_TYPE* type) {
  tried.push_back(type->subtype);
  for (const auto& [subtype, result] : answers_) {
    if (IsEqualGUID(subtype, type->subtype)) return result;
  }
  connector = from;
  return S_OK;
}

HRESULT PeerPin::Disconnect() {
  ++disconnects;
  connector.Reset();
  return S_OK;
}

HRESULT PeerPin::ConnectedTo(IPin** pin) {
  *pin = connector.Get();
  if (!*pin) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

HRESULT PeerPin::ConnectionMediaType(AM_MEDIA_TYPE*) { return E_NOTIMPL; }

HRESULT PeerPin::QueryPinInfo(PIN_INFO*) { return E_NOTIMPL; }

HRESULT PeerPin::QueryDirection(PIN_DIRECTION* direction) {
  *direction = direction_;
  return S_OK;
}

HRESULT PeerPin::QueryId(LPWSTR*) { return E_NOTIMPL; }

HRESULT PeerPin::QueryAccept(const AM_MEDIA_TYPE*) { return S_OK; }

HRESULT PeerPin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
  if (FAILED(enumResult)) return enumResult;
  *enumerator = new PeerTypeEnumerator(this);
  return S_OK;
}

HRESULT PeerPin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT PeerPin::EndOfStream() {
  ++endOfStreams;
  return S_OK;
}

HRESULT PeerPin::BeginFlush() {
  ++beginFlushes;
  return S_OK;
}

HRESULT PeerPin::EndFlush() {
  ++endFlushes;
  return S_OK;
}

HRESULT PeerPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
  ++newSegments;
  return S_OK;
}

HRESULT PeerPin::GetAllocator(IMemAllocator** out) {
  if (!allocator) return VFW_E_NO_ALLOCATOR;
  return allocator.CopyTo(out);
}

HRESULT PeerPin::NotifyAllocator(IMemAllocator* given, BOOL readOnly) {
  notifiedAllocator = given;
  notifiedReadOnly = readOnly;
  return notifyResult;
}

HRESULT PeerPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) {
  *properties = requirements;
  return S_OK;
}

HRESULT PeerPin::Receive(IMediaSample* sample) {
  if (receiveGate) {
    SetEvent(receiving);
    WaitForSingleObject(receiveGate, INFINITE);
  }
  ++received;
  lastSample = sample;
  return receiveResult;
}

HRESULT PeerPin::ReceiveMultiple(IMediaSample**, long, long*) { return E_NOTIMPL; }

HRESULT PeerPin::Notify(IBaseFilter* sender, Quality) {
  ++qualityNotices;
  lastQualitySender = sender;
  return S_OK;
}

}  // namespace brevin::test
