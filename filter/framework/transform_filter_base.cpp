#include "transform_filter_base.h"

#include <evcode.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <cstddef>
#include <new>

#include "transform_input_pin.h"
#include "transform_output_pin.h"

using Microsoft::WRL::ComPtr;

namespace brevin {

TransformFilterBase::TransformFilterBase(IUnknown* outer, const CLSID& classId)
    : FilterBase(outer, &filterLock_, classId) {}

// The input pin goes first, then the output pin (members would go the other way round).
TransformFilterBase::~TransformFilterBase() {
  input_.reset();
  output_.reset();
}

bool TransformFilterBase::MakePins() {
  ScopedLock guard(filterLock_);
  if (input_) return true;
  std::unique_ptr<TransformInputPin> input(new (std::nothrow) TransformInputPin(this));
  if (!input) return false;
  std::unique_ptr<TransformOutputPin> output(new (std::nothrow) TransformOutputPin(this));
  if (!output) return false;
  input_ = std::move(input);
  output_ = std::move(output);
  IncrementPinVersion();
  return true;
}

PinBase* TransformFilterBase::PinAt(int index) {
  if (index < 0 || index > 1 || !MakePins()) return nullptr;
  if (index == 0) return input_.get();
  return output_.get();
}

HRESULT TransformFilterBase::Stop() {
  ScopedLock guard(filterLock_);
  if (FilterState() == State_Stopped) return S_OK;
  if (!input_ || !input_->IsConnected() || !output_->IsConnected()) {
    SetState(State_Stopped);
    endOfStreamDelivered_ = false;
    return S_OK;
  }
  // The input stops taking samples first; the output allocator goes once no sample is in
  // progress, which the receive lock guarantees.
  input_->Deactivate();
  HRESULT hr;
  {
    ScopedLock receiving(receiveLock_);
    output_->Deactivate();
    hr = StreamingStopping();
  }
  if (SUCCEEDED(hr)) {
    SetState(State_Stopped);
    endOfStreamDelivered_ = false;
  }
  return hr;
}

HRESULT TransformFilterBase::ActivateConnectedPins() {
  for (int i = 0; i < PinCount(); ++i) {
    PinBase* pin = PinAt(i);
    if (!pin || !pin->IsConnected()) continue;
    const HRESULT hr = pin->Activate();
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT TransformFilterBase::Pause() {
  ScopedLock guard(filterLock_);
  sampleSkipped_ = false;
  qualityChanged_ = false;
  const FILTER_STATE state = FilterState();
  if (state == State_Paused) return S_OK;
  if (!input_ || !input_->IsConnected()) {
    // Nothing can arrive: tell downstream the stream is over, once.
    if (output_ && !endOfStreamDelivered_) {
      output_->SendEndOfStream();
      endOfStreamDelivered_ = true;
    }
  } else if (output_->IsConnected() && state == State_Stopped) {
    HRESULT hr;
    {
      ScopedLock receiving(receiveLock_);
      hr = StreamingStarting();
    }
    if (FAILED(hr)) return hr;
    hr = ActivateConnectedPins();
    if (FAILED(hr)) return hr;
  }
  SetState(State_Paused);
  return S_OK;
}

HRESULT TransformFilterBase::Run(REFERENCE_TIME start) {
  ScopedLock guard(filterLock_);
  SetStartTime(start);
  if (FilterState() == State_Running) return S_OK;
  if (FilterState() == State_Stopped) {
    const HRESULT hr = Pause();
    if (FAILED(hr)) return hr;
  }
  for (int i = 0; i < PinCount(); ++i) {
    PinBase* pin = PinAt(i);
    if (!pin || !pin->IsConnected()) continue;
    const HRESULT hr = pin->RunFrom(start);
    if (FAILED(hr)) return hr;
  }
  SetState(State_Running);
  return S_OK;
}

HRESULT TransformFilterBase::StreamingStarting() { return S_OK; }

HRESULT TransformFilterBase::StreamingStopping() { return S_OK; }

HRESULT TransformFilterBase::AdjustQuality(IBaseFilter*, const Quality&) { return S_FALSE; }

HRESULT TransformFilterBase::MediaTypeChosen(PIN_DIRECTION, const AM_MEDIA_TYPE&) { return S_OK; }

HRESULT TransformFilterBase::ConnectionChecking(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT TransformFilterBase::ConnectionBroken(PIN_DIRECTION) { return S_OK; }

HRESULT TransformFilterBase::ConnectionCompleted(PIN_DIRECTION, IPin*) { return S_OK; }

HRESULT TransformFilterBase::ReceiveSample(IMediaSample* sample) {
  const AM_SAMPLE2_PROPERTIES& properties = input_->SampleProperties();
  if (properties.dwStreamId != AM_STREAM_MEDIA) return output_->DeliverSample(sample);

  REFERENCE_TIME start = properties.tStart;
  REFERENCE_TIME stop = properties.tStop;
  DWORD flags = sampleSkipped_ ? AM_GBF_PREVFRAMESKIPPED : 0;
  if (!(properties.dwSampleFlags & AM_SAMPLE_SPLICEPOINT)) flags |= AM_GBF_NOTASYNCPOINT;
  ComPtr<IMediaSample> output;
  HRESULT hr = output_->ObtainBuffer(
      &output, (properties.dwSampleFlags & AM_SAMPLE_TIMEVALID) ? &start : nullptr,
      (properties.dwSampleFlags & AM_SAMPLE_STOPVALID) ? &stop : nullptr, flags);
  if (FAILED(hr)) return hr;
  hr = StampOutputSample(sample, properties, output.Get());
  if (FAILED(hr)) return hr;
  if (properties.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) sampleSkipped_ = false;

  hr = TransformSample(sample, output.Get());
  if (hr == S_OK) {
    hr = output_->DeliverSample(output.Get());
    sampleSkipped_ = false;
    return hr;
  }
  if (hr == S_FALSE) {
    // The filter chose to drop this one: downstream hears of the quality change once.
    sampleSkipped_ = true;
    if (!qualityChanged_) {
      NotifyEvent(EC_QUALITY_CHANGE, 0, 0);
      qualityChanged_ = true;
    }
    return S_OK;
  }
  return hr;
}

HRESULT TransformFilterBase::StampOutputSample(IMediaSample* input,
                                               const AM_SAMPLE2_PROPERTIES& properties,
                                               IMediaSample* output) {
  ComPtr<IMediaSample2> output2;
  if (SUCCEEDED(output->QueryInterface(IID_PPV_ARGS(&output2)))) {
    AM_SAMPLE2_PROPERTIES stamped{};
    HRESULT hr = output2->GetProperties(offsetof(AM_SAMPLE2_PROPERTIES, tStart),
                                        reinterpret_cast<BYTE*>(&stamped));
    if (FAILED(hr)) return hr;
    stamped.cbData = offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId);
    stamped.dwTypeSpecificFlags = properties.dwTypeSpecificFlags;
    stamped.dwSampleFlags = (stamped.dwSampleFlags & AM_SAMPLE_TYPECHANGED) |
                            (properties.dwSampleFlags & ~AM_SAMPLE_TYPECHANGED);
    stamped.tStart = properties.tStart;
    stamped.tStop = properties.tStop;
    return output2->SetProperties(offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId),
                                  reinterpret_cast<BYTE*>(&stamped));
  }
  if (properties.dwSampleFlags & AM_SAMPLE_TIMEVALID) {
    REFERENCE_TIME start = properties.tStart;
    REFERENCE_TIME stop = properties.tStop;
    output->SetTime(&start, &stop);
  }
  if (properties.dwSampleFlags & AM_SAMPLE_SPLICEPOINT) output->SetSyncPoint(TRUE);
  if (properties.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) output->SetDiscontinuity(TRUE);
  LONGLONG mediaStart = 0;
  LONGLONG mediaStop = 0;
  if (input->GetMediaTime(&mediaStart, &mediaStop) == S_OK) {
    output->SetMediaTime(&mediaStart, &mediaStop);
  }
  return S_OK;
}

HRESULT TransformFilterBase::EndOfStreamArrived() {
  return output_ ? output_->SendEndOfStream() : S_OK;
}

HRESULT TransformFilterBase::FlushStarted() { return output_->SendBeginFlush(); }

HRESULT TransformFilterBase::FlushEnded() { return output_->SendEndFlush(); }

HRESULT TransformFilterBase::SegmentStarted(REFERENCE_TIME start, REFERENCE_TIME stop,
                                            double rate) {
  return output_ ? output_->SendNewSegment(start, stop, rate) : S_OK;
}

}  // namespace brevin
