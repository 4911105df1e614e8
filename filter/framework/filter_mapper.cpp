#include "filter_mapper.h"

#include <objbase.h>
#include <uuids.h>

namespace brevin {
namespace {

// A filter or pin the mapper does not know is not a failure when it is being replaced or
// removed.
HRESULT NotFoundIsSuccess(HRESULT hr) {
  return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : hr;
}

}  // namespace

HRESULT FilterMapper::Open() {
  const HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&mapper2_));
  return SUCCEEDED(hr) ? hr : OpenOriginal();
}

HRESULT FilterMapper::OpenOriginal() {
  return CoCreateInstance(CLSID_FilterMapper, nullptr, CLSCTX_INPROC_SERVER,
                          IID_PPV_ARGS(&mapper_));
}

HRESULT FilterMapper::RegisterFilter(const CLSID& classId, const FilterSetup& setup) {
  if (!mapper2_) return NotFoundIsSuccess(RegisterWithOriginalMapper(classId, setup));
  // Registering again replaces the entry instead of adding a second one.
  mapper2_->UnregisterFilter(nullptr, nullptr, classId);
  return NotFoundIsSuccess(
      mapper2_->RegisterFilter(classId, setup.name, nullptr, nullptr, nullptr,
                               setup.registration));
}

HRESULT FilterMapper::RegisterWithOriginalMapper(const CLSID& classId, const FilterSetup& setup) {
  mapper_->UnregisterFilter(classId);
  const REGFILTER2& record = *setup.registration;
  HRESULT hr = mapper_->RegisterFilter(classId, setup.name, record.dwMerit);
  for (ULONG p = 0; SUCCEEDED(hr) && p < record.cPins; ++p) {
    const REGFILTERPINS& pin = record.rgPins[p];
    hr = mapper_->RegisterPin(classId, pin.strName, pin.bRendered, pin.bOutput, pin.bZero,
                              pin.bMany, pin.clsConnectsToFilter ? *pin.clsConnectsToFilter
                                                                 : GUID_NULL,
                              pin.strConnectsToPin);
    for (UINT t = 0; SUCCEEDED(hr) && t < pin.nMediaTypes; ++t) {
      hr = mapper_->RegisterPinType(classId, pin.strName, *pin.lpMediaType[t].clsMajorType,
                                    *pin.lpMediaType[t].clsMinorType);
    }
  }
  return hr;
}

HRESULT FilterMapper::UnregisterFilter(const CLSID& classId) {
  if (mapper2_) return NotFoundIsSuccess(mapper2_->UnregisterFilter(nullptr, nullptr, classId));
  return NotFoundIsSuccess(mapper_->UnregisterFilter(classId));
}

}  // namespace brevin
