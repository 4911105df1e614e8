#include "property_page_base.h"

#include <objbase.h>

#include "wide_string.h"

namespace brevin {
namespace {

// The page's size when its dialog cannot be measured.
constexpr LONG kDefaultWidth = 340;
constexpr LONG kDefaultHeight = 150;
constexpr int kTitleCapacity = 256;

}  // namespace

PropertyPageBase::PropertyPageBase(IUnknown* outer, HINSTANCE resources, DWORD platformId,
                                   UINT titleId, UINT dialogId)
    : UnknownBase(outer),
      resources_(resources),
      platformId_(platformId),
      titleId_(titleId),
      dialogId_(dialogId) {}

PropertyPageBase::~PropertyPageBase() = default;

void PropertyPageBase::LastReferenceReleased() {
  // Let go of the site and the edited object while the derived page can still do its part. A
  // dialog still shown would call into the deleted page: it goes first.
  if (pageWindow_) Deactivate();
  SetPageSite(nullptr);
  SetObjects(0, nullptr);
}

HRESULT PropertyPageBase::InnerQueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IPropertyPage)) {
    return HandOut(static_cast<IPropertyPage*>(this), object);
  }
  return UnknownBase::InnerQueryInterface(iid, object);
}

HRESULT PropertyPageBase::SetPageSite(IPropertyPageSite* site) {
  if (site && !site_) {
    site_ = site;
    return S_OK;
  }
  if (!site && site_) {
    site_.Reset();
    return S_OK;
  }
  return E_UNEXPECTED;
}

HRESULT PropertyPageBase::Activate(HWND parent, LPCRECT rect, BOOL) {
  if (!rect) return E_POINTER;
  if (!objectSet_ || pageWindow_) return E_UNEXPECTED;
  pageWindow_ = CreateDialogParamW(resources_, MAKEINTRESOURCEW(dialogId_), parent,
                                   DialogProcedure, reinterpret_cast<LPARAM>(this));
  if (!pageWindow_) return E_OUTOFMEMORY;
  PageActivated();
  Move(rect);
  return Show(SW_SHOWNORMAL);
}

HRESULT PropertyPageBase::Deactivate() {
  if (!pageWindow_) return E_UNEXPECTED;
  // The page keeps the control-parent style while it is shown (see PageMessage); with the page
  // window recorded as none, the style change goes through and the style comes off before the
  // dialog leaves its host.
  HWND window = pageWindow_;
  pageWindow_ = nullptr;
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_CONTROLPARENT));
  pageWindow_ = window;
  PageDeactivated();
  DestroyWindow(window);
  pageWindow_ = nullptr;
  dialog_ = nullptr;
  return S_OK;
}

void PropertyPageBase::LoadTitle(wchar_t* title, int capacity) const {
  title[0] = L'\0';
  if (platformId_ == VER_PLATFORM_WIN32_NT) {
    if (LoadStringW(resources_, titleId_, title, capacity) <= 0) title[0] = L'\0';
    return;
  }
  char narrow[kTitleCapacity];
  const int length = LoadStringA(resources_, titleId_, narrow, sizeof narrow);
  if (length <= 0) return;
  const int converted = MultiByteToWideChar(CP_ACP, 0, narrow, length, title, capacity - 1);
  title[converted > 0 ? converted : 0] = L'\0';
}

HRESULT PropertyPageBase::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  wchar_t title[kTitleCapacity];
  LoadTitle(title, kTitleCapacity);
  LPOLESTR copy = nullptr;
  if (FAILED(CopyToTaskMemory(title, &copy))) return E_OUTOFMEMORY;
  info->cb = sizeof(PROPPAGEINFO);
  info->pszTitle = copy;
  info->size.cx = kDefaultWidth;
  info->size.cy = kDefaultHeight;
  // The size of the dialog in pixels, from a hidden instance that exists only to be measured.
  HWND measured = CreateDialogParamW(resources_, MAKEINTRESOURCEW(dialogId_), GetDesktopWindow(),
                                     DialogProcedure, 0);
  if (measured) {
    RECT outer{};
    GetWindowRect(measured, &outer);
    info->size.cx = outer.right - outer.left;
    info->size.cy = outer.bottom - outer.top;
    DestroyWindow(measured);
  }
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return S_OK;
}

HRESULT PropertyPageBase::SetObjects(ULONG count, IUnknown** objects) {
  if (count == 1) {
    if (!objects || !objects[0]) return E_POINTER;
    objectSet_ = TRUE;
    return PageConnected(objects[0]);
  }
  if (count == 0) {
    objectSet_ = FALSE;
    return PageDisconnected();
  }
  return E_UNEXPECTED;
}

HRESULT PropertyPageBase::Show(UINT command) {
  if (!pageWindow_) return E_UNEXPECTED;
  if (command != SW_HIDE && command != SW_SHOWNORMAL && command != SW_SHOW) return E_INVALIDARG;
  ShowWindow(pageWindow_, static_cast<int>(command));
  InvalidateRect(pageWindow_, nullptr, TRUE);
  return S_OK;
}

HRESULT PropertyPageBase::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (!pageWindow_) return E_UNEXPECTED;
  MoveWindow(pageWindow_, rect->left, rect->top, rect->right - rect->left,
             rect->bottom - rect->top, TRUE);
  return S_OK;
}

HRESULT PropertyPageBase::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT PropertyPageBase::Apply() {
  if (!objectSet_ || !site_) return E_UNEXPECTED;
  if (!dirty_) return S_OK;
  const HRESULT hr = PageApplying();
  if (SUCCEEDED(hr)) dirty_ = FALSE;
  return hr;
}

HRESULT PropertyPageBase::Help(LPCOLESTR) { return E_NOTIMPL; }

HRESULT PropertyPageBase::TranslateAccelerator(MSG*) { return E_NOTIMPL; }

HRESULT PropertyPageBase::PageConnected(IUnknown*) { return S_OK; }
HRESULT PropertyPageBase::PageDisconnected() { return S_OK; }
HRESULT PropertyPageBase::PageActivated() { return S_OK; }
HRESULT PropertyPageBase::PageDeactivated() { return S_OK; }
HRESULT PropertyPageBase::PageApplying() { return S_OK; }

void PropertyPageBase::MarkDirty() {
  dirty_ = TRUE;
  if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

INT_PTR PropertyPageBase::PageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!pageWindow_) return 0;
  if (message == WM_STYLECHANGING && static_cast<int>(wParam) == GWL_EXSTYLE) {
    // The host may take the control-parent style away; without it the Tab key would leave the
    // page instead of moving between its controls.
    reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_EX_CONTROLPARENT;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK PropertyPageBase::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* created = reinterpret_cast<PropertyPageBase*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    // The instance GetPageInfo measures belongs to no page.
    if (!created) return TRUE;
    created->dialog_ = window;
  }
  auto* page = reinterpret_cast<PropertyPageBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!page) return TRUE;
  return page->PageMessage(window, message, wParam, lParam);
}

}  // namespace brevin
