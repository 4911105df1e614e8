// Registration of the built module with the system's regsvr32, run as a child process: the class
// keys, the filter mapper's entry, a graph that makes the filter by its registered class id, and
// unregistration. Every test leaves the prefix unregistered, as it found it.
#include <windows.h>
#include <control.h>
#include <evcode.h>
#include <ocidl.h>
#include <oleauto.h>
#include <qedit.h>
#include <strmif.h>
#include <uuids.h>
#include <wrl/client.h>

#include <commctrl.h>
#include <olectl.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <thread>
#include <string>

#include <gtest/gtest.h>

#include "class_ids.h"
#include "class_table.h"
#include "conversion_params.h"
#include "filter_mapper.h"
#include "system_filters.h"
#include "wave_file.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

const char kFilterKey[] = "CLSID\\{495AA21A-1093-4B7E-90BB-3EC9555F7511}";
const char kPageKey[] = "CLSID\\{1B8FD398-62BD-4516-B367-F2D83B5D1FDB}";

// regsvr32's exit code for the module, or -1 when it cannot be started.
DWORD Regsvr32(bool unregister) {
  std::wstring command = L"regsvr32.exe /s ";
  if (unregister) command += L"/u ";
  command += L"\"" + std::wstring(BREVIN_MODULE_PATH_W) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return static_cast<DWORD>(-1);
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

bool KeyExists(const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// A string value under HKEY_CLASSES_ROOT; "<missing>" when there is none.
std::string StringValue(const std::string& key, const char* value) {
  char text[1024];
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return "<missing>";
  }
  return text;
}

// Upper case with backslashes, for comparing paths as the system does.
std::string NormalPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  std::transform(path.begin(), path.end(), path.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return path;
}

// How many filters the system's mapper offers under the filter's class id for audio in and audio
// out: both pins must have been registered with their types.
int MapperEntriesForAudio() {
  ComPtr<IFilterMapper2> mapper;
  if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&mapper)))) {
    return -1;
  }
  const GUID audio[2] = {MEDIATYPE_Audio, GUID_NULL};
  ComPtr<IEnumMoniker> found;
  if (FAILED(mapper->EnumMatchingFilters(&found, 0, FALSE, MERIT_DO_NOT_USE + 1, TRUE, 1, audio,
                                         nullptr, nullptr, FALSE, TRUE, 1, audio, nullptr,
                                         nullptr)) ||
      !found) {
    return -1;
  }
  int count = 0;
  ComPtr<IMoniker> moniker;
  while (found->Next(1, moniker.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    ComPtr<IPropertyBag> properties;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&properties)))) continue;
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(properties->Read(L"CLSID", &value, nullptr)) && value.vt == VT_BSTR) {
      CLSID classId;
      if (SUCCEEDED(CLSIDFromString(value.bstrVal, &classId)) &&
          IsEqualCLSID(classId, CLSID_BrevinFilter)) {
        ++count;
      }
    }
    VariantClear(&value);
  }
  return count;
}

// The version resource tells registration tools that the module registers itself.
TEST(BrevinVersion, DeclaresSelfRegistrationAndItsVersion) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(BREVIN_MODULE_PATH, &ignored);
  ASSERT_GT(size, 0u);
  std::string data(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(BREVIN_MODULE_PATH, 0, size, data.data()));
  auto entry = [&](const char* name) {
    char* text = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) {
      return std::string("<missing>");
    }
    return std::string(text);
  };
  EXPECT_EQ(entry("OLESelfRegister"), "AM20");
  EXPECT_EQ(entry("ActiveMovie"), "Filter dll");
  EXPECT_EQ(entry("FileDescription"), "Brevin");
  EXPECT_EQ(entry("OriginalFilename"), "Brevin.ax");
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

// A new in-process object of the class, through the registry as the system finds it.
template <class Interface>
HRESULT Make(const CLSID& classId, ComPtr<Interface>& object) {
  return CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
}

// Window enumeration callbacks are WINAPI: a lambda would be the wrong convention on i686.
struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchControlId(HWND window, LPARAM data) {
  auto* wanted = reinterpret_cast<IdSearch*>(data);
  if (GetDlgCtrlID(window) != wanted->id) return TRUE;
  wanted->found = window;
  return FALSE;
}

// The first window among `parent`'s descendants with the control id, or null.
HWND FindDescendant(HWND parent, int id) {
  IdSearch search{id, nullptr};
  EnumChildWindows(parent, MatchControlId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A shown frame whose page has filled its first edit: the edit exists from the moment the page's
// dialog is made, before the page writes the filter's values into it.
BOOL CALLBACK MatchPageFrame(HWND window, LPARAM data) {
  HWND edit = FindDescendant(window, 1005);
  if (!edit || !IsWindowVisible(window) || GetWindowTextLengthW(edit) == 0) return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

BOOL CALLBACK AskToClose(HWND window, LPARAM) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// The system's modal property frame, watched from a second thread while `thread` runs it. A slow
// machine shows the frame within seconds, not minutes: past two minutes every window of the
// thread is told to close, so a frame that never shows fails the test instead of waiting forever.
class FrameWatch {
 public:
  explicit FrameWatch(DWORD thread) : thread_(thread), deadline_(GetTickCount64() + 120000) {}

  // The frame with its page filled in, or null when the frame call returned without one or the
  // time is up.
  HWND Find() const {
    while (!returned_ && GetTickCount64() < deadline_) {
      HWND frame = nullptr;
      EnumThreadWindows(thread_, MatchPageFrame, reinterpret_cast<LPARAM>(&frame));
      if (frame) return frame;
      Sleep(50);
    }
    return nullptr;
  }

  // Tells the frame its OK button was clicked, again until the frame call has returned. The
  // frame is told directly: a click on the button itself is lost while the frame is not the
  // active window, and on a slow display it may not be for a long while.
  void Dismiss(HWND frame) const {
    while (!returned_) {
      if (GetTickCount64() > deadline_ || !frame) {
        EnumThreadWindows(thread_, AskToClose, 0);
      } else if (HWND ok = FindDescendant(frame, IDOK)) {
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
      }
      Sleep(250);
    }
  }

  void Returned() { returned_ = true; }

 private:
  const DWORD thread_;
  const ULONGLONG deadline_;
  std::atomic<bool> returned_{false};
};

class BrevinRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    // A run killed half-way may have left the module registered.
    if (KeyExists(kFilterKey)) Regsvr32(true);
    ASSERT_FALSE(KeyExists(kFilterKey)) << "the prefix still has Brevin registered";
  }
  void TearDown() override {
    EXPECT_EQ(Regsvr32(true), 0u);
    EXPECT_FALSE(KeyExists(kFilterKey));
    EXPECT_FALSE(KeyExists(kPageKey));
  }
};

TEST_F(BrevinRegistration, WritesClassKeysAndOneMapperEntryAndRemovesThem) {
  ASSERT_EQ(Regsvr32(true), 0u) << "unregistering a module never registered must succeed";
  ASSERT_EQ(MapperEntriesForAudio(), 0);

  ASSERT_EQ(Regsvr32(false), 0u);
  EXPECT_EQ(StringValue(kFilterKey, nullptr), "Brevin Filter");
  EXPECT_EQ(StringValue(kPageKey, nullptr), "Brevin Filter Properties");
  char expectedPath[MAX_PATH];
  ASSERT_NE(GetFullPathNameA(BREVIN_MODULE_PATH, MAX_PATH, expectedPath, nullptr), 0u);
  for (const char* key : {kFilterKey, kPageKey}) {
    const std::string server = std::string(key) + "\\InprocServer32";
    EXPECT_EQ(NormalPath(StringValue(server, nullptr)), NormalPath(expectedPath)) << key;
    EXPECT_EQ(StringValue(server, "ThreadingModel"), "Both") << key;
  }
  EXPECT_EQ(MapperEntriesForAudio(), 1);

  ASSERT_EQ(Regsvr32(false), 0u);
  EXPECT_EQ(MapperEntriesForAudio(), 1) << "registering twice must not add a second entry";

  // What the keys name can be made by class id, as the system makes it.
  ComPtr<IBaseFilter> filter;
  EXPECT_EQ(Make(CLSID_BrevinFilter, filter), S_OK);
  ComPtr<IPropertyPage> page;
  EXPECT_EQ(Make(CLSID_BrevinPropertyPage, page), S_OK);
  filter.Reset();
  page.Reset();

  // Keys that others put under the class key go with it, however deep.
  HKEY deeper = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (std::string(kFilterKey) + "\\a\\b\\c").c_str(),
                            0, nullptr, 0, KEY_WRITE, nullptr, &deeper, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(deeper);

  ASSERT_EQ(Regsvr32(true), 0u);
  EXPECT_FALSE(KeyExists(kFilterKey));
  EXPECT_FALSE(KeyExists(kPageKey));
  EXPECT_EQ(MapperEntriesForAudio(), 0);
}

// The system's graph builder finds the way from a wave file to the registered filter (through the
// system's parser) and on to a grabber and a renderer; the audio arrives as an extensible format.
TEST_F(BrevinRegistration, RegisteredFilterStreamsAWaveFileInASystemGraph) {
  ASSERT_EQ(Regsvr32(false), 0u);
  const WaveFile file(2, 44100, 16, 44100);
  ASSERT_TRUE(file.Written());
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(Make(CLSID_FilterGraph, graph), S_OK);
  ComPtr<ICaptureGraphBuilder2> builder;
  ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                             IID_ICaptureGraphBuilder2,
                             reinterpret_cast<void**>(builder.GetAddressOf())),
            S_OK);
  ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);

  ComPtr<IBaseFilter> source;
  ASSERT_EQ(graph->AddSourceFilter(file.Path().c_str(), L"source", &source), S_OK);
  // The filter by its registered class id, and the system's grabber and renderer.
  auto addNew = [&](const CLSID& classId, const wchar_t* name, ComPtr<IBaseFilter>& filter) {
    const HRESULT hr = Make(classId, filter);
    return FAILED(hr) ? hr : graph->AddFilter(filter.Get(), name);
  };
  ComPtr<IBaseFilter> brevin;
  ASSERT_EQ(addNew(CLSID_BrevinFilter, L"Brevin", brevin), S_OK);
  ComPtr<IBaseFilter> grabberFilter;
  ASSERT_EQ(addNew(CLSID_SampleGrabberFilter, L"grabber", grabberFilter), S_OK);
  ComPtr<IBaseFilter> renderer;
  ASSERT_EQ(addNew(CLSID_NullRendererFilter, L"renderer", renderer), S_OK);
  ASSERT_EQ(builder->RenderStream(nullptr, nullptr, source.Get(), brevin.Get(),
                                  grabberFilter.Get()),
            S_OK);
  ASSERT_EQ(builder->RenderStream(nullptr, nullptr, grabberFilter.Get(), nullptr,
                                  renderer.Get()),
            S_OK);

  ComPtr<ISampleGrabber> grabber;
  ASSERT_EQ(grabberFilter.As(&grabber), S_OK);
  AM_MEDIA_TYPE type{};
  ASSERT_EQ(grabber->GetConnectedMediaType(&type), S_OK);
  ASSERT_GE(type.cbFormat, sizeof(WAVEFORMATEX));
  EXPECT_EQ(reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat)->wFormatTag, 0xFFFE);
  CoTaskMemFree(type.pbFormat);
  if (type.pUnk) type.pUnk->Release();

  ComPtr<IMediaFilter> timing;
  ASSERT_EQ(graph.As(&timing), S_OK);
  ASSERT_EQ(timing->SetSyncSource(nullptr), S_OK);
  ComPtr<IMediaControl> control;
  ASSERT_EQ(graph.As(&control), S_OK);
  ComPtr<IMediaEvent> events;
  ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.GetAddressOf())),
            S_OK);
  ASSERT_TRUE(SUCCEEDED(control->Run()));
  LONG code = 0;
  EXPECT_EQ(events->WaitForCompletion(20000, &code), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_EQ(control->Stop(), S_OK);
}

// The system's property frame shows the page that the filter's GetPages names as a tab titled
// "Brevin", with the filter's parameters in its edits. (Wine's frame never calls the page's
// Apply, so applying is shown by the direct page tests.)
TEST_F(BrevinRegistration, SystemPropertyFrameHostsThePage) {
  ASSERT_EQ(Regsvr32(false), 0u);
  ComPtr<IBaseFilter> filter;
  ASSERT_EQ(Make(CLSID_BrevinFilter, filter), S_OK);
  ComPtr<IConversionParams> params;
  ASSERT_EQ(filter.As(&params), S_OK);
  ASSERT_EQ(params->SetParams(5, -9), S_OK);
  ComPtr<ISpecifyPropertyPages> specify;
  ASSERT_EQ(filter.As(&specify), S_OK);
  CAUUID pages{};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);

  // The frame is modal: a second thread reads it while this one runs its message loop, then
  // closes it.
  FrameWatch watch(GetCurrentThreadId());
  std::wstring tabTitle, shown1, shown2;
  std::thread reader([&] {
    HWND frame = watch.Find();
    if (!frame) return watch.Dismiss(nullptr);
    HWND tabs = FindWindowExW(frame, nullptr, WC_TABCONTROLW, nullptr);
    wchar_t text[64] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    if (tabs && SendMessageW(tabs, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
      tabTitle = text;
    }
    for (auto [id, shown] : {std::pair{1005, &shown1}, std::pair{1006, &shown2}}) {
      GetWindowTextW(FindDescendant(frame, id), text, 64);
      *shown = text;
    }
    watch.Dismiss(frame);
  });
  IUnknown* object = filter.Get();
  const HRESULT framed = OleCreatePropertyFrame(nullptr, 0, 0, L"Brevin Filter", 1, &object,
                                                pages.cElems, pages.pElems, 0, 0, nullptr);
  watch.Returned();
  reader.join();
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(framed, S_OK);
  EXPECT_EQ(tabTitle, L"Brevin");
  EXPECT_EQ(shown1, L"5");
  EXPECT_EQ(shown2, L"-9");
}

// How many filters the original mapper offers for audio in and audio out under the filter's
// class id.
int OriginalMapperEntriesForAudio() {
  ComPtr<IFilterMapper> mapper;
  ComPtr<IEnumRegFilters> found;
  if (FAILED(Make(CLSID_FilterMapper, mapper)) ||
      FAILED(mapper->EnumMatchingFilters(&found, MERIT_DO_NOT_USE + 1, TRUE, MEDIATYPE_Audio,
                                         GUID_NULL, FALSE, TRUE, MEDIATYPE_Audio, GUID_NULL)) ||
      !found) {
    return -1;
  }
  int count = 0;
  REGFILTER* filter = nullptr;
  ULONG fetched = 0;
  while (found->Next(1, &filter, &fetched) == S_OK && fetched == 1) {
    if (IsEqualCLSID(filter->Clsid, CLSID_BrevinFilter)) ++count;
    CoTaskMemFree(filter);
  }
  return count;
}

// On a system with only the original filter mapper, the filter and its pins are registered one
// call at a time, replaced on a second registration and removed again.
TEST(BrevinOriginalMapper, RegistersFilterPinsAndTypesAndRemovesThem) {
  const FactoryTemplate* row = FindClass(CLSID_BrevinFilter);
  ASSERT_NE(row, nullptr);
  // A run killed half-way may have left the module registered through the newer mapper.
  if (KeyExists(kFilterKey)) Regsvr32(true);
  FilterMapper mapper;
  ASSERT_EQ(mapper.OpenOriginal(), S_OK);
  EXPECT_EQ(mapper.UnregisterFilter(CLSID_BrevinFilter), S_OK) << "not registered is no failure";
  ASSERT_EQ(mapper.RegisterFilter(CLSID_BrevinFilter, *row->registration), S_OK);
  EXPECT_EQ(OriginalMapperEntriesForAudio(), 1);
  ASSERT_EQ(mapper.RegisterFilter(CLSID_BrevinFilter, *row->registration), S_OK);
  EXPECT_EQ(OriginalMapperEntriesForAudio(), 1);
  EXPECT_EQ(mapper.UnregisterFilter(CLSID_BrevinFilter), S_OK);
  EXPECT_EQ(OriginalMapperEntriesForAudio(), 0);
  // The original mapper keeps part of its data under the class key: leave nothing behind.
  if (KeyExists(kFilterKey)) Regsvr32(true);
  EXPECT_FALSE(KeyExists(kFilterKey));
}

}  // namespace
}  // namespace brevin::test
