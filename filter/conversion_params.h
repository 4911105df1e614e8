#pragma once
// The filter's private interface for its two integer parameters, used by its property page.
#include <windows.h>
#include <unknwn.h>

MIDL_INTERFACE("099E8703-04A3-42E5-9991-4BE1DDA68616")
IConversionParams : public IUnknown {
 public:
  // Writes param1 to params[0] and param2 to params[1].
  virtual HRESULT STDMETHODCALLTYPE GetParams(int* params) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetParams(int param1, int param2) = 0;
};
__CRT_UUID_DECL(IConversionParams, 0x099E8703, 0x04A3, 0x42E5, 0x99, 0x91, 0x4B, 0xE1, 0xDD, 0xA6,
                0x86, 0x16)
