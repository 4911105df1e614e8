#pragma once
// The transform filter's input pin "XForm In" (id "In"): routes its hooks to the filter and runs
// samples, end of stream, flushes and segments through it.
#include "input_pin_base.h"

namespace brevin {

class TransformFilterBase;

class TransformInputPin : public InputPinBase {
 public:
  explicit TransformInputPin(TransformFilterBase* filter);

  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                       double rate) override;

  HRESULT AcceptMediaType(const AM_MEDIA_TYPE& type) override;
  HRESULT SetConnectionType(const AM_MEDIA_TYPE& type) override;
  HRESULT CheckConnection(IPin* peer) override;
  HRESULT BreakConnection() override;
  HRESULT CompleteConnection(IPin* receivePin) override;
  HRESULT StreamingCheck() override;

 private:
  bool BothConnected() const;

  TransformFilterBase* filter_;
};

}  // namespace brevin
