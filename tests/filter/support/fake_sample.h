#pragma once
// A media sample with settable flags, times and type; it can offer IMediaSample2 or not.
#include <windows.h>
#include <strmif.h>

#include <vector>

#include "counted_double.h"
#include "media_type_value.h"

namespace brevin::test {

class FakeSample : public IMediaSample2, public CountedDouble {
 public:
  FakeSample(long size, bool offersSample2);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  BREVIN_COUNTED_DOUBLE

  HRESULT STDMETHODCALLTYPE GetPointer(BYTE** buffer) override;
  LONG STDMETHODCALLTYPE GetSize() override { return static_cast<LONG>(buffer_.size()); }
  HRESULT STDMETHODCALLTYPE GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
  HRESULT STDMETHODCALLTYPE SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
  HRESULT STDMETHODCALLTYPE IsSyncPoint() override { return syncPoint; }
  HRESULT STDMETHODCALLTYPE SetSyncPoint(BOOL on) override;
  HRESULT STDMETHODCALLTYPE IsPreroll() override { return preroll; }
  HRESULT STDMETHODCALLTYPE SetPreroll(BOOL on) override;
  LONG STDMETHODCALLTYPE GetActualDataLength() override { return actualLength; }
  HRESULT STDMETHODCALLTYPE SetActualDataLength(LONG length) override;
  HRESULT STDMETHODCALLTYPE GetMediaType(AM_MEDIA_TYPE** type) override;
  HRESULT STDMETHODCALLTYPE SetMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE IsDiscontinuity() override { return discontinuity; }
  HRESULT STDMETHODCALLTYPE SetDiscontinuity(BOOL on) override;
  HRESULT STDMETHODCALLTYPE GetMediaTime(LONGLONG* start, LONGLONG* stop) override;
  HRESULT STDMETHODCALLTYPE SetMediaTime(LONGLONG* start, LONGLONG* stop) override;
  HRESULT STDMETHODCALLTYPE GetProperties(DWORD size, BYTE* properties) override;
  HRESULT STDMETHODCALLTYPE SetProperties(DWORD size, const BYTE* properties) override;

  BYTE* Data() { return buffer_.data(); }

  // What the sample answers; public so tests can set it up in a line.
  bool offersSample2;
  HRESULT syncPoint = S_FALSE;
  HRESULT preroll = S_FALSE;
  HRESULT discontinuity = S_FALSE;
  bool hasTime = false;
  bool hasStopTime = true;
  REFERENCE_TIME start = 0;
  REFERENCE_TIME stop = 0;
  LONG actualLength = 0;
  bool hasType = false;
  MediaTypeValue type;
  // Only through IMediaSample2.
  DWORD typeSpecificFlags = 0;
  DWORD streamId = AM_STREAM_MEDIA;
  HRESULT getPropertiesResult = S_OK;
  bool hasMediaTime = false;
  LONGLONG mediaStart = 0;
  LONGLONG mediaStop = 0;
  // The byte count of the last SetProperties, 0 before any.
  DWORD setPropertiesSize = 0;

 private:
  std::vector<BYTE> buffer_;
};

}  // namespace brevin::test
