#pragma once
// A pin of another filter: it offers set types, answers ReceiveConnection per subtype as told,
// and (unless told otherwise) carries a memory transport that records what is delivered.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include <utility>
#include <vector>

#include "counted_double.h"
#include "media_type_value.h"

namespace brevin::test {

class PeerPin : public IPin, public IMemInputPin, public IQualityControl, public CountedDouble {
 public:
  explicit PeerPin(PIN_DIRECTION direction);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  BREVIN_COUNTED_DOUBLE

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** enumerator) override;
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
  HRESULT STDMETHODCALLTYPE EndOfStream() override;
  HRESULT STDMETHODCALLTYPE BeginFlush() override;
  HRESULT STDMETHODCALLTYPE EndFlush() override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                       double rate) override;

  // IMemInputPin
  HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
  HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
  HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count,
                                            long* processed) override;
  HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return receiveCanBlock; }

  // IQualityControl
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* sender, Quality quality) override;
  HRESULT STDMETHODCALLTYPE SetSink(IQualityControl*) override { return S_OK; }

  // Offers AudioType(subtype).
  void Offer(const GUID& subtype);
  // ReceiveConnection answers `result` for types with this subtype (S_OK for the rest).
  void AnswerFor(const GUID& subtype, HRESULT result) { answers_.emplace_back(subtype, result); }

  const std::vector<MediaTypeValue>& Offered() const { return offered_; }
  std::vector<GUID> tried;  // subtypes given to ReceiveConnection, in order
  Microsoft::WRL::ComPtr<IPin> connector;
  bool hasTransport = true;
  bool hasQualityControl = true;
  HRESULT enumResult = S_OK;
  ALLOCATOR_PROPERTIES requirements{};
  Microsoft::WRL::ComPtr<IMemAllocator> allocator;  // handed out by GetAllocator when set
  Microsoft::WRL::ComPtr<IMemAllocator> notifiedAllocator;
  BOOL notifiedReadOnly = TRUE;
  HRESULT notifyResult = S_OK;
  HRESULT receiveResult = S_OK;
  HRESULT receiveCanBlock = S_OK;
  int received = 0;
  Microsoft::WRL::ComPtr<IMediaSample> lastSample;
  // When set, Receive signals `receiving` and then waits for the gate to open.
  HANDLE receiveGate = nullptr;
  HANDLE receiving = nullptr;
  int endOfStreams = 0;
  int beginFlushes = 0;
  int endFlushes = 0;
  int newSegments = 0;
  int disconnects = 0;
  int qualityNotices = 0;
  IBaseFilter* lastQualitySender = nullptr;

 private:
  PIN_DIRECTION direction_;
  std::vector<MediaTypeValue> offered_;
  std::vector<std::pair<GUID, HRESULT>> answers_;
};

}  // namespace brevin::test
