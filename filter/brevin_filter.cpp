#include "brevin_filter.h"

#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cstring>
#include <new>

#include "class_ids.h"
#include "extensible_format.h"
#include "transform_input_pin.h"
#include "transform_output_pin.h"

namespace brevin {
namespace {

bool IsPcmAudio(const AM_MEDIA_TYPE& type) {
  return IsEqualGUID(type.majortype, MEDIATYPE_Audio) &&
         IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM);
}

// S_OK and S_FALSE answer a yes-or-no question of a sample; anything else is no answer.
bool IsFlagAnswer(HRESULT answer) { return answer == S_OK || answer == S_FALSE; }

}  // namespace

UnknownBase* BrevinFilter::Create(IUnknown* outer, HRESULT* result) {
  auto* filter = new (std::nothrow) BrevinFilter(outer, result);
  if (!filter && result) *result = E_OUTOFMEMORY;
  return filter;
}

BrevinFilter::BrevinFilter(IUnknown* outer, HRESULT*)
    : TransformFilterBase(outer, CLSID_BrevinFilter),
      param1_(static_cast<int>(GetProfileIntA("Brevin", "param1", 0))),
      param2_(static_cast<int>(GetProfileIntA("Brevin", "param2", 0))) {}

BrevinFilter::~BrevinFilter() = default;

HRESULT BrevinFilter::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, __uuidof(IConversionParams))) {
    return HandOut(static_cast<IConversionParams*>(this), object);
  }
  if (IsEqualIID(iid, IID_ISpecifyPropertyPages)) {
    return HandOut(static_cast<ISpecifyPropertyPages*>(this), object);
  }
  return TransformFilterBase::InnerQueryInterface(iid, object);
}

HRESULT BrevinFilter::GetParams(int* params) {
  if (!params) return E_POINTER;
  ScopedLock guard(paramLock_);
  params[0] = param1_;
  params[1] = param2_;
  return S_OK;
}

HRESULT BrevinFilter::SetParams(int param1, int param2) {
  ScopedLock guard(paramLock_);
  param1_ = param1;
  param2_ = param2;
  TransformOutputPin* output = OutputPin();
  if (output && output->ConnectionType().Format()) {
    // A copy: the reconnection replaces the pin's own type while it runs.
    MediaTypeValue type;
    if (SUCCEEDED(type.CopyFrom(output->ConnectionType().Type()))) {
      ReconnectPin(output, &type.Type());
    }
  }
  return S_OK;
}

HRESULT BrevinFilter::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 1;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
  if (!pages->pElems) return E_OUTOFMEMORY;
  pages->pElems[0] = CLSID_BrevinPropertyPage;
  return S_OK;
}

bool BrevinFilter::InputConnected() const { return InputPin() && InputPin()->IsConnected(); }

const WAVEFORMATEX& BrevinFilter::InputFormat() const {
  return *reinterpret_cast<const WAVEFORMATEX*>(inputType_.Format());
}

HRESULT BrevinFilter::AcceptInputType(const AM_MEDIA_TYPE& type) {
  if (!IsEqualGUID(type.formattype, FORMAT_WaveFormatEx)) return E_INVALIDARG;
  if (!IsPcmAudio(type)) return E_FAIL;
  // Channels, rate and bit depth are read from the block: it must be there, whole.
  if (!type.pbFormat || type.cbFormat < sizeof(WAVEFORMATEX)) return E_INVALIDARG;
  return inputType_.CopyFrom(type);
}

HRESULT BrevinFilter::AcceptTransform(const AM_MEDIA_TYPE& input, const AM_MEDIA_TYPE&) {
  return IsPcmAudio(input) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT BrevinFilter::ProposeOutputType(int position, MediaTypeValue& type) {
  if (!InputConnected()) return E_UNEXPECTED;
  if (position < 0) return E_INVALIDARG;
  if (position > 0) return VFW_S_NO_MORE_ITEMS;
  if (!inputType_.Format()) return E_UNEXPECTED;
  const WAVEFORMATEXTENSIBLE extensible = ExtensibleFormatFor(inputType_.Format());
  if (!type.SetFormat(reinterpret_cast<const BYTE*>(&extensible), sizeof extensible)) {
    return E_OUTOFMEMORY;
  }
  type.SetMajorType(MEDIATYPE_Audio);
  type.SetFormatType(FORMAT_WaveFormatEx);
  type.SetTemporalCompression(false);
  type.SetSubtype(MEDIASUBTYPE_PCM);
  type.SetSampleSize(1);
  return S_OK;
}

HRESULT BrevinFilter::SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) {
  if (!InputConnected() || !inputType_.Format()) return E_UNEXPECTED;
  // One buffer of half a second of input audio.
  properties->cBuffers = 1;
  properties->cbBuffer = static_cast<LONG>(InputFormat().nAvgBytesPerSec >> 1);
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT hr = allocator->SetProperties(properties, &actual);
  if (FAILED(hr)) return hr;
  if (actual.cBuffers < properties->cBuffers || actual.cbBuffer < properties->cbBuffer) {
    return E_FAIL;
  }
  return S_OK;
}

HRESULT BrevinFilter::TransformSample(IMediaSample* input, IMediaSample* output) {
  BYTE* source = nullptr;
  BYTE* target = nullptr;
  HRESULT hr = input->GetPointer(&source);
  if (FAILED(hr)) return hr;
  hr = output->GetPointer(&target);
  if (FAILED(hr)) return hr;
  const LONG length = input->GetActualDataLength();
  // Output buffers hold half a second of the negotiated rate; a larger sample is refused
  // rather than written past the buffer's end.
  if (length < 0 || length > output->GetSize()) return VFW_E_BUFFER_OVERFLOW;
  if (length > 0) std::memcpy(target, source, static_cast<size_t>(length));

  REFERENCE_TIME start = 0;
  REFERENCE_TIME stop = 0;
  if (input->GetTime(&start, &stop) == S_OK) output->SetTime(&start, &stop);
  LONGLONG mediaStart = 0;
  LONGLONG mediaStop = 0;
  if (input->GetMediaTime(&mediaStart, &mediaStop) == S_OK) {
    output->SetMediaTime(&mediaStart, &mediaStop);
  }
  const HRESULT syncPoint = input->IsSyncPoint();
  if (!IsFlagAnswer(syncPoint)) return E_UNEXPECTED;
  output->SetSyncPoint(syncPoint == S_OK);

  // The type change the input carries, if any, travels on unchanged; none clears the output's.
  AM_MEDIA_TYPE* carried = nullptr;
  const bool typeChanged = input->GetMediaType(&carried) == S_OK;
  const TaskMediaType carriedType(carried);
  output->SetMediaType(typeChanged ? carriedType.get() : nullptr);

  const HRESULT preroll = input->IsPreroll();
  if (!IsFlagAnswer(preroll)) return E_UNEXPECTED;
  output->SetPreroll(preroll == S_OK);
  const HRESULT discontinuity = input->IsDiscontinuity();
  if (!IsFlagAnswer(discontinuity)) return E_UNEXPECTED;
  output->SetDiscontinuity(discontinuity == S_OK);
  output->SetActualDataLength(length);
  return S_OK;
}

}  // namespace brevin
