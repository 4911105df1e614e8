#pragma once
// The filter base: IBaseFilter (with IMediaFilter and IPersist) and IAMovieSetup over a set of
// pins, the reference clock, graph membership and events. The derived filter supplies its pins
// and its state changes.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>

#include "critical_section.h"
#include "pin_owner.h"
#include "unknown_base.h"

namespace brevin {

// What a filter registers with the filter mapper when asked through IAMovieSetup.
struct FilterSetup {
  const wchar_t* name;
  const REGFILTER2* registration;
};

class FilterBase : public UnknownBase, public IBaseFilter, public IAMovieSetup, public PinOwner {
 public:
  // `lock` is the filter lock, owned by the derived class.
  FilterBase(IUnknown* outer, CriticalSection* lock, const CLSID& classId);
  ~FilterBase() override;

  BREVIN_OUTER_UNKNOWN

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;

  // IPersist
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;
  // IMediaFilter (Stop, Pause and Run are the derived filter's)
  HRESULT STDMETHODCALLTYPE GetState(DWORD timeout, FILTER_STATE* state) override;
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
  // IBaseFilter
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** enumerator) override;
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;
  // IAMovieSetup
  HRESULT STDMETHODCALLTYPE Register() override;
  HRESULT STDMETHODCALLTYPE Unregister() override;

  // PinOwner
  IBaseFilter* FilterInterface() override { return this; }
  FILTER_STATE FilterState() override { return state_; }
  HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) override;
  LONG PinVersion() override { return pinVersion_; }

  // The clock's time since the start time; VFW_E_NO_CLOCK without a clock.
  virtual HRESULT CurrentStreamTime(REFERENCE_TIME* time);
  // What IAMovieSetup registers; none by default.
  virtual const FilterSetup* SetupData();

  // Asks the graph to reconnect `pin`, with `type` when the graph can take one.
  HRESULT ReconnectPin(IPin* pin, const AM_MEDIA_TYPE* type);

  CriticalSection& FilterLock() const { return *lock_; }
  IFilterGraph* Graph() const { return graph_; }
  REFERENCE_TIME StartTime() const { return startTime_; }

 protected:
  void SetState(FILTER_STATE state) { state_ = state; }
  void SetStartTime(REFERENCE_TIME start) { startTime_ = start; }
  void IncrementPinVersion() { ++pinVersion_; }

 private:
  // Read on streaming threads without the filter lock.
  std::atomic<FILTER_STATE> state_{State_Stopped};
  Microsoft::WRL::ComPtr<IReferenceClock> clock_;
  REFERENCE_TIME startTime_ = 0;
  CLSID classId_;
  CriticalSection* lock_;
  std::unique_ptr<wchar_t[]> name_;
  IFilterGraph* graph_ = nullptr;          // not counted: the graph holds the filter
  IMediaEventSink* eventSink_ = nullptr;   // not counted, for the same reason
  std::atomic<LONG> pinVersion_{1};
};

}  // namespace brevin
