#include "input_pin_base.h"

#include <evcode.h>
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include "pin_owner.h"

using Microsoft::WRL::ComPtr;

namespace brevin {

InputPinBase::InputPinBase(const wchar_t* name, PinOwner* owner, CriticalSection* lock)
    : PinBase(name, owner, lock, PINDIR_INPUT) {}

HRESULT InputPinBase::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IMemInputPin)) return HandOut(static_cast<IMemInputPin*>(this), object);
  return PinBase::InnerQueryInterface(iid, object);
}

HRESULT InputPinBase::BeginFlush() {
  ScopedLock guard(FilterLock());
  flushing_ = true;
  return S_OK;
}

HRESULT InputPinBase::EndFlush() {
  ScopedLock guard(FilterLock());
  flushing_ = false;
  SetRunTimeError(false);
  return S_OK;
}

HRESULT InputPinBase::Notify(IBaseFilter* sender, Quality) {
  if (!sender) return E_POINTER;
  return S_OK;
}

HRESULT InputPinBase::GetAllocator(IMemAllocator** allocator) {
  if (!allocator) return E_POINTER;
  ScopedLock guard(FilterLock());
  if (!allocator_) {
    const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&allocator_));
    if (FAILED(hr)) return hr;
  }
  return allocator_.CopyTo(allocator);
}

HRESULT InputPinBase::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
  if (!allocator) return E_POINTER;
  ScopedLock guard(FilterLock());
  allocator_ = allocator;
  readOnly_ = readOnly != FALSE;
  return S_OK;
}

HRESULT InputPinBase::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT InputPinBase::StreamingCheck() {
  if (!IsConnected()) return VFW_E_NOT_CONNECTED;
  if (flushing_) return S_FALSE;
  if (OwningFilter()->FilterState() == State_Stopped) return VFW_E_WRONG_STATE;
  if (RunTimeError()) return VFW_E_RUNTIME_ERROR;
  return S_OK;
}

HRESULT InputPinBase::Receive(IMediaSample* sample) {
  if (!sample) return E_POINTER;
  HRESULT hr = StreamingCheck();
  if (hr != S_OK) return hr;
  hr = CaptureSampleProperties(sample);
  if (FAILED(hr)) return hr;
  if (sampleProperties_.dwSampleFlags & AM_SAMPLE_TYPECHANGED) {
    const AM_MEDIA_TYPE* type = sampleProperties_.pMediaType;
    if (!type || AcceptMediaType(*type) != S_OK) {
      // The stream ends here: downstream is told first (while the pin still passes end of
      // stream on), then samples stay refused until a flush ends or the pin is deactivated.
      EndOfStream();
      SetRunTimeError(true);
      OwningFilter()->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
      return VFW_E_INVALIDMEDIATYPE;
    }
  }
  return S_OK;
}

HRESULT InputPinBase::CaptureSampleProperties(IMediaSample* sample) {
  sampleTypeCopy_.reset();
  ComPtr<IMediaSample2> sample2;
  if (SUCCEEDED(sample->QueryInterface(IID_PPV_ARGS(&sample2)))) {
    return sample2->GetProperties(sizeof sampleProperties_,
                                  reinterpret_cast<BYTE*>(&sampleProperties_));
  }
  AM_SAMPLE2_PROPERTIES& props = sampleProperties_;
  props = AM_SAMPLE2_PROPERTIES{};
  props.cbData = sizeof props;
  props.dwTypeSpecificFlags = 0;
  props.dwStreamId = AM_STREAM_MEDIA;
  if (sample->IsDiscontinuity() == S_OK) props.dwSampleFlags |= AM_SAMPLE_DATADISCONTINUITY;
  if (sample->IsPreroll() == S_OK) props.dwSampleFlags |= AM_SAMPLE_PREROLL;
  if (sample->IsSyncPoint() == S_OK) props.dwSampleFlags |= AM_SAMPLE_SPLICEPOINT;
  if (SUCCEEDED(sample->GetTime(&props.tStart, &props.tStop))) {
    props.dwSampleFlags |= AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID;
  }
  AM_MEDIA_TYPE* type = nullptr;
  if (sample->GetMediaType(&type) == S_OK) {
    sampleTypeCopy_.reset(type);
    props.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
    props.pMediaType = type;
  } else {
    MediaTypeValue::DeleteTaskAllocated(type);
  }
  sample->GetPointer(&props.pbBuffer);
  props.lActual = sample->GetActualDataLength();
  props.cbBuffer = sample->GetSize();
  return S_OK;
}

HRESULT InputPinBase::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
  if (!samples) return E_POINTER;
  long done = 0;
  HRESULT hr = S_OK;
  for (long i = 0; i < count; ++i) {
    hr = Receive(samples[i]);
    if (hr != S_OK) break;
    ++done;
  }
  if (processed) *processed = done;
  return hr;
}

HRESULT InputPinBase::ReceiveCanBlock() {
  PinOwner* owner = OwningFilter();
  const int pins = owner->PinCount();
  int connectedOutputs = 0;
  for (int i = 0; i < pins; ++i) {
    PinBase* pin = owner->PinAt(i);
    if (!pin || pin->Direction() != PINDIR_OUTPUT || !pin->IsConnected()) continue;
    ++connectedOutputs;
    ComPtr<IMemInputPin> transport;
    if (FAILED(pin->ConnectedPin()->QueryInterface(IID_PPV_ARGS(&transport)))) return S_OK;
    if (transport->ReceiveCanBlock() != S_FALSE) return S_OK;
  }
  return connectedOutputs > 0 ? S_FALSE : S_OK;
}

HRESULT InputPinBase::Deactivate() {
  SetRunTimeError(false);
  if (!allocator_) return VFW_E_NO_ALLOCATOR;
  flushing_ = false;
  return allocator_->Decommit();
}

HRESULT InputPinBase::BreakConnection() {
  if (allocator_) {
    const HRESULT hr = allocator_->Decommit();
    if (FAILED(hr)) return hr;
    allocator_.Reset();
  }
  return S_OK;
}

HRESULT InputPinBase::PassNotifyUpstream(const Quality& quality) {
  IBaseFilter* filter = OwningFilter()->FilterInterface();
  if (QualitySink()) return QualitySink()->Notify(filter, quality);
  if (IPin* upstream = ConnectedPin()) {
    ComPtr<IQualityControl> control;
    if (SUCCEEDED(upstream->QueryInterface(IID_PPV_ARGS(&control)))) {
      return control->Notify(filter, quality);
    }
  }
  return VFW_E_NOT_FOUND;
}

}  // namespace brevin
