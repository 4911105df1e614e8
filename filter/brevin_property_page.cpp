#include "brevin_property_page.h"

#include <cstdlib>
#include <cwchar>
#include <new>

#include "module_state.h"
#include "resource_ids.h"

namespace brevin {
namespace {

constexpr int kEditIds[2] = {IDC_BREVIN_PARAM1, IDC_BREVIN_PARAM2};
constexpr int kEditCapacity = 256;

}  // namespace

UnknownBase* BrevinPropertyPage::Create(IUnknown* outer, HRESULT* result) {
  auto* page = new (std::nothrow) BrevinPropertyPage(outer);
  if (!page && result) *result = E_OUTOFMEMORY;
  return page;
}

BrevinPropertyPage::BrevinPropertyPage(IUnknown* outer)
    : PropertyPageBase(outer, Module().module, Module().platformId, IDS_BREVIN_PAGE_TITLE,
                       IDD_BREVIN_PAGE) {}

HRESULT BrevinPropertyPage::PageConnected(IUnknown* object) {
  Microsoft::WRL::ComPtr<IConversionParams> params;
  if (FAILED(object->QueryInterface(IID_PPV_ARGS(&params)))) return E_NOINTERFACE;
  // A second object replaces the first.
  params_ = params;
  params_->GetParams(values_);
  initialised_ = FALSE;
  return S_OK;
}

HRESULT BrevinPropertyPage::PageDisconnected() {
  if (!params_) return E_UNEXPECTED;
  params_.Reset();
  return S_OK;
}

HRESULT BrevinPropertyPage::PageActivated() {
  for (int i = 0; i < 2; ++i) {
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"%d", values_[i]);
    SetDlgItemTextW(Dialog(), kEditIds[i], text);
  }
  // Only now: setting the texts above sent commands that must not count as edits.
  initialised_ = TRUE;
  return S_OK;
}

HRESULT BrevinPropertyPage::PageDeactivated() {
  initialised_ = FALSE;
  ReadEdits();
  return S_OK;
}

HRESULT BrevinPropertyPage::PageApplying() {
  // After Deactivate there are no edits to read: the values taken when the page was
  // deactivated are sent instead.
  if (Dialog()) ReadEdits();
  if (params_) params_->SetParams(values_[0], values_[1]);
  return S_OK;
}

INT_PTR BrevinPropertyPage::PageMessage(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  if (message != WM_COMMAND) return PropertyPageBase::PageMessage(window, message, wParam, lParam);
  // Any notification from the edits, focus changes included, counts as an edit.
  if (initialised_) MarkDirty();
  return 1;
}

void BrevinPropertyPage::ReadEdits() {
  for (int i = 0; i < 2; ++i) {
    wchar_t text[kEditCapacity] = L"";
    GetDlgItemTextW(Dialog(), kEditIds[i], text, kEditCapacity);
    // Leading blanks and a sign are taken, the number ends at the first non-digit, no digits
    // give 0; out-of-range numbers stop at the limits of an int.
    values_[i] = static_cast<int>(std::wcstol(text, nullptr, 10));
  }
}

}  // namespace brevin
