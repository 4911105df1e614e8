#include "transform_input_pin.h"

#include <vfwmsgs.h>

#include "transform_filter_base.h"
#include "transform_output_pin.h"
#include "wide_string.h"

namespace brevin {

TransformInputPin::TransformInputPin(TransformFilterBase* filter)
    : InputPinBase(L"XForm In", filter, &filter->FilterLock()), filter_(filter) {}

HRESULT TransformInputPin::QueryId(LPWSTR* id) { return CopyToTaskMemory(L"In", id); }

bool TransformInputPin::BothConnected() const {
  return IsConnected() && filter_->OutputPin() && filter_->OutputPin()->IsConnected();
}

HRESULT TransformInputPin::AcceptMediaType(const AM_MEDIA_TYPE& type) {
  const HRESULT hr = filter_->AcceptInputType(type);
  if (hr != S_OK) return hr;
  TransformOutputPin* output = filter_->OutputPin();
  if (output && output->IsConnected()) {
    return filter_->AcceptTransform(type, output->ConnectionType().Type());
  }
  return S_OK;
}

HRESULT TransformInputPin::SetConnectionType(const AM_MEDIA_TYPE& type) {
  const HRESULT hr = InputPinBase::SetConnectionType(type);
  if (FAILED(hr)) return hr;
  return filter_->MediaTypeChosen(PINDIR_INPUT, type);
}

HRESULT TransformInputPin::CheckConnection(IPin* peer) {
  const HRESULT hr = filter_->ConnectionChecking(PINDIR_INPUT, peer);
  if (FAILED(hr)) return hr;
  return InputPinBase::CheckConnection(peer);
}

HRESULT TransformInputPin::BreakConnection() {
  filter_->ConnectionBroken(PINDIR_INPUT);
  return InputPinBase::BreakConnection();
}

HRESULT TransformInputPin::CompleteConnection(IPin* receivePin) {
  const HRESULT hr = filter_->ConnectionCompleted(PINDIR_INPUT, receivePin);
  if (FAILED(hr)) return hr;
  return InputPinBase::CompleteConnection(receivePin);
}

HRESULT TransformInputPin::StreamingCheck() {
  TransformOutputPin* output = filter_->OutputPin();
  if (!output || !output->IsConnected()) return VFW_E_NOT_CONNECTED;
  if (IsFlushing()) return S_FALSE;
  if (filter_->FilterState() == State_Stopped) return VFW_E_WRONG_STATE;
  if (RunTimeError()) return VFW_E_RUNTIME_ERROR;
  return S_OK;
}

HRESULT TransformInputPin::Receive(IMediaSample* sample) {
  ScopedLock guard(filter_->ReceiveLock());
  const HRESULT hr = InputPinBase::Receive(sample);
  if (hr != S_OK) return hr;
  return filter_->ReceiveSample(sample);
}

HRESULT TransformInputPin::EndOfStream() {
  ScopedLock guard(filter_->ReceiveLock());
  const HRESULT hr = StreamingCheck();
  if (hr != S_OK) return hr;
  return filter_->EndOfStreamArrived();
}

HRESULT TransformInputPin::BeginFlush() {
  ScopedLock guard(FilterLock());
  if (!BothConnected()) return VFW_E_NOT_CONNECTED;
  const HRESULT hr = InputPinBase::BeginFlush();
  if (FAILED(hr)) return hr;
  return filter_->FlushStarted();
}

HRESULT TransformInputPin::EndFlush() {
  ScopedLock guard(FilterLock());
  if (!BothConnected()) return VFW_E_NOT_CONNECTED;
  const HRESULT hr = filter_->FlushEnded();
  if (FAILED(hr)) return hr;
  return InputPinBase::EndFlush();
}

HRESULT TransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  InputPinBase::NewSegment(start, stop, rate);
  return filter_->SegmentStarted(start, stop, rate);
}

}  // namespace brevin
