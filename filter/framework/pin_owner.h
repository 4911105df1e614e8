#pragma once
// What a pin needs from the filter that owns it. The filter base implements this; pins and the
// pin enumerator reach their filter only through it.
#include <windows.h>
#include <strmif.h>

namespace brevin {

class PinBase;

class PinOwner {
 public:
  // The filter's IBaseFilter, without a reference added. Pins forward their reference counts to
  // it, so they live exactly as long as the filter.
  virtual IBaseFilter* FilterInterface() = 0;
  virtual FILTER_STATE FilterState() = 0;
  virtual int PinCount() = 0;
  // The pin at `index`, without a reference added; null outside 0..PinCount()-1.
  virtual PinBase* PinAt(int index) = 0;
  // Changes whenever the set of pins changes; enumerators compare it.
  virtual LONG PinVersion() = 0;
  // Sends an event to the graph the filter has joined.
  virtual HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) = 0;

 protected:
  ~PinOwner() = default;
};

}  // namespace brevin
