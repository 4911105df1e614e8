// The Brevin property page from the built module, hosted on a real window: its page info, the
// parameters shown in its edits, typed values applied to the filter, the dirty rules and the
// protocol refusals.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <strmif.h>
#include <wrl/client.h>

#include <string>

#include <gtest/gtest.h>

#include "brevin_module.h"
#include "class_ids.h"
#include "page_doubles.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

constexpr int kParam1Edit = 1005;
constexpr int kParam2Edit = 1006;

class BrevinPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module.Loaded()) << "cannot load " << BREVIN_MODULE_PATH;
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(module.GetClassObject(CLSID_BrevinPropertyPage, IID_PPV_ARGS(&factory)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&page)), S_OK);
    // The host is never shown on screen: mapping a top-level window on the virtual display
    // costs seconds, and the page and its controls work the same inside a hidden host.
    host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 500,
                           300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host, nullptr);
  }

  void TearDown() override {
    page.Reset();
    filter.Reset();
    params.Reset();
    site.Reset();
    if (host) DestroyWindow(host);
    EXPECT_EQ(module.CanUnloadNow(), S_OK) << "a page or filter outlived the test";
  }

  // Site and object set, then the page shown on the host window.
  void ActivateOn(IUnknown* object) {
    ASSERT_EQ(page->SetPageSite(site.Get()), S_OK);
    ASSERT_EQ(page->SetObjects(1, &object), S_OK);
    const RECT area{10, 10, 400, 250};
    ASSERT_EQ(page->Activate(host, &area, FALSE), S_OK);
    dialog = GetWindow(host, GW_CHILD);
    ASSERT_NE(dialog, nullptr) << "no dialog on the host window";
  }

  std::wstring EditText(int id) const {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
  }

  // Replaces the edit's text key by key, as a typist would; an empty text deletes it.
  void Type(int id, const wchar_t* text) const {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    if (!*text) SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    for (const wchar_t* key = text; *key; ++key) SendMessageW(edit, WM_CHAR, *key, 0);
  }

  void ExpectFilterParams(int param1, int param2) {
    ComPtr<IConversionParams> asParams;
    ASSERT_EQ(filter.As(&asParams), S_OK);
    int values[2] = {-1, -1};
    ASSERT_EQ(asParams->GetParams(values), S_OK);
    EXPECT_EQ(values[0], param1);
    EXPECT_EQ(values[1], param2);
  }

  BrevinModule module;
  ComPtr<IPropertyPage> page;
  ComPtr<RecordingPageSite> site = MakeDouble<RecordingPageSite>();
  ComPtr<RecordingParams> params = MakeDouble<RecordingParams>(5, 9);
  ComPtr<IBaseFilter> filter;
  HWND host = nullptr;
  HWND dialog = nullptr;
};

TEST_F(BrevinPage, InfoHasTheTitleAndTheDialogSizeInPixels) {
  PROPPAGEINFO info{};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  ASSERT_NE(info.pszTitle, nullptr);
  EXPECT_STREQ(info.pszTitle, L"Brevin");
  CoTaskMemFree(info.pszTitle);
  EXPECT_EQ(info.cb, sizeof(PROPPAGEINFO));
  EXPECT_EQ(info.pszDocString, nullptr);
  EXPECT_EQ(info.pszHelpFile, nullptr);

  // The dialog is 215 x 128 dialog units in its own font.
  ASSERT_NO_FATAL_FAILURE(ActivateOn(params.Get()));
  RECT units{0, 0, 215, 128};
  ASSERT_TRUE(MapDialogRect(dialog, &units));
  EXPECT_EQ(info.size.cx, units.right);
  EXPECT_EQ(info.size.cy, units.bottom);
  EXPECT_EQ(page->GetPageInfo(nullptr), E_POINTER);
  EXPECT_EQ(page->Deactivate(), S_OK);
}

TEST_F(BrevinPage, TypedValuesReachTheFilterAsNumbers) {
  ASSERT_EQ(module.CreateFilter(filter), S_OK);
  ASSERT_NO_FATAL_FAILURE(ActivateOn(filter.Get()));
  EXPECT_EQ(EditText(kParam1Edit), L"0");
  EXPECT_EQ(EditText(kParam2Edit), L"0");
  EXPECT_EQ(page->IsPageDirty(), S_FALSE) << "showing the values is no edit";
  EXPECT_EQ(site->dirtyNotices, 0);

  Type(kParam1Edit, L"12abc");
  Type(kParam2Edit, L"");
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  EXPECT_GT(site->dirtyNotices, 0);
  ASSERT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  ExpectFilterParams(12, 0);

  Type(kParam1Edit, L"-7");
  Type(kParam2Edit, L"  +2147483647999");
  ASSERT_EQ(page->Apply(), S_OK);
  ExpectFilterParams(-7, 2147483647);
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_EQ(GetWindow(host, GW_CHILD), nullptr) << "the dialog outlived Deactivate";

  // Shown again, the page shows what the filter holds now.
  const RECT area{0, 0, 300, 200};
  ASSERT_EQ(page->Activate(host, &area, FALSE), S_OK);
  dialog = GetWindow(host, GW_CHILD);
  EXPECT_EQ(EditText(kParam1Edit), L"-7");
  EXPECT_EQ(EditText(kParam2Edit), L"2147483647");
  EXPECT_EQ(page->Deactivate(), S_OK);
}

TEST_F(BrevinPage, ApplySendsOnlyWhenTheDialogWasTouched) {
  ASSERT_NO_FATAL_FAILURE(ActivateOn(params.Get()));
  EXPECT_EQ(EditText(kParam1Edit), L"5");
  EXPECT_EQ(EditText(kParam2Edit), L"9");
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_TRUE(params->sent.empty()) << "a clean page sent its values";

  // Even a focus change inside the page counts as an edit.
  SetFocus(GetDlgItem(dialog, kParam2Edit));
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  EXPECT_EQ(site->dirtyNotices, 1);
  EXPECT_EQ(page->Apply(), S_OK);
  ASSERT_EQ(params->sent.size(), 1u);
  EXPECT_EQ(params->sent[0], (RecordingParams::Sent{5, 9}));

  // Applied after Deactivate, the values read when the page was put away are sent.
  Type(kParam1Edit, L"8");
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  EXPECT_EQ(page->Apply(), S_OK);
  ASSERT_EQ(params->sent.size(), 2u);
  EXPECT_EQ(params->sent[1], (RecordingParams::Sent{8, 9}));
}

TEST_F(BrevinPage, RefusesCallsOutOfTurn) {
  const RECT area{0, 0, 100, 100};
  EXPECT_EQ(page->Activate(host, &area, FALSE), E_UNEXPECTED) << "no object yet";
  EXPECT_EQ(page->Deactivate(), E_UNEXPECTED);
  EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED);
  EXPECT_EQ(page->Move(&area), E_UNEXPECTED);
  EXPECT_EQ(page->SetPageSite(nullptr), E_UNEXPECTED) << "no site to drop";

  IUnknown* two[2] = {params.Get(), params.Get()};
  EXPECT_EQ(page->SetObjects(2, two), E_UNEXPECTED);
  IUnknown* notTheFilter = site.Get();
  EXPECT_EQ(page->SetObjects(1, &notTheFilter), E_NOINTERFACE);
  IUnknown* none = nullptr;
  EXPECT_EQ(page->SetObjects(1, &none), E_POINTER);
  EXPECT_EQ(page->SetObjects(0, nullptr), E_UNEXPECTED) << "nothing was connected";
  IUnknown* object = params.Get();
  ASSERT_EQ(page->SetObjects(1, &object), S_OK);
  EXPECT_EQ(page->Apply(), E_UNEXPECTED) << "no site";

  ASSERT_EQ(page->SetPageSite(site.Get()), S_OK);
  EXPECT_EQ(page->SetPageSite(site.Get()), E_UNEXPECTED);
  EXPECT_EQ(page->Activate(host, nullptr, FALSE), E_POINTER);
  ASSERT_EQ(page->Activate(host, &area, FALSE), S_OK);
  EXPECT_EQ(page->Activate(host, &area, FALSE), E_UNEXPECTED);
  EXPECT_EQ(page->Show(SW_MINIMIZE), E_INVALIDARG);
  EXPECT_EQ(page->Show(SW_HIDE), S_OK);
  EXPECT_FALSE(GetWindowLongPtrW(GetWindow(host, GW_CHILD), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(page->Move(nullptr), E_POINTER);
  EXPECT_EQ(page->Help(nullptr), E_NOTIMPL);
  EXPECT_EQ(page->TranslateAccelerator(nullptr), E_NOTIMPL);

  ComPtr<IPropertyPage2> other;
  EXPECT_EQ(page.As(&other), E_NOINTERFACE);
  EXPECT_EQ(page->Deactivate(), S_OK);
}

TEST_F(BrevinPage, KeepsTheControlParentStyleWhileShown) {
  ASSERT_NO_FATAL_FAILURE(ActivateOn(params.Get()));
  const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
  SetWindowLongPtrW(dialog, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_CONTROLPARENT));
  EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  EXPECT_EQ(page->Deactivate(), S_OK);
}

TEST_F(BrevinPage, ReleasedWhileShownTakesItsDialogAndLetsGoOfTheObject) {
  ASSERT_NO_FATAL_FAILURE(ActivateOn(params.Get()));
  const LONG held = params->References();
  page.Reset();
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_LT(params->References(), held);
  EXPECT_EQ(params->References(), 1);
  EXPECT_EQ(site->References(), 1);
}

TEST(BrevinServer, MayUnloadOnlyWithoutFactoriesAndServerLocks) {
  const BrevinModule module;
  ASSERT_TRUE(module.Loaded());
  ASSERT_EQ(module.CanUnloadNow(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(module.GetClassObject(CLSID_BrevinPropertyPage, IID_PPV_ARGS(&factory)), S_OK);
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "two locks are outstanding";

  ASSERT_EQ(module.GetClassObject(CLSID_BrevinFilter, IID_PPV_ARGS(&factory)), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "one lock is outstanding";
  ASSERT_EQ(module.GetClassObject(CLSID_BrevinFilter, IID_PPV_ARGS(&factory)), S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "the factory is alive";
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace brevin::test
