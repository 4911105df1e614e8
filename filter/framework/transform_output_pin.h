#pragma once
// The transform filter's output pin "XForm Out" (id "Out"): offers and judges types through the
// filter once the input is connected, sizes buffers through it, and answers seeking through the
// system's pass-through object.
#include <wrl/client.h>

#include "output_pin_base.h"

namespace brevin {

class TransformFilterBase;

class TransformOutputPin : public OutputPinBase {
 public:
  explicit TransformOutputPin(TransformFilterBase* filter);

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* sender, Quality quality) override;

  HRESULT AcceptMediaType(const AM_MEDIA_TYPE& type) override;
  HRESULT OfferedMediaType(int position, MediaTypeValue& type) override;
  HRESULT SetConnectionType(const AM_MEDIA_TYPE& type) override;
  HRESULT CheckConnection(IPin* peer) override;
  HRESULT BreakConnection() override;
  HRESULT CompleteConnection(IPin* receivePin) override;
  HRESULT SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;

 private:
  HRESULT MakePassThrough();

  TransformFilterBase* filter_;
  CriticalSection passThroughLock_;
  Microsoft::WRL::ComPtr<IUnknown> passThrough_;
};

}  // namespace brevin
