#pragma once
// A filter graph that only listens: it records the events its filters send.
#include <windows.h>
#include <strmif.h>
#include <control.h>

#include <vector>

#include "counted_double.h"
#include "fake_filter.h"

namespace brevin::test {

class FakeGraph : public IFilterGraph, public IMediaEventSink, public CountedDouble {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  BREVIN_COUNTED_DOUBLE

  HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Reconnect(IPin* pin) override {
    reconnected.push_back(pin);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Disconnect(IPin*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDefaultSyncSource() override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override {
    events.push_back({code, param1, param2});
    return S_OK;
  }

  std::vector<SentEvent> events;
  std::vector<IPin*> reconnected;  // identities only
};

inline HRESULT FakeGraph::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IFilterGraph)) {
    *object = static_cast<IFilterGraph*>(this);
  } else if (IsEqualIID(iid, IID_IMediaEventSink)) {
    *object = static_cast<IMediaEventSink*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

}  // namespace brevin::test
