#include "transform_output_pin.h"

#include <control.h>
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include "transform_filter_base.h"
#include "transform_input_pin.h"
#include "wide_string.h"

using Microsoft::WRL::ComPtr;

namespace brevin {

TransformOutputPin::TransformOutputPin(TransformFilterBase* filter)
    : OutputPinBase(L"XForm Out", filter, &filter->FilterLock()), filter_(filter) {}

HRESULT TransformOutputPin::QueryId(LPWSTR* id) { return CopyToTaskMemory(L"Out", id); }

HRESULT TransformOutputPin::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IMediaSeeking) || IsEqualIID(iid, IID_IMediaPosition)) {
    *object = nullptr;
    const HRESULT hr = MakePassThrough();
    if (FAILED(hr)) return hr;
    return passThrough_->QueryInterface(iid, object);
  }
  return OutputPinBase::InnerQueryInterface(iid, object);
}

// Its own lock, not the filter lock: downstream renderers ask for seeking on the streaming
// thread while it holds the receive lock.
HRESULT TransformOutputPin::MakePassThrough() {
  ScopedLock guard(passThroughLock_);
  if (passThrough_) return S_OK;
  ComPtr<IUnknown> made;
  HRESULT hr = CoCreateInstance(CLSID_SeekingPassThru, Owner(), CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&made));
  if (FAILED(hr)) return hr;
  ComPtr<ISeekingPassThru> init;
  hr = made->QueryInterface(IID_PPV_ARGS(&init));
  if (FAILED(hr)) return hr;
  hr = init->Init(FALSE, filter_->InputPin());
  if (FAILED(hr)) return hr;
  passThrough_ = made;
  return S_OK;
}

HRESULT TransformOutputPin::Notify(IBaseFilter* sender, Quality quality) {
  const HRESULT hr = filter_->AdjustQuality(sender, quality);
  if (hr != S_FALSE) return hr;
  return filter_->InputPin()->PassNotifyUpstream(quality);
}

HRESULT TransformOutputPin::AcceptMediaType(const AM_MEDIA_TYPE& type) {
  TransformInputPin* input = filter_->InputPin();
  if (!input || !input->IsConnected()) return E_INVALIDARG;
  return filter_->AcceptTransform(input->ConnectionType().Type(), type);
}

HRESULT TransformOutputPin::OfferedMediaType(int position, MediaTypeValue& type) {
  TransformInputPin* input = filter_->InputPin();
  if (!input || !input->IsConnected()) return VFW_S_NO_MORE_ITEMS;
  return filter_->ProposeOutputType(position, type);
}

HRESULT TransformOutputPin::SetConnectionType(const AM_MEDIA_TYPE& type) {
  const HRESULT hr = OutputPinBase::SetConnectionType(type);
  if (FAILED(hr)) return hr;
  return filter_->MediaTypeChosen(PINDIR_OUTPUT, type);
}

HRESULT TransformOutputPin::CheckConnection(IPin* peer) {
  TransformInputPin* input = filter_->InputPin();
  if (!input || !input->IsConnected()) return E_UNEXPECTED;
  const HRESULT hr = filter_->ConnectionChecking(PINDIR_OUTPUT, peer);
  if (FAILED(hr)) return hr;
  return OutputPinBase::CheckConnection(peer);
}

HRESULT TransformOutputPin::BreakConnection() {
  filter_->ConnectionBroken(PINDIR_OUTPUT);
  return OutputPinBase::BreakConnection();
}

HRESULT TransformOutputPin::CompleteConnection(IPin* receivePin) {
  const HRESULT hr = filter_->ConnectionCompleted(PINDIR_OUTPUT, receivePin);
  if (FAILED(hr)) return hr;
  return OutputPinBase::CompleteConnection(receivePin);
}

HRESULT TransformOutputPin::SizeOutputBuffers(IMemAllocator* allocator,
                                              ALLOCATOR_PROPERTIES* properties) {
  return filter_->SizeBuffers(allocator, properties);
}

}  // namespace brevin
