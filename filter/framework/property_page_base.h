#pragma once
// The property page base: IPropertyPage over a modeless child dialog taken from the module's
// resources. The derived page fills the hooks: connecting to and letting go of the object it
// edits, showing its values when activated, reading them back and applying them, and its own
// dialog messages.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include "unknown_base.h"

namespace brevin {

class PropertyPageBase : public IPropertyPage, public UnknownBase {
 public:
  // `resources` holds string `titleId` (the tab's title) and dialog `dialogId`; `platformId` is
  // the system's platform id, which decides how the title is loaded.
  PropertyPageBase(IUnknown* outer, HINSTANCE resources, DWORD platformId, UINT titleId,
                   UINT dialogId);
  ~PropertyPageBase() override;

  BREVIN_OUTER_UNKNOWN

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;

  // IPropertyPage
  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
  HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  HRESULT STDMETHODCALLTYPE Deactivate() override;
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
  HRESULT STDMETHODCALLTYPE Show(UINT command) override;
  HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
  HRESULT STDMETHODCALLTYPE IsPageDirty() override;
  HRESULT STDMETHODCALLTYPE Apply() override;
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDirectory) override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override;

  virtual HRESULT PageConnected(IUnknown* object);
  virtual HRESULT PageDisconnected();
  virtual HRESULT PageActivated();
  virtual HRESULT PageDeactivated();
  virtual HRESULT PageApplying();
  // Every message of the page's dialog once it is initialised; the result goes back to the
  // dialog manager.
  virtual INT_PTR PageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 protected:
  // The page's dialog while it exists (from its initialisation until it is destroyed).
  HWND Dialog() const { return dialog_; }
  IPropertyPageSite* Site() const { return site_.Get(); }
  // Marks the page dirty and tells the site so.
  void MarkDirty();

  void LastReferenceReleased() override;

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
  // The title string as a wide string, empty when missing.
  void LoadTitle(wchar_t* title, int capacity) const;

  Microsoft::WRL::ComPtr<IPropertyPageSite> site_;
  HWND pageWindow_ = nullptr;
  HWND dialog_ = nullptr;
  BOOL dirty_ = FALSE;
  HINSTANCE resources_;
  DWORD platformId_;
  UINT titleId_;
  UINT dialogId_;
  BOOL objectSet_ = FALSE;
};

}  // namespace brevin
