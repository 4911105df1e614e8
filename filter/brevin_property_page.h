#pragma once
// The Brevin filter's property page: the two parameters in two edit boxes, sent to the filter
// through IConversionParams when the host applies the page.
#include <windows.h>
#include <wrl/client.h>

#include "conversion_params.h"
#include "property_page_base.h"

namespace brevin {

class BrevinPropertyPage : public PropertyPageBase {
 public:
  // The class table's create function: a new page, or null with E_OUTOFMEMORY in `result`.
  static UnknownBase* Create(IUnknown* outer, HRESULT* result);

  explicit BrevinPropertyPage(IUnknown* outer);

  HRESULT PageConnected(IUnknown* object) override;
  HRESULT PageDisconnected() override;
  HRESULT PageActivated() override;
  HRESULT PageDeactivated() override;
  HRESULT PageApplying() override;
  INT_PTR PageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Takes the numbers in the two edits into the page's copy of the parameters.
  void ReadEdits();

  BOOL initialised_ = FALSE;
  Microsoft::WRL::ComPtr<IConversionParams> params_;
  // param1 and param2, laid out as GetParams fills them.
  int values_[2] = {0, 0};
};

}  // namespace brevin
