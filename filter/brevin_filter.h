#pragma once
// The Brevin filter: takes PCM audio described by a plain wave format and passes the same bytes
// on described by an extensible wave format. It carries two integer parameters for its
// property page.
#include <windows.h>
#include <ocidl.h>
#include <strmif.h>

#include "conversion_params.h"
#include "critical_section.h"
#include "media_type_value.h"
#include "transform_filter_base.h"

namespace brevin {

class BrevinFilter : public TransformFilterBase,
                     public IConversionParams,
                     public ISpecifyPropertyPages {
 public:
  // The class table's create function: a new filter, or null with E_OUTOFMEMORY in `result`.
  static UnknownBase* Create(IUnknown* outer, HRESULT* result);

  BrevinFilter(IUnknown* outer, HRESULT* result);
  ~BrevinFilter() override;

  BREVIN_OUTER_UNKNOWN

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;

  // IConversionParams
  HRESULT STDMETHODCALLTYPE GetParams(int* params) override;
  HRESULT STDMETHODCALLTYPE SetParams(int param1, int param2) override;
  // ISpecifyPropertyPages
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

  HRESULT TransformSample(IMediaSample* input, IMediaSample* output) override;
  HRESULT AcceptInputType(const AM_MEDIA_TYPE& type) override;
  HRESULT AcceptTransform(const AM_MEDIA_TYPE& input, const AM_MEDIA_TYPE& output) override;
  HRESULT SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;
  HRESULT ProposeOutputType(int position, MediaTypeValue& type) override;

 private:
  bool InputConnected() const;
  // The plain wave format of the remembered input type (at least a WAVEFORMATEX).
  const WAVEFORMATEX& InputFormat() const;

  CriticalSection paramLock_;
  int param1_ = 0;
  int param2_ = 0;
  // The input type that last passed the input check.
  MediaTypeValue inputType_;
};

}  // namespace brevin
