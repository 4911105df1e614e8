#pragma once
// Finding a filter's pins in a real graph.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

namespace brevin::test {

// The filter's first pin of the wanted direction, or null.
inline Microsoft::WRL::ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
  Microsoft::WRL::ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(&pins)) || !pins) return nullptr;
  Microsoft::WRL::ComPtr<IPin> pin;
  while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) return pin;
  }
  return nullptr;
}

}  // namespace brevin::test
