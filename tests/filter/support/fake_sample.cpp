#include "fake_sample.h"

#include <vfwmsgs.h>

#include <algorithm>
#include <cstring>

namespace brevin::test {

FakeSample::FakeSample(long size, bool sample2)
    : offersSample2(sample2), buffer_(static_cast<size_t>(size)) {}

HRESULT FakeSample::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMediaSample) ||
      (offersSample2 && IsEqualIID(iid, IID_IMediaSample2))) {
    *object = static_cast<IMediaSample2*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeSample::GetPointer(BYTE** buffer) {
  if (!buffer) return E_POINTER;
  *buffer = buffer_.data();
  return S_OK;
}

HRESULT FakeSample::GetTime(REFERENCE_TIME* startOut, REFERENCE_TIME* stopOut) {
  if (!hasTime) return VFW_E_SAMPLE_TIME_NOT_SET;
  *startOut = start;
  *stopOut = stop;
  return hasStopTime ? S_OK : VFW_S_NO_STOP_TIME;
}

HRESULT FakeSample::SetTime(REFERENCE_TIME* startIn, REFERENCE_TIME* stopIn) {
  hasTime = startIn != nullptr;
  if (startIn) start = *startIn;
  if (stopIn) stop = *stopIn;
  return S_OK;
}

HRESULT FakeSample::SetSyncPoint(BOOL on) {
  syncPoint = on ? S_OK : S_FALSE;
  return S_OK;
}

HRESULT FakeSample::SetPreroll(BOOL on) {
  preroll = on ? S_OK : S_FALSE;
  return S_OK;
}

HRESULT FakeSample::SetDiscontinuity(BOOL on) {
  discontinuity = on ? S_OK : S_FALSE;
  return S_OK;
}

HRESULT FakeSample::SetActualDataLength(LONG length) {
  if (length < 0 || length > GetSize()) return VFW_E_BUFFER_OVERFLOW;
  actualLength = length;
  return S_OK;
}

HRESULT FakeSample::GetMediaType(AM_MEDIA_TYPE** typeOut) {
  if (!typeOut) return E_POINTER;
  *typeOut = nullptr;
  if (!hasType) return S_FALSE;
  MediaTypeValue copy;
  if (FAILED(copy.CopyFrom(type.Type()))) return E_OUTOFMEMORY;
  *typeOut = copy.ReleaseToTaskMemory();
  return *typeOut ? S_OK : E_OUTOFMEMORY;
}

HRESULT FakeSample::SetMediaType(AM_MEDIA_TYPE* typeIn) {
  hasType = typeIn != nullptr;
  if (!typeIn) return S_OK;
  return type.CopyFrom(*typeIn);
}

HRESULT FakeSample::GetMediaTime(LONGLONG* startOut, LONGLONG* stopOut) {
  if (!hasMediaTime) return VFW_E_MEDIA_TIME_NOT_SET;
  *startOut = mediaStart;
  *stopOut = mediaStop;
  return S_OK;
}

HRESULT FakeSample::SetMediaTime(LONGLONG* startIn, LONGLONG* stopIn) {
  hasMediaTime = startIn != nullptr;
  if (startIn) mediaStart = *startIn;
  if (stopIn) mediaStop = *stopIn;
  return S_OK;
}

HRESULT FakeSample::GetProperties(DWORD size, BYTE* properties) {
  if (FAILED(getPropertiesResult)) return getPropertiesResult;
  AM_SAMPLE2_PROPERTIES props{};
  props.cbData = sizeof props;
  props.dwTypeSpecificFlags = typeSpecificFlags;
  if (syncPoint == S_OK) props.dwSampleFlags |= AM_SAMPLE_SPLICEPOINT;
  if (preroll == S_OK) props.dwSampleFlags |= AM_SAMPLE_PREROLL;
  if (discontinuity == S_OK) props.dwSampleFlags |= AM_SAMPLE_DATADISCONTINUITY;
  if (hasTime) props.dwSampleFlags |= AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID;
  if (hasType) props.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
  props.lActual = actualLength;
  props.tStart = start;
  props.tStop = stop;
  props.dwStreamId = streamId;
  props.pMediaType = hasType ? const_cast<AM_MEDIA_TYPE*>(&type.Type()) : nullptr;
  props.pbBuffer = buffer_.data();
  props.cbBuffer = GetSize();
  std::memcpy(properties, &props, std::min<size_t>(size, sizeof props));
  return S_OK;
}

// Takes the leading `size` bytes of the structure; the fields past them stay as they are.
HRESULT FakeSample::SetProperties(DWORD size, const BYTE* properties) {
  AM_SAMPLE2_PROPERTIES props{};
  GetProperties(sizeof props, reinterpret_cast<BYTE*>(&props));
  std::memcpy(&props, properties, std::min<size_t>(size, sizeof props));
  setPropertiesSize = size;
  typeSpecificFlags = props.dwTypeSpecificFlags;
  syncPoint = (props.dwSampleFlags & AM_SAMPLE_SPLICEPOINT) ? S_OK : S_FALSE;
  preroll = (props.dwSampleFlags & AM_SAMPLE_PREROLL) ? S_OK : S_FALSE;
  discontinuity = (props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) ? S_OK : S_FALSE;
  hasTime = (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
  hasType = (props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) != 0;
  actualLength = props.lActual;
  start = props.tStart;
  stop = props.tStop;
  return S_OK;
}

}  // namespace brevin::test
