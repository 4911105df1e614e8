#pragma once
// An input pin: the generic pin plus the memory transport (IMemInputPin) that upstream delivers
// samples through.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include <atomic>

#include "pin_base.h"

namespace brevin {

class InputPinBase : public PinBase, public IMemInputPin {
 public:
  InputPinBase(const wchar_t* name, PinOwner* owner, CriticalSection* lock);

  BREVIN_OUTER_UNKNOWN

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;

  // IPin: the flush steps every input pin shares (under the filter lock).
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;

  // IQualityControl: an input pin takes notices and does nothing with them.
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* sender, Quality quality) override;

  // IMemInputPin
  HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
  HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
  // The base steps: refuses what the streaming check refuses, captures the sample's properties
  // and refuses an unacceptable in-stream type change. S_OK lets the derived pin go on.
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count,
                                            long* processed) override;
  HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

  HRESULT Deactivate() override;
  HRESULT BreakConnection() override;
  // S_OK when a sample may be taken now; S_FALSE while flushing; an error otherwise.
  virtual HRESULT StreamingCheck();

  // Sends a quality notice upstream: to the sink when one was set, else to the connected pin.
  HRESULT PassNotifyUpstream(const Quality& quality);

  // The properties of the sample being received (valid during Receive).
  const AM_SAMPLE2_PROPERTIES& SampleProperties() const { return sampleProperties_; }
  IMemAllocator* Allocator() const { return allocator_.Get(); }
  bool IsReadOnly() const { return readOnly_; }
  bool IsFlushing() const { return flushing_; }

 private:
  HRESULT CaptureSampleProperties(IMediaSample* sample);

  Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
  bool readOnly_ = false;
  // Read on the streaming thread without the filter lock.
  std::atomic<bool> flushing_{false};
  AM_SAMPLE2_PROPERTIES sampleProperties_{};
  // The type a sample without IMediaSample2 handed over; the captured properties point at it.
  TaskMediaType sampleTypeCopy_;
};

}  // namespace brevin
