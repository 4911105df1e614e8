#include "filter_base.h"

#include <evcode.h>
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cwchar>

#include "filter_mapper.h"
#include "pin_base.h"
#include "pin_enumerator.h"
#include "wide_string.h"

using Microsoft::WRL::ComPtr;

namespace brevin {

FilterBase::FilterBase(IUnknown* outer, CriticalSection* lock, const CLSID& classId)
    : UnknownBase(outer), classId_(classId), lock_(lock) {}

FilterBase::~FilterBase() = default;

HRESULT FilterBase::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IBaseFilter) || IsEqualIID(iid, IID_IMediaFilter) ||
      IsEqualIID(iid, IID_IPersist)) {
    return HandOut(static_cast<IBaseFilter*>(this), object);
  }
  if (IsEqualIID(iid, IID_IAMovieSetup)) return HandOut(static_cast<IAMovieSetup*>(this), object);
  return UnknownBase::InnerQueryInterface(iid, object);
}

HRESULT FilterBase::GetClassID(CLSID* classId) {
  if (!classId) return E_POINTER;
  *classId = classId_;
  return S_OK;
}

HRESULT FilterBase::GetState(DWORD, FILTER_STATE* state) {
  if (!state) return E_POINTER;
  *state = state_;
  return S_OK;
}

HRESULT FilterBase::SetSyncSource(IReferenceClock* clock) {
  ScopedLock guard(*lock_);
  clock_ = clock;
  return S_OK;
}

HRESULT FilterBase::GetSyncSource(IReferenceClock** clock) {
  if (!clock) return E_POINTER;
  ScopedLock guard(*lock_);
  *clock = clock_.Get();
  if (*clock) (*clock)->AddRef();
  return S_OK;
}

HRESULT FilterBase::EnumPins(IEnumPins** enumerator) {
  if (!enumerator) return E_POINTER;
  return PinEnumerator::Create(this, enumerator);
}

HRESULT FilterBase::FindPin(LPCWSTR id, IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = nullptr;
  const int count = PinCount();
  for (int i = 0; i < count; ++i) {
    PinBase* candidate = PinAt(i);
    if (!candidate) return E_OUTOFMEMORY;
    LPWSTR candidateId = nullptr;
    if (FAILED(candidate->QueryId(&candidateId))) continue;
    const bool match = id && std::wcscmp(candidateId, id) == 0;
    CoTaskMemFree(candidateId);
    if (match) {
      *pin = candidate;
      candidate->AddRef();
      return S_OK;
    }
  }
  return VFW_E_NOT_FOUND;
}

HRESULT FilterBase::QueryFilterInfo(FILTER_INFO* info) {
  if (!info) return E_POINTER;
  CopyTruncated(info->achName, sizeof info->achName / sizeof info->achName[0], name_.get());
  info->pGraph = graph_;
  if (graph_) graph_->AddRef();
  return S_OK;
}

HRESULT FilterBase::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  ScopedLock guard(*lock_);
  graph_ = graph;
  eventSink_ = nullptr;
  if (graph) {
    ComPtr<IMediaEventSink> sink;
    if (SUCCEEDED(graph->QueryInterface(IID_PPV_ARGS(&sink)))) eventSink_ = sink.Get();
  }
  name_ = CopyWideString(name);
  return S_OK;
}

HRESULT FilterBase::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

const FilterSetup* FilterBase::SetupData() { return nullptr; }

HRESULT FilterBase::Register() {
  const FilterSetup* setup = SetupData();
  if (!setup) return S_FALSE;
  FilterMapper mapper;
  const HRESULT hr = mapper.Open();
  return FAILED(hr) ? hr : mapper.RegisterFilter(classId_, *setup);
}

HRESULT FilterBase::Unregister() {
  if (!SetupData()) return S_FALSE;
  FilterMapper mapper;
  const HRESULT hr = mapper.Open();
  return FAILED(hr) ? hr : mapper.UnregisterFilter(classId_);
}

HRESULT FilterBase::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
  IMediaEventSink* sink = eventSink_;
  if (!sink) return E_NOTIMPL;
  // The graph learns which renderer completed from the second parameter.
  if (code == EC_COMPLETE) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
  return sink->Notify(code, param1, param2);
}

HRESULT FilterBase::CurrentStreamTime(REFERENCE_TIME* time) {
  if (!time) return E_POINTER;
  if (!clock_) return VFW_E_NO_CLOCK;
  const HRESULT hr = clock_->GetTime(time);
  if (FAILED(hr)) return hr;
  *time -= startTime_;
  return S_OK;
}

HRESULT FilterBase::ReconnectPin(IPin* pin, const AM_MEDIA_TYPE* type) {
  if (!graph_) return E_NOINTERFACE;
  ComPtr<IFilterGraph2> graph2;
  if (SUCCEEDED(graph_->QueryInterface(IID_PPV_ARGS(&graph2)))) {
    return graph2->ReconnectEx(pin, type);
  }
  return graph_->Reconnect(pin);
}

}  // namespace brevin
