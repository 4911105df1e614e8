#pragma once
// The module's COM classes: one row per class with what it takes to create and register it.
#include <windows.h>

#include "filter_base.h"
#include "unknown_base.h"

namespace brevin {

struct FactoryTemplate {
  const wchar_t* name;
  const CLSID* classId;
  // A new object aggregated by `outer` (may be null), or null; a failure may be left in `result`.
  UnknownBase* (*create)(IUnknown* outer, HRESULT* result);
  // Called at module load (true) and unload (false) with the class id; null when not needed.
  void (*initialise)(BOOL loading, const CLSID* classId);
  // What the filter mapper is told about the class; null for classes that are not filters.
  const FilterSetup* registration;
};

extern const FactoryTemplate kClassTable[];
extern const int kClassTableRows;

// The row of `classId`, or null.
const FactoryTemplate* FindClass(REFCLSID classId);

}  // namespace brevin
