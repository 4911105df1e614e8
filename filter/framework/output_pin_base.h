#pragma once
// An output pin: the generic pin plus the allocator it fills and the downstream transport it
// delivers to.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include "pin_base.h"

namespace brevin {

class OutputPinBase : public PinBase {
 public:
  OutputPinBase(const wchar_t* name, PinOwner* owner, CriticalSection* lock);

  // IPin: upstream calls that never belong on an output pin.
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;

  HRESULT Activate() override;
  HRESULT Deactivate() override;
  HRESULT CheckConnection(IPin* peer) override;
  HRESULT BreakConnection() override;
  HRESULT CompleteConnection(IPin* receivePin) override;

  // Picks the allocator for a new connection: the downstream pin's if it takes our sizes and the
  // hand-over, else the system memory allocator.
  virtual HRESULT ChooseAllocator(IMemInputPin* transport);
  // Sets the buffer sizes on `allocator`; `properties` holds the downstream requirements.
  virtual HRESULT SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) = 0;
  virtual HRESULT CreateDefaultAllocator(IMemAllocator** allocator);
  virtual HRESULT ObtainBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                               DWORD flags);
  virtual HRESULT DeliverSample(IMediaSample* sample);
  virtual HRESULT SendEndOfStream();
  virtual HRESULT SendBeginFlush();
  virtual HRESULT SendEndFlush();
  virtual HRESULT SendNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

  IMemAllocator* Allocator() const { return allocator_.Get(); }
  IMemInputPin* Transport() const { return transport_.Get(); }

 private:
  HRESULT SizeAndHandOver(IMemAllocator* allocator, IMemInputPin* transport,
                          ALLOCATOR_PROPERTIES* properties);

  Microsoft::WRL::ComPtr<IMemAllocator> allocator_;
  Microsoft::WRL::ComPtr<IMemInputPin> transport_;
};

}  // namespace brevin
