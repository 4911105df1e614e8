#pragma once
// An allocator that grants at most a set buffer size, and can refuse properties outright.
#include <windows.h>
#include <strmif.h>

#include "counted_double.h"

namespace brevin::test {

class FakeAllocator : public IMemAllocator, public CountedDouble {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  BREVIN_COUNTED_DOUBLE

  HRESULT STDMETHODCALLTYPE SetProperties(ALLOCATOR_PROPERTIES* request,
                                          ALLOCATOR_PROPERTIES* actual) override;
  HRESULT STDMETHODCALLTYPE GetProperties(ALLOCATOR_PROPERTIES* properties) override;
  HRESULT STDMETHODCALLTYPE Commit() override;
  HRESULT STDMETHODCALLTYPE Decommit() override;
  HRESULT STDMETHODCALLTYPE GetBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                      REFERENCE_TIME* stop, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(IMediaSample* sample) override;

  // Largest buffer granted; a larger request is cut down to it.
  LONG largestBuffer = 0x7FFFFFFF;
  // Buffers granted whatever the request (0: as many as requested).
  LONG grantedBuffers = 0;
  // Whether the samples handed out offer IMediaSample2.
  bool samplesOfferSample2 = true;
  HRESULT setPropertiesResult = S_OK;
  HRESULT decommitResult = S_OK;
  ALLOCATOR_PROPERTIES requested{};
  ALLOCATOR_PROPERTIES granted{};
  int commits = 0;
  int decommits = 0;
  DWORD lastBufferFlags = 0;
  bool lastBufferHadStart = false;
  bool lastBufferHadStop = false;
};

}  // namespace brevin::test
