// Brevin's cost, as ratios against floors measured in the same run:
//  - one long PCM recording streamed through Wine's filter graph (file source, wave parser, null
//    renderer, no clock) with the built Brevin module between parser and renderer, against the
//    same graph without it, and against the same graph with Wine's own pass-through filter (the
//    Sample Grabber, which hands each sample on in place) in Brevin's place;
//  - per sample: what the graph gains with Brevin, against one round trip through Wine's memory
//    allocator, which the filter pays for every sample it delivers (it takes each output buffer
//    from the downstream allocator); the graph without Brevin plus that round trip is the floor
//    for any filter that delivers its samples in buffers of its own;
//  - the filter's per-sample transform on the system allocator's samples, against a bare memcpy
//    of the same sizes between the same buffers.
// Each figure is the best of several rounds, so a busy machine shows as noise, not as cost.
#include <windows.h>
#include <control.h>
#include <evcode.h>
#include <objbase.h>
#include <qedit.h>
#include <strmif.h>
#include <uuids.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "brevin_filter.h"
#include "brevin_module.h"
#include "graph_pins.h"
#include "system_filters.h"
#include "wave_file.h"

using Microsoft::WRL::ComPtr;
using brevin::test::BrevinModule;
using brevin::test::FirstPin;
using brevin::test::WaveFile;

namespace {

constexpr int kGraphRounds = 15;
constexpr int kCopyRounds = 9;

double Seconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

// The shortest of `rounds` timings of `work`; a negative result when the work failed.
double Best(int rounds, const std::function<bool()>& work) {
  double best = std::numeric_limits<double>::max();
  for (int i = 0; i < rounds; ++i) {
    const double start = Seconds();
    if (!work()) return -1;
    best = std::min(best, Seconds() - start);
  }
  return best;
}

// Counts the samples that pass Wine's Sample Grabber. It outlives every graph it is given to.
class SampleCounter : public ISampleGrabberCB {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISampleGrabberCB)) {
      *object = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample* sample) override {
    ++samples;
    bytes += sample->GetActualDataLength();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE*, long) override { return E_NOTIMPL; }

  // Written on the streaming thread, read after the graph has stopped.
  long samples = 0;
  long long bytes = 0;
};

// What sits between the parser and the null renderer.
struct Middle {
  const BrevinModule* brevin = nullptr;  // the built module's filter
  SampleCounter* grabbing = nullptr;     // Wine's Sample Grabber, counting into this
};

// Source, parser, what `middle` names, and the null renderer, connected and without a clock.
class PlaybackGraph {
 public:
  PlaybackGraph(const WaveFile& file, Middle middle) { ok_ = Build(file, middle); }
  ~PlaybackGraph() {
    if (control_) control_->Stop();
  }

  // Plays the whole file once, as fast as the filters go.
  bool PlayThrough() {
    if (!ok_ || FAILED(control_->Run())) return false;
    LONG code = 0;
    const bool completed = events_->WaitForCompletion(60000, &code) == S_OK && code == EC_COMPLETE;
    return SUCCEEDED(control_->Stop()) && completed;
  }

 private:
  bool Add(const CLSID& classId, const wchar_t* name, ComPtr<IBaseFilter>& filter) {
    return SUCCEEDED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&filter))) &&
           SUCCEEDED(graph_->AddFilter(filter.Get(), name));
  }
  bool Link(IBaseFilter* from, IBaseFilter* to) {
    ComPtr<IPin> out = FirstPin(from, PINDIR_OUTPUT);
    ComPtr<IPin> in = FirstPin(to, PINDIR_INPUT);
    return out && in && SUCCEEDED(graph_->ConnectDirect(out.Get(), in.Get(), nullptr));
  }
  bool AddMiddle(Middle middle, ComPtr<IBaseFilter>& filter) {
    if (middle.brevin) {
      return SUCCEEDED(middle.brevin->CreateFilter(filter)) &&
             SUCCEEDED(graph_->AddFilter(filter.Get(), L"Brevin"));
    }
    ComPtr<ISampleGrabber> grabber;
    return Add(brevin::test::CLSID_SampleGrabberFilter, L"grabber", filter) &&
           SUCCEEDED(filter.As(&grabber)) && SUCCEEDED(grabber->SetBufferSamples(FALSE)) &&
           SUCCEEDED(grabber->SetCallback(middle.grabbing, 0));
  }

  bool Build(const WaveFile& file, Middle middle) {
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&graph_)))) {
      return false;
    }
    ComPtr<IBaseFilter> source, parser, renderer, between;
    ComPtr<IFileSourceFilter> fileSource;
    if (!Add(CLSID_AsyncReader, L"source", source) || FAILED(source.As(&fileSource)) ||
        FAILED(fileSource->Load(file.Path().c_str(), nullptr)) ||
        !Add(brevin::test::CLSID_WaveParserFilter, L"parser", parser) ||
        !Link(source.Get(), parser.Get()) ||
        !Add(brevin::test::CLSID_NullRendererFilter, L"renderer", renderer)) {
      return false;
    }
    IBaseFilter* last = parser.Get();
    if (middle.brevin || middle.grabbing) {
      if (!AddMiddle(middle, between) || !Link(last, between.Get())) return false;
      last = between.Get();
    }
    if (!Link(last, renderer.Get())) return false;
    parserBuffers_ = Buffers(FirstPin(between ? between.Get() : renderer.Get(), PINDIR_INPUT).Get());
    ComPtr<IMediaFilter> timing;
    return SUCCEEDED(graph_.As(&timing)) && SUCCEEDED(timing->SetSyncSource(nullptr)) &&
           SUCCEEDED(graph_.As(&control_)) &&
           SUCCEEDED(graph_->QueryInterface(IID_IMediaEvent,
                                            reinterpret_cast<void**>(events_.GetAddressOf())));
  }

  // The buffers the connection into `input` streams in: count x size.
  static ALLOCATOR_PROPERTIES Buffers(IPin* input) {
    ALLOCATOR_PROPERTIES properties{};
    ComPtr<IMemInputPin> memory;
    ComPtr<IMemAllocator> allocator;
    if (input && SUCCEEDED(input->QueryInterface(IID_PPV_ARGS(&memory))) &&
        SUCCEEDED(memory->GetAllocator(&allocator))) {
      allocator->GetProperties(&properties);
    }
    return properties;
  }

 public:
  // What the parser's samples are carried in.
  ALLOCATOR_PROPERTIES parserBuffers_{};

 private:
  bool ok_ = false;
  ComPtr<IGraphBuilder> graph_;
  ComPtr<IMediaControl> control_;
  ComPtr<IMediaEvent> events_;
};

// The system's memory allocator with one buffer of the size Brevin asks for (half a second of
// the recording), committed.
class SystemAllocator {
 public:
  explicit SystemAllocator(LONG bufferSize) {
    ALLOCATOR_PROPERTIES wanted{1, bufferSize, 1, 0};
    ALLOCATOR_PROPERTIES actual{};
    ok_ = SUCCEEDED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&allocator_))) &&
          SUCCEEDED(allocator_->SetProperties(&wanted, &actual)) &&
          SUCCEEDED(allocator_->Commit());
  }
  ~SystemAllocator() {
    if (ok_) allocator_->Decommit();
  }

  // `count` samples taken and given back, as the filter does for every sample it delivers.
  bool RoundTrips(long count) {
    for (long i = 0; ok_ && i < count; ++i) {
      IMediaSample* sample = nullptr;
      if (FAILED(allocator_->GetBuffer(&sample, nullptr, nullptr, 0))) return false;
      sample->Release();
    }
    return ok_;
  }

 private:
  bool ok_ = false;
  ComPtr<IMemAllocator> allocator_;
};

struct Timings {
  std::vector<double> bare, brevin, grabber, allocator;
  void Sort() {
    for (auto* times : {&bare, &brevin, &grabber, &allocator}) {
      std::sort(times->begin(), times->end());
    }
  }
};

void GraphRatio(const BrevinModule& module) {
  // Three minutes of CD-quality stereo.
  const WaveFile file(2, 44100, 16, 44100 * 180);
  if (!file.Written()) {
    std::printf("graph: cannot write the recording\n");
    return;
  }
  SampleCounter counter;
  SystemAllocator allocator(44100 * 4 / 2);
  Timings t;
  long samples = 0;
  // Alternating rounds, so every graph sees the same machine; new graphs for every round, built
  // outside the timing, since a graph played once keeps its completion.
  for (int i = 0; i < kGraphRounds; ++i) {
    PlaybackGraph grabber(file, Middle{nullptr, &counter});
    PlaybackGraph bare(file, Middle{});
    PlaybackGraph withBrevin(file, Middle{&module, nullptr});
    counter.samples = 0;
    counter.bytes = 0;
    const double g = Best(1, [&] { return grabber.PlayThrough(); });
    samples = counter.samples;
    const double a = Best(1, [&] { return bare.PlayThrough(); });
    const double b = Best(1, [&] { return withBrevin.PlayThrough(); });
    const double r = Best(1, [&] { return allocator.RoundTrips(samples); });
    if (i == 0) {
      std::printf("parser's buffers: to the renderer %ld x %ld bytes, to Brevin %ld x %ld bytes; "
                  "%ld samples a run, %lld bytes each\n",
                  bare.parserBuffers_.cBuffers, bare.parserBuffers_.cbBuffer,
                  withBrevin.parserBuffers_.cBuffers, withBrevin.parserBuffers_.cbBuffer, samples,
                  samples ? counter.bytes / samples : 0);
    }
    if (a < 0 || b < 0 || g < 0 || r < 0 || samples == 0) {
      std::printf("graph: a graph failed to build or play\n");
      return;
    }
    t.bare.push_back(a);
    t.brevin.push_back(b);
    t.grabber.push_back(g);
    t.allocator.push_back(r);
  }
  t.Sort();
  const double megabytes = static_cast<double>(file.Audio().size()) / 1e6;
  const double perSample = 1e6 / static_cast<double>(samples);
  // The best rounds and the middle rounds: on a shared machine the two tell apart cost and noise.
  for (auto [label, index] : {std::pair{"best", size_t{0}}, std::pair{"median", t.bare.size() / 2}}) {
    const double bare = t.bare[index];
    const double brevin = t.brevin[index];
    const double grabber = t.grabber[index];
    const double floor = bare + t.allocator[index];
    std::printf("graph %-6s %.1f MB: without Brevin %8.2f ms, with %8.2f ms, ratio %.3f; "
                "Wine's Sample Grabber instead %8.2f ms, ratio %.3f\n",
                label, megabytes, bare * 1e3, brevin * 1e3, brevin / bare, grabber * 1e3,
                grabber / bare);
    std::printf("  a sample: without Brevin %.1f us, with %.1f us, Brevin adds %.1f us; "
                "Wine's allocator round trip alone %.1f us\n",
                bare * perSample, brevin * perSample, (brevin - bare) * perSample,
                t.allocator[index] * perSample);
    std::printf("  floor, the graph without Brevin plus that round trip a sample: ratio %.3f; "
                "Brevin against the floor %.3f\n",
                floor / bare, brevin / floor);
  }
}

void CopyRatio(LONG size) {
  ComPtr<IMemAllocator> allocator;
  ALLOCATOR_PROPERTIES wanted{2, size, 1, 0};
  ALLOCATOR_PROPERTIES actual{};
  ComPtr<IMediaSample> input, output;
  if (FAILED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&allocator))) ||
      FAILED(allocator->SetProperties(&wanted, &actual)) || FAILED(allocator->Commit()) ||
      FAILED(allocator->GetBuffer(&input, nullptr, nullptr, 0)) ||
      FAILED(allocator->GetBuffer(&output, nullptr, nullptr, 0))) {
    std::printf("copy: no samples from the system allocator\n");
    return;
  }
  BYTE* from = nullptr;
  BYTE* to = nullptr;
  input->GetPointer(&from);
  output->GetPointer(&to);
  for (LONG i = 0; i < size; ++i) from[i] = static_cast<BYTE>(i * 31);
  input->SetActualDataLength(size);
  REFERENCE_TIME start = 0, stop = 10000000;
  input->SetTime(&start, &stop);
  input->SetSyncPoint(TRUE);

  HRESULT created = S_OK;
  auto* filter = new brevin::BrevinFilter(nullptr, &created);
  filter->InnerAddRef();
  // Enough repetitions for a few milliseconds of copying per round.
  const int repeats = std::max(16, static_cast<int>(64 * 1024 * 1024 / size));
  const double transform = Best(kCopyRounds, [&] {
    for (int i = 0; i < repeats; ++i) {
      if (filter->TransformSample(input.Get(), output.Get()) != S_OK) return false;
    }
    return true;
  });
  const double copy = Best(kCopyRounds, [&] {
    for (int i = 0; i < repeats; ++i) {
      std::memcpy(to, from, static_cast<size_t>(size));
      // Keeps the compiler from folding the repeated copies into one.
      asm volatile("" : : "r"(to) : "memory");
    }
    return true;
  });
  filter->InnerRelease();
  input.Reset();
  output.Reset();
  allocator->Decommit();
  if (transform < 0) {
    std::printf("copy: the transform failed\n");
    return;
  }
  std::printf("copy %8ld bytes: memcpy %8.3f us, transform %8.3f us, ratio %.3f\n", size,
              copy / repeats * 1e6, transform / repeats * 1e6, transform / copy);
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  {
    const BrevinModule module;
    if (!module.Loaded()) {
      std::printf("cannot load %s\n", BREVIN_MODULE_PATH);
      return 1;
    }
    GraphRatio(module);
  }
  // The sizes of the wave parser's samples of CD audio (40 ms), half a second of it (the
  // filter's own buffer) and a large block.
  for (LONG size : {7056L, 88200L, 1048576L}) CopyRatio(size);
  CoUninitialize();
  return 0;
}
