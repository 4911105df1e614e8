// The Brevin module in real graphs of the system's filters: File Source (Async) and WAVE Parser
// upstream, Sample Grabber and Null Renderer downstream. The module is loaded from the build
// tree and the filter made through its class object; nothing is registered.
#include <windows.h>
#include <strmif.h>
#include <control.h>
#include <evcode.h>
#include <objbase.h>
#include <qedit.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>
// The kernel-streaming headers only after the DirectShow ones.
#include <ks.h>
#include <ksmedia.h>
#include <mmreg.h>

#include <cstring>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "brevin_module.h"
#include "counted_double.h"
#include "graph_pins.h"
#include "system_filters.h"
#include "wave_file.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

// Collects the bytes of every buffer the Sample Grabber sees, in order.
class CollectedBytes : public ISampleGrabberCB, public CountedDouble {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISampleGrabberCB)) {
      *object = static_cast<ISampleGrabberCB*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  BREVIN_COUNTED_DOUBLE

  HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE* buffer, long length) override {
    std::lock_guard<std::mutex> guard(mutex_);
    bytes_.insert(bytes_.end(), buffer, buffer + length);
    ++buffers_;
    return S_OK;
  }

  std::vector<BYTE> Take() {
    std::lock_guard<std::mutex> guard(mutex_);
    std::vector<BYTE> taken;
    taken.swap(bytes_);
    buffers_ = 0;
    return taken;
  }
  int Buffers() {
    std::lock_guard<std::mutex> guard(mutex_);
    return buffers_;
  }

 private:
  std::mutex mutex_;
  std::vector<BYTE> bytes_;
  int buffers_ = 0;
};

class BrevinGraph : public ::testing::Test {
 protected:
  ~BrevinGraph() override {
    if (control) control->Stop();
    control.Reset();
    events.Reset();
    grabber.Reset();
    source.Reset();
    parser.Reset();
    brevin.Reset();
    grabberFilter.Reset();
    renderer.Reset();
    graph.Reset();
    collected.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_OK) << "a Brevin object outlived its graph";
  }

  HRESULT AddSystemFilter(const CLSID& classId, const wchar_t* name, ComPtr<IBaseFilter>& filter) {
    const HRESULT hr = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&filter));
    if (FAILED(hr)) return hr;
    return graph->AddFilter(filter.Get(), name);
  }

  HRESULT Link(IBaseFilter* from, IBaseFilter* to) {
    ComPtr<IPin> out = FirstPin(from, PINDIR_OUTPUT);
    ComPtr<IPin> in = FirstPin(to, PINDIR_INPUT);
    if (!out || !in) return VFW_E_NOT_FOUND;
    return graph->ConnectDirect(out.Get(), in.Get(), nullptr);
  }

  // Source, parser, Brevin, grabber and renderer, connected in that order.
  void Build(const WaveFile& file) {
    ASSERT_TRUE(module.Loaded()) << "cannot load " << BREVIN_MODULE_PATH;
    ASSERT_TRUE(file.Written());
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&graph)),
              S_OK);
    ASSERT_EQ(AddSystemFilter(CLSID_AsyncReader, L"source", source), S_OK);
    ComPtr<IFileSourceFilter> fileSource;
    ASSERT_EQ(source.As(&fileSource), S_OK);
    ASSERT_EQ(fileSource->Load(file.Path().c_str(), nullptr), S_OK);
    ASSERT_EQ(AddSystemFilter(CLSID_WaveParserFilter, L"parser", parser), S_OK);
    ASSERT_EQ(Link(source.Get(), parser.Get()), S_OK);

    ASSERT_EQ(module.CreateFilter(brevin), S_OK);
    ASSERT_EQ(graph->AddFilter(brevin.Get(), L"Brevin"), S_OK);
    ASSERT_EQ(Link(parser.Get(), brevin.Get()), S_OK);

    ASSERT_EQ(AddSystemFilter(CLSID_SampleGrabberFilter, L"grabber", grabberFilter), S_OK);
    ASSERT_EQ(grabberFilter.As(&grabber), S_OK);
    ASSERT_EQ(grabber->SetBufferSamples(FALSE), S_OK);
    ASSERT_EQ(grabber->SetCallback(collected.Get(), 1), S_OK);
    ASSERT_EQ(Link(brevin.Get(), grabberFilter.Get()), S_OK);
    ASSERT_EQ(AddSystemFilter(CLSID_NullRendererFilter, L"renderer", renderer), S_OK);
    ASSERT_EQ(Link(grabberFilter.Get(), renderer.Get()), S_OK);

    ASSERT_EQ(graph.As(&control), S_OK);
    // (IMediaEvent has no __uuidof in these headers.)
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.GetAddressOf())),
              S_OK);
  }

  // Without a clock the graph streams as fast as the filters go.
  void Unclocked() {
    ComPtr<IMediaFilter> timing;
    ASSERT_EQ(graph.As(&timing), S_OK);
    ASSERT_EQ(timing->SetSyncSource(nullptr), S_OK);
  }

  void RunToCompletion() {
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    LONG code = 0;
    ASSERT_EQ(events->WaitForCompletion(20000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    ASSERT_EQ(control->Stop(), S_OK);
  }

  void ExpectExtensibleDownstream(WORD channels, DWORD rate, WORD bits, DWORD channelMask) {
    AM_MEDIA_TYPE type{};
    ASSERT_EQ(grabber->GetConnectedMediaType(&type), S_OK);
    EXPECT_TRUE(IsEqualGUID(type.majortype, MEDIATYPE_Audio));
    EXPECT_TRUE(IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM));
    EXPECT_TRUE(IsEqualGUID(type.formattype, FORMAT_WaveFormatEx));
    ASSERT_EQ(type.cbFormat, sizeof(WAVEFORMATEXTENSIBLE));
    WAVEFORMATEXTENSIBLE format;
    std::memcpy(&format, type.pbFormat, sizeof format);
    CoTaskMemFree(type.pbFormat);
    if (type.pUnk) type.pUnk->Release();
    EXPECT_EQ(format.Format.wFormatTag, WAVE_FORMAT_EXTENSIBLE);
    EXPECT_EQ(format.Format.nChannels, channels);
    EXPECT_EQ(format.Format.nSamplesPerSec, rate);
    EXPECT_EQ(format.Format.nAvgBytesPerSec, rate * channels * bits / 8);
    EXPECT_EQ(format.Format.nBlockAlign, channels * bits / 8);
    EXPECT_EQ(format.Format.wBitsPerSample, bits);
    EXPECT_EQ(format.Format.cbSize, 22);
    EXPECT_EQ(format.Samples.wValidBitsPerSample, bits);
    EXPECT_EQ(format.dwChannelMask, channelMask);
    EXPECT_TRUE(IsEqualGUID(format.SubFormat, KSDATAFORMAT_SUBTYPE_PCM));
  }

  void ExpectEveryByte(const WaveFile& file) {
    const std::vector<BYTE> arrived = collected->Take();
    ASSERT_EQ(arrived.size(), file.Audio().size());
    EXPECT_TRUE(arrived == file.Audio()) << "the audio bytes changed on the way";
  }

  BrevinModule module;
  ComPtr<CollectedBytes> collected = MakeDouble<CollectedBytes>();
  ComPtr<IGraphBuilder> graph;
  ComPtr<IBaseFilter> source;
  ComPtr<IBaseFilter> parser;
  ComPtr<IBaseFilter> brevin;
  ComPtr<IBaseFilter> grabberFilter;
  ComPtr<ISampleGrabber> grabber;
  ComPtr<IBaseFilter> renderer;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEvent> events;
};

TEST_F(BrevinGraph, SixteenBitStereoArrivesUnchangedAsExtensibleAudio) {
  const WaveFile file(2, 44100, 16, 44100 * 3 / 2);
  Build(file);
  if (HasFatalFailure()) return;
  ExpectExtensibleDownstream(2, 44100, 16, 0x3);
  Unclocked();
  RunToCompletion();
  ExpectEveryByte(file);
}

TEST_F(BrevinGraph, TwentyFourBitSixChannelsArriveUnchangedAsExtensibleAudio) {
  const WaveFile file(6, 48000, 24, 48000);
  Build(file);
  if (HasFatalFailure()) return;
  ExpectExtensibleDownstream(6, 48000, 24, 0x3F);
  Unclocked();
  RunToCompletion();
  ExpectEveryByte(file);
}

// Stops and runs the streaming graph again and again, with seeks and pauses in between, then
// plays it through once more: the filter neither hangs nor loses its way.
TEST_F(BrevinGraph, SurvivesManyStopsAndRunsWhileStreaming) {
  const WaveFile file(2, 44100, 16, 44100 * 10);
  Build(file);
  if (HasFatalFailure()) return;
  ComPtr<IMediaSeeking> seeking;
  ASSERT_EQ(graph.As(&seeking), S_OK);
  for (int cycle = 0; cycle < 50; ++cycle) {
    ASSERT_TRUE(SUCCEEDED(control->Run())) << "cycle " << cycle;
    Sleep(5 + (cycle % 4) * 5);
    if (cycle % 5 == 1) {
      LONGLONG position = (cycle % 3) * 10000000LL;
      ASSERT_TRUE(SUCCEEDED(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning,
                                                  nullptr, AM_SEEKING_NoPositioning)))
          << "cycle " << cycle;
    }
    if (cycle % 7 == 3) {
      ASSERT_TRUE(SUCCEEDED(control->Pause())) << "cycle " << cycle;
    }
    ASSERT_EQ(control->Stop(), S_OK) << "cycle " << cycle;
    if (cycle % 2 == 0) {
      LONGLONG start = 0;
      seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                            AM_SEEKING_NoPositioning);
    }
  }
  EXPECT_GT(collected->Buffers(), 0) << "nothing streamed during the cycles";

  LONGLONG start = 0;
  ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                  AM_SEEKING_NoPositioning),
            S_OK);
  collected->Take();
  Unclocked();
  RunToCompletion();
  ExpectEveryByte(file);
}

}  // namespace
}  // namespace brevin::test
