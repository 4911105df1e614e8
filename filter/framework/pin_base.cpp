#include "pin_base.h"

#include <objbase.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include "media_type_enumerator.h"
#include "pin_owner.h"
#include "wide_string.h"

using Microsoft::WRL::ComPtr;

namespace brevin {

PinBase::PinBase(const wchar_t* name, PinOwner* owner, CriticalSection* lock,
                 PIN_DIRECTION direction)
    : UnknownBase(nullptr),
      name_(CopyWideString(name)),
      owner_(owner),
      lock_(lock),
      direction_(direction) {}

PinBase::~PinBase() { DropConnectedPin(); }

HRESULT PinBase::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IPin)) return HandOut(static_cast<IPin*>(this), object);
  if (IsEqualIID(iid, IID_IQualityControl)) {
    return HandOut(static_cast<IQualityControl*>(this), object);
  }
  return UnknownBase::InnerQueryInterface(iid, object);
}

ULONG PinBase::InnerAddRef() { return owner_->FilterInterface()->AddRef(); }

ULONG PinBase::InnerRelease() { return owner_->FilterInterface()->Release(); }

void PinBase::DropConnectedPin() {
  if (connected_) connected_->Release();
  connected_ = nullptr;
}

HRESULT PinBase::RefuseWhileConnectedOrActive() const {
  if (connected_) return VFW_E_ALREADY_CONNECTED;
  if (!canReconnectWhenActive_ && owner_->FilterState() != State_Stopped) {
    return VFW_E_NOT_STOPPED;
  }
  return S_OK;
}

HRESULT PinBase::CheckAndAccept(IPin* peer, const AM_MEDIA_TYPE& type) {
  HRESULT hr = CheckConnection(peer);
  if (FAILED(hr)) {
    BreakConnection();
    return hr;
  }
  hr = AcceptMediaType(type);
  if (hr != S_OK) {
    BreakConnection();
    // Plain refusals all read as "type not accepted"; specific errors pass through.
    if (SUCCEEDED(hr) || hr == E_FAIL || hr == E_INVALIDARG) return VFW_E_TYPE_NOT_ACCEPTED;
    return hr;
  }
  return S_OK;
}

HRESULT PinBase::Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) {
  if (!receivePin) return E_POINTER;
  ScopedLock guard(*lock_);
  HRESULT hr = RefuseWhileConnectedOrActive();
  if (FAILED(hr)) return hr;
  hr = AgreeMediaType(receivePin, type);
  if (FAILED(hr)) {
    BreakConnection();
    return hr;
  }
  return S_OK;
}

HRESULT PinBase::AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* partial) {
  if (partial && !MediaTypeValue::IsPartiallySpecified(*partial)) {
    return AttemptConnection(receivePin, *partial);
  }
  HRESULT specificReason = S_OK;
  for (int pass = 0; pass < 2; ++pass) {
    // The receiving pin's types first, unless this pin prefers its own.
    const bool receiverPass = pass == (tryOwnTypesFirst_ ? 1 : 0);
    IPin* source = receiverPass ? receivePin : static_cast<IPin*>(this);
    ComPtr<IEnumMediaTypes> types;
    if (FAILED(source->EnumMediaTypes(&types)) || !types) continue;
    if (FAILED(types->Reset())) continue;
    if (SUCCEEDED(TryEnumeratedTypes(receivePin, partial, types.Get(), specificReason))) {
      return S_OK;
    }
  }
  return FAILED(specificReason) ? specificReason : VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT PinBase::TryEnumeratedTypes(IPin* receivePin, const AM_MEDIA_TYPE* partial,
                                    IEnumMediaTypes* types, HRESULT& specificReason) {
  for (;;) {
    AM_MEDIA_TYPE* raw = nullptr;
    ULONG fetched = 0;
    const HRESULT next = types->Next(1, &raw, &fetched);
    MediaTypeValue type = MediaTypeValue::Adopt(raw);
    if (next != S_OK || fetched != 1 || !raw) return VFW_E_NO_ACCEPTABLE_TYPES;
    if (partial && !type.MatchesPattern(*partial)) continue;
    const HRESULT hr = AttemptConnection(receivePin, type.Type());
    if (SUCCEEDED(hr)) return S_OK;
    if (SUCCEEDED(specificReason) && hr != E_FAIL && hr != VFW_E_TYPE_NOT_ACCEPTED &&
        hr != E_INVALIDARG) {
      specificReason = hr;
    }
  }
}

HRESULT PinBase::AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE& type) {
  HRESULT hr = CheckAndAccept(receivePin, type);
  if (FAILED(hr)) return hr;
  connected_ = receivePin;
  connected_->AddRef();
  hr = SetConnectionType(type);
  if (SUCCEEDED(hr)) {
    hr = receivePin->ReceiveConnection(static_cast<IPin*>(this), &type);
    if (SUCCEEDED(hr)) {
      hr = CompleteConnection(receivePin);
      if (SUCCEEDED(hr)) return S_OK;
      receivePin->Disconnect();
    }
  }
  // The connection type stays as set: only the link is undone.
  BreakConnection();
  DropConnectedPin();
  return hr;
}

HRESULT PinBase::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (!connector || !type) return E_POINTER;
  ScopedLock guard(*lock_);
  HRESULT hr = RefuseWhileConnectedOrActive();
  if (FAILED(hr)) return hr;
  hr = CheckAndAccept(connector, *type);
  if (FAILED(hr)) return hr;
  connected_ = connector;
  connected_->AddRef();
  hr = SetConnectionType(*type);
  if (SUCCEEDED(hr)) hr = CompleteConnection(connector);
  if (FAILED(hr)) {
    DropConnectedPin();
    BreakConnection();
    return hr;
  }
  return S_OK;
}

HRESULT PinBase::Disconnect() {
  ScopedLock guard(*lock_);
  if (owner_->FilterState() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (!connected_) return S_FALSE;
  const HRESULT hr = BreakConnection();
  if (FAILED(hr)) return hr;
  DropConnectedPin();
  return S_OK;
}

// No filter lock here: seeking pass-through objects ask on streaming threads that may hold the
// receive lock, and the filter lock must never be taken after it. Connections change only while
// the filter is stopped, when no such thread runs.
HRESULT PinBase::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = connected_;
  if (!connected_) return VFW_E_NOT_CONNECTED;
  connected_->AddRef();
  return S_OK;
}

HRESULT PinBase::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  ScopedLock guard(*lock_);
  if (!connected_) {
    MediaTypeValue::ResetToFresh(*type);
    return VFW_E_NOT_CONNECTED;
  }
  return connectionType_.CopyTo(*type);
}

HRESULT PinBase::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = owner_->FilterInterface();
  if (info->pFilter) info->pFilter->AddRef();
  CopyTruncated(info->achName, sizeof info->achName / sizeof info->achName[0], name_.get());
  info->dir = direction_;
  return S_OK;
}

HRESULT PinBase::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = direction_;
  return S_OK;
}

HRESULT PinBase::QueryId(LPWSTR* id) { return CopyToTaskMemory(name_.get(), id); }

HRESULT PinBase::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  ScopedLock guard(*lock_);
  const HRESULT hr = AcceptMediaType(*type);
  return FAILED(hr) ? S_FALSE : hr;
}

HRESULT PinBase::EnumMediaTypes(IEnumMediaTypes** enumerator) {
  if (!enumerator) return E_POINTER;
  return MediaTypeEnumerator::Create(this, enumerator);
}

HRESULT PinBase::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT PinBase::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  segmentStart_ = start;
  segmentStop_ = stop;
  segmentRate_ = rate;
  return S_OK;
}

HRESULT PinBase::SetSink(IQualityControl* sink) {
  ScopedLock guard(*lock_);
  qualitySink_ = sink;
  return S_OK;
}

LONG PinBase::MediaTypeVersion() { return mediaTypeVersion_; }

HRESULT PinBase::Activate() { return S_OK; }

HRESULT PinBase::RunFrom(REFERENCE_TIME) { return S_OK; }

HRESULT PinBase::SetConnectionType(const AM_MEDIA_TYPE& type) {
  return connectionType_.CopyFrom(type);
}

HRESULT PinBase::CheckConnection(IPin* peer) {
  PIN_DIRECTION peerDirection;
  const HRESULT hr = peer->QueryDirection(&peerDirection);
  if (FAILED(hr)) return hr;
  if (peerDirection == direction_) return VFW_E_INVALID_DIRECTION;
  return S_OK;
}

HRESULT PinBase::CompleteConnection(IPin*) { return S_OK; }

HRESULT PinBase::OfferedMediaType(int, MediaTypeValue&) { return E_UNEXPECTED; }

}  // namespace brevin
