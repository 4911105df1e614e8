#pragma once
// A filter with one input and one output pin that turns each input sample into one output
// sample. The derived filter judges the types, sizes the buffers and transforms the samples;
// everything else (pins, state changes, the receive path, pass-through of stream events) is here.
#include <windows.h>
#include <strmif.h>

#include <memory>

#include "filter_base.h"
#include "media_type_value.h"

namespace brevin {

class TransformInputPin;
class TransformOutputPin;

class TransformFilterBase : public FilterBase {
 public:
  TransformFilterBase(IUnknown* outer, const CLSID& classId);
  ~TransformFilterBase() override;

  // IMediaFilter
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Pause() override;
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;

  // PinOwner: the input pin at 0 and the output pin at 1, both made on first use.
  int PinCount() override { return 2; }
  PinBase* PinAt(int index) override;

  // The derived filter's decisions.
  virtual HRESULT TransformSample(IMediaSample* input, IMediaSample* output) = 0;
  virtual HRESULT AcceptInputType(const AM_MEDIA_TYPE& type) = 0;
  virtual HRESULT AcceptTransform(const AM_MEDIA_TYPE& input, const AM_MEDIA_TYPE& output) = 0;
  virtual HRESULT SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) = 0;
  virtual HRESULT ProposeOutputType(int position, MediaTypeValue& type) = 0;

  // Notifications with default behaviour.
  virtual HRESULT StreamingStarting();
  virtual HRESULT StreamingStopping();
  // S_FALSE: not handled here, the notice goes upstream.
  virtual HRESULT AdjustQuality(IBaseFilter* sender, const Quality& quality);
  virtual HRESULT MediaTypeChosen(PIN_DIRECTION direction, const AM_MEDIA_TYPE& type);
  virtual HRESULT ConnectionChecking(PIN_DIRECTION direction, IPin* peer);
  virtual HRESULT ConnectionBroken(PIN_DIRECTION direction);
  virtual HRESULT ConnectionCompleted(PIN_DIRECTION direction, IPin* peer);
  // The receive path after the input pin's base steps: one output sample per input sample.
  virtual HRESULT ReceiveSample(IMediaSample* sample);
  virtual HRESULT EndOfStreamArrived();
  virtual HRESULT FlushStarted();
  virtual HRESULT FlushEnded();
  virtual HRESULT SegmentStarted(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

  TransformInputPin* InputPin() const { return input_.get(); }
  TransformOutputPin* OutputPin() const { return output_.get(); }
  CriticalSection& ReceiveLock() { return receiveLock_; }

 private:
  bool MakePins();
  HRESULT StampOutputSample(IMediaSample* input, const AM_SAMPLE2_PROPERTIES& properties,
                            IMediaSample* output);
  HRESULT ActivateConnectedPins();

  bool endOfStreamDelivered_ = false;
  bool sampleSkipped_ = false;
  bool qualityChanged_ = false;
  CriticalSection filterLock_;
  CriticalSection receiveLock_;
  std::unique_ptr<TransformInputPin> input_;
  std::unique_ptr<TransformOutputPin> output_;
};

}  // namespace brevin
