#pragma once
// Test doubles around a property page: the site that hosts it, and an object with the filter's
// parameter interface that records what the page sends.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "conversion_params.h"
#include "counted_double.h"

namespace brevin::test {

// Counts the status changes the page reports.
class RecordingPageSite : public IPropertyPageSite, public CountedDouble {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPageSite)) {
      *object = static_cast<IPropertyPageSite*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  BREVIN_COUNTED_DOUBLE

  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) override {
    if (flags == PROPPAGESTATUS_DIRTY) ++dirtyNotices;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* locale) override {
    if (!locale) return E_POINTER;
    *locale = LOCALE_USER_DEFAULT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** container) override {
    if (container) *container = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return E_NOTIMPL; }

  int dirtyNotices = 0;
};

// Holds two parameters like the filter and records every SetParams call.
class RecordingParams : public IConversionParams, public CountedDouble {
 public:
  RecordingParams(int param1, int param2) : values_{param1, param2} {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(IConversionParams))) {
      *object = static_cast<IConversionParams*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  BREVIN_COUNTED_DOUBLE

  HRESULT STDMETHODCALLTYPE GetParams(int* params) override {
    if (!params) return E_POINTER;
    params[0] = values_[0];
    params[1] = values_[1];
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetParams(int param1, int param2) override {
    values_[0] = param1;
    values_[1] = param2;
    sent.push_back({param1, param2});
    return S_OK;
  }

  struct Sent {
    int param1;
    int param2;
    bool operator==(const Sent&) const = default;
  };
  std::vector<Sent> sent;

 private:
  int values_[2];
};

}  // namespace brevin::test
