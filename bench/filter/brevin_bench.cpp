// Brevin's cost, as ratios against a floor measured in the same run:
//  - one long PCM recording streamed through Wine's filter graph (file source, wave parser, null
//    renderer, no clock) with the built Brevin module between parser and renderer, against the
//    same graph without it;
//  - the filter's per-sample transform on the system allocator's samples, against a bare memcpy
//    of the same sizes between the same buffers.
// Each figure is the best of several rounds, so a busy machine shows as noise, not as cost.
#include <windows.h>
#include <control.h>
#include <evcode.h>
#include <objbase.h>
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

constexpr int kGraphRounds = 11;
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

// Source, parser, optionally Brevin, and the null renderer, connected and without a clock.
class PlaybackGraph {
 public:
  PlaybackGraph(const WaveFile& file, const BrevinModule* brevin) {
    ok_ = Build(file, brevin);
  }
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

  bool Build(const WaveFile& file, const BrevinModule* brevin) {
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&graph_)))) {
      return false;
    }
    ComPtr<IBaseFilter> source, parser, renderer, filter;
    ComPtr<IFileSourceFilter> fileSource;
    if (!Add(CLSID_AsyncReader, L"source", source) || FAILED(source.As(&fileSource)) ||
        FAILED(fileSource->Load(file.Path().c_str(), nullptr)) ||
        !Add(brevin::test::CLSID_WaveParserFilter, L"parser", parser) ||
        !Link(source.Get(), parser.Get()) ||
        !Add(brevin::test::CLSID_NullRendererFilter, L"renderer", renderer)) {
      return false;
    }
    IBaseFilter* last = parser.Get();
    if (brevin) {
      if (FAILED(brevin->CreateFilter(filter)) ||
          FAILED(graph_->AddFilter(filter.Get(), L"Brevin")) || !Link(last, filter.Get())) {
        return false;
      }
      last = filter.Get();
    }
    if (!Link(last, renderer.Get())) return false;
    parserBuffers_ = Buffers(FirstPin(brevin ? filter.Get() : renderer.Get(), PINDIR_INPUT).Get());
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

void GraphRatio(const BrevinModule& module) {
  // Three minutes of CD-quality stereo.
  const WaveFile file(2, 44100, 16, 44100 * 180);
  if (!file.Written()) {
    std::printf("graph: cannot write the recording\n");
    return;
  }
  std::vector<double> bareTimes, brevinTimes;
  // Alternating rounds, so both graphs see the same machine; a new graph for every round, built
  // outside the timing, since a graph played once keeps its completion.
  for (int i = 0; i < kGraphRounds; ++i) {
    PlaybackGraph bare(file, nullptr);
    PlaybackGraph withBrevin(file, &module);
    const double a = Best(1, [&] { return bare.PlayThrough(); });
    const double b = Best(1, [&] { return withBrevin.PlayThrough(); });
    if (i == 0) {
      std::printf("parser's buffers: to the renderer %ld x %ld bytes, to Brevin %ld x %ld bytes\n",
                  bare.parserBuffers_.cBuffers, bare.parserBuffers_.cbBuffer,
                  withBrevin.parserBuffers_.cBuffers, withBrevin.parserBuffers_.cbBuffer);
    }
    if (a < 0 || b < 0) {
      std::printf("graph: a graph failed to build or play\n");
      return;
    }
    bareTimes.push_back(a);
    brevinTimes.push_back(b);
  }
  std::sort(bareTimes.begin(), bareTimes.end());
  std::sort(brevinTimes.begin(), brevinTimes.end());
  // The best rounds and the middle rounds: on a shared machine the two tell apart cost and noise.
  for (auto [label, index] : {std::pair{"best", size_t{0}}, std::pair{"median", bareTimes.size() / 2}}) {
    const double bare = bareTimes[index];
    const double brevin = brevinTimes[index];
    std::printf("graph %-6s %.1f MB: without Brevin %8.2f ms, with %8.2f ms, ratio %.3f\n", label,
                static_cast<double>(file.Audio().size()) / 1e6, bare * 1e3, brevin * 1e3,
                brevin / bare);
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

// One sample taken from and given back to the system's allocator, as the filter does for every
// sample it delivers: the part of a sample's way that is the platform's.
void AllocatorRoundTrip() {
  ComPtr<IMemAllocator> allocator;
  ALLOCATOR_PROPERTIES wanted{1, 88200, 1, 0};
  ALLOCATOR_PROPERTIES actual{};
  if (FAILED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&allocator))) ||
      FAILED(allocator->SetProperties(&wanted, &actual)) || FAILED(allocator->Commit())) {
    std::printf("allocator: not available\n");
    return;
  }
  constexpr int kRepeats = 20000;
  const double time = Best(kCopyRounds, [&] {
    for (int i = 0; i < kRepeats; ++i) {
      IMediaSample* sample = nullptr;
      if (FAILED(allocator->GetBuffer(&sample, nullptr, nullptr, 0))) return false;
      sample->Release();
    }
    return true;
  });
  allocator->Decommit();
  std::printf("allocator GetBuffer and release: %.3f us a sample\n", time / kRepeats * 1e6);
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
  // The sizes of a small sample, half a second of CD audio (the filter's own buffer)
  // and a large block.
  for (LONG size : {4096L, 88200L, 1048576L}) CopyRatio(size);
  AllocatorRoundTrip();
  CoUninitialize();
  return 0;
}
