#include "output_pin_base.h"

#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>

using Microsoft::WRL::ComPtr;

namespace brevin {

OutputPinBase::OutputPinBase(const wchar_t* name, PinOwner* owner, CriticalSection* lock)
    : PinBase(name, owner, lock, PINDIR_OUTPUT) {}

HRESULT OutputPinBase::EndOfStream() { return E_UNEXPECTED; }

HRESULT OutputPinBase::BeginFlush() { return E_UNEXPECTED; }

HRESULT OutputPinBase::EndFlush() { return E_UNEXPECTED; }

HRESULT OutputPinBase::Activate() {
  if (!allocator_) return VFW_E_NO_ALLOCATOR;
  return allocator_->Commit();
}

HRESULT OutputPinBase::Deactivate() {
  SetRunTimeError(false);
  if (!allocator_) return VFW_E_NO_ALLOCATOR;
  return allocator_->Decommit();
}

HRESULT OutputPinBase::CheckConnection(IPin* peer) {
  const HRESULT hr = PinBase::CheckConnection(peer);
  if (FAILED(hr)) return hr;
  return peer->QueryInterface(IID_PPV_ARGS(&transport_));
}

HRESULT OutputPinBase::BreakConnection() {
  if (allocator_) {
    const HRESULT hr = allocator_->Decommit();
    if (FAILED(hr)) return hr;
    allocator_.Reset();
  }
  transport_.Reset();
  return S_OK;
}

HRESULT OutputPinBase::CompleteConnection(IPin*) { return ChooseAllocator(transport_.Get()); }

HRESULT OutputPinBase::SizeAndHandOver(IMemAllocator* allocator, IMemInputPin* transport,
                                       ALLOCATOR_PROPERTIES* properties) {
  const HRESULT hr = SizeOutputBuffers(allocator, properties);
  if (FAILED(hr)) return hr;
  return transport->NotifyAllocator(allocator, FALSE);
}

HRESULT OutputPinBase::ChooseAllocator(IMemInputPin* transport) {
  if (!transport) return VFW_E_NOT_CONNECTED;
  ALLOCATOR_PROPERTIES properties{};
  transport->GetAllocatorRequirements(&properties);
  if (properties.cbAlign == 0) properties.cbAlign = 1;

  ComPtr<IMemAllocator> allocator;
  if (SUCCEEDED(transport->GetAllocator(&allocator)) && allocator &&
      SUCCEEDED(SizeAndHandOver(allocator.Get(), transport, &properties))) {
    allocator_ = allocator;
    return S_OK;
  }
  allocator.Reset();
  HRESULT hr = CreateDefaultAllocator(&allocator);
  if (FAILED(hr)) return hr;
  hr = SizeAndHandOver(allocator.Get(), transport, &properties);
  if (FAILED(hr)) return hr;
  allocator_ = allocator;
  return S_OK;
}

HRESULT OutputPinBase::CreateDefaultAllocator(IMemAllocator** allocator) {
  return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(allocator));
}

HRESULT OutputPinBase::ObtainBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                    REFERENCE_TIME* stop, DWORD flags) {
  if (!allocator_) return E_NOINTERFACE;
  return allocator_->GetBuffer(sample, start, stop, flags);
}

HRESULT OutputPinBase::DeliverSample(IMediaSample* sample) {
  if (!transport_) return VFW_E_NOT_CONNECTED;
  return transport_->Receive(sample);
}

HRESULT OutputPinBase::SendEndOfStream() {
  IPin* peer = ConnectedPin();
  return peer ? peer->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPinBase::SendBeginFlush() {
  IPin* peer = ConnectedPin();
  return peer ? peer->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPinBase::SendEndFlush() {
  IPin* peer = ConnectedPin();
  return peer ? peer->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPinBase::SendNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  IPin* peer = ConnectedPin();
  return peer ? peer->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}

}  // namespace brevin
