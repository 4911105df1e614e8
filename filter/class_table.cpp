#include "class_table.h"

#include <uuids.h>

#include "brevin_filter.h"
#include "brevin_property_page.h"
#include "class_ids.h"

namespace brevin {
namespace {

const REGPINTYPES kAudioType = {&MEDIATYPE_Audio, &GUID_NULL};

const REGFILTERPINS kFilterPins[] = {
    {const_cast<LPWSTR>(L"Input"), FALSE, FALSE, FALSE, FALSE, &GUID_NULL, nullptr, 1,
     &kAudioType},
    {const_cast<LPWSTR>(L"Output"), FALSE, TRUE, FALSE, FALSE, &GUID_NULL, nullptr, 1,
     &kAudioType},
};

const REGFILTER2 kFilterPinsAndMerit = {1, MERIT_NORMAL, {{2, kFilterPins}}};

const FilterSetup kFilterRegistration = {L"Brevin Filter", &kFilterPinsAndMerit};

}  // namespace

const FactoryTemplate kClassTable[] = {
    {L"Brevin Filter", &CLSID_BrevinFilter, BrevinFilter::Create, nullptr, &kFilterRegistration},
    {L"Brevin Filter Properties", &CLSID_BrevinPropertyPage, BrevinPropertyPage::Create, nullptr,
     nullptr},
};
const int kClassTableRows = sizeof kClassTable / sizeof kClassTable[0];

const FactoryTemplate* FindClass(REFCLSID classId) {
  for (int i = 0; i < kClassTableRows; ++i) {
    if (IsEqualCLSID(*kClassTable[i].classId, classId)) return &kClassTable[i];
  }
  return nullptr;
}

}  // namespace brevin
