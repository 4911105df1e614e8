#pragma once
// The system's filter mapper as the registration uses it: the current mapper interface when the
// system has it, the original one otherwise.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include "filter_base.h"

namespace brevin {

class FilterMapper {
 public:
  // Creates the system's mapper; the creation error when there is none.
  HRESULT Open();
  // Creates only the original mapper, the one a system without the current mapper has.
  HRESULT OpenOriginal();

  // Registers the filter `classId` as `setup` describes it, replacing an earlier registration.
  HRESULT RegisterFilter(const CLSID& classId, const FilterSetup& setup);
  HRESULT UnregisterFilter(const CLSID& classId);

 private:
  HRESULT RegisterWithOriginalMapper(const CLSID& classId, const FilterSetup& setup);

  Microsoft::WRL::ComPtr<IFilterMapper2> mapper2_;
  Microsoft::WRL::ComPtr<IFilterMapper> mapper_;
};

}  // namespace brevin
