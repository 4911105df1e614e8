// The position bar's costs, in processor time of the thread (a busy machine's waits for a
// processor do not count).
//
// Computing the envelope of a one-hour WAV and a one-hour MP3 against a bare libavformat/
// libavcodec decode loop of the same file, timed in the same iterations: "x_decode" is the
// envelope's time in bare decodes, "x_same_reads" in decodes that read the WAV in the same 64 KB
// packets as the envelope does.
//
// Drawing the bar 1600 pixels wide as each display tick does, zoomed out and zoomed in (where the
// view follows playback), against filling the same area once ("x_fill"), with the share of the
// 60 ms tick it takes ("tick_share").
//
// The recordings are made once and kept in the system's temporary folder
// (quillmark-bench-media): a WAV of an hour of speech-like noise, and sox's MP3 of it.

#include <benchmark/benchmark.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <time.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "envelope_decoder.h"
#include "waveform/made_signals.h"
#include "waveform_strip.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kSeconds = 3600;

fs::path MediaFolder() { return fs::temp_directory_path() / "quillmark-bench-media"; }

// An hour of noise whose loudness rises and falls like speech, with pauses.
void WriteHourWave(const fs::path& path) {
  const uint64_t frames = uint64_t{kRate} * kSeconds;
  const auto dataBytes = static_cast<uint32_t>(frames * kChannels * 2);
  const QByteArray head = made_signals::WaveHeader(kRate, kChannels, dataBytes);
  std::ofstream out(path, std::ios::binary);
  out.write(head.data(), static_cast<std::streamsize>(head.size()));
  uint32_t noise = 12345;
  std::vector<int16_t> second(kRate * kChannels);
  for (int s = 0; s < kSeconds; ++s) {
    for (int i = 0; i < kRate; ++i) {
      const double t = s + static_cast<double>(i) / kRate;
      const double syllables = std::max(0.0, std::sin(t * 2 * M_PI * 3.1));
      const double phrase = (s % 7 == 6) ? 0.0 : std::fabs(std::sin(t * 2 * M_PI * 0.23));
      noise = noise * 1664525u + 1013904223u;
      const double v = (static_cast<int32_t>(noise) / 2147483648.0) * syllables * phrase * 0.6;
      for (int c = 0; c < kChannels; ++c) second[i * kChannels + c] = static_cast<int16_t>(v * 32767);
    }
    out.write(reinterpret_cast<const char*>(second.data()),
              static_cast<std::streamsize>(second.size() * 2));
  }
}

const fs::path& HourFile(const std::string& extension) {
  static const fs::path wave = [] {
    fs::create_directories(MediaFolder());
    const fs::path path = MediaFolder() / "hour.wav";
    const uint64_t size = 44 + uint64_t{kRate} * kSeconds * kChannels * 2;
    std::error_code error;
    if (fs::file_size(path, error) != size) WriteHourWave(path);
    return path;
  }();
  static const fs::path mp3 = [] {
    const fs::path path = MediaFolder() / "hour.mp3";
    if (!fs::exists(path)) {
      const std::string command = "sox -q '" + wave.string() + "' -C 128 '" + path.string() + "'";
      if (std::system(command.c_str()) != 0) std::abort();
    }
    return path;
  }();
  return extension == "mp3" ? mp3 : wave;
}

// The floor: every packet of the best sound stream decoded, and nothing done with the samples;
// with `largeReads`, in the 64 KB packets the envelope asks the WAV reader for.
void BareDecode(const fs::path& file, bool largeReads = false) {
  AVFormatContext* format = nullptr;
  AVDictionary* options = nullptr;
  if (largeReads) av_dict_set(&options, "max_size", "65536", 0);
  const int opened = avformat_open_input(&format, file.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) std::abort();
  avformat_find_stream_info(format, nullptr);
  const AVCodec* codec = nullptr;
  const int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    if (static_cast<int>(i) != index) format->streams[i]->discard = AVDISCARD_ALL;
  }
  AVCodecContext* context = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(context, format->streams[index]->codecpar);
  avcodec_open2(context, codec, nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int64_t samples = 0;
  while (av_read_frame(format, packet) >= 0) {
    if (packet->stream_index == index) {
      avcodec_send_packet(context, packet);
      while (avcodec_receive_frame(context, frame) >= 0) {
        samples += frame->nb_samples;
        av_frame_unref(frame);
      }
    }
    av_packet_unref(packet);
  }
  benchmark::DoNotOptimize(samples);
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&context);
  avformat_close_input(&format);
}

// The processor time this thread spends on `work`: on a machine shared with other programs the
// waits for a processor do not count.
double CpuSecondsOf(const std::function<void()>& work) {
  const auto now = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
  };
  const double start = now();
  work();
  return now() - start;
}

void BM_EnvelopeOfAnHour(benchmark::State& state, const std::string& extension) {
  const fs::path& file = HourFile(extension);
  BareDecode(file);  // the file in the page cache
  double floor = 0, floorLargeReads = 0, envelope = 0;
  for (auto _ : state) {
    floor += CpuSecondsOf([&] { BareDecode(file); });
    floorLargeReads += CpuSecondsOf([&] { BareDecode(file, true); });
    const double spent = CpuSecondsOf([&] {
      waveform::EnvelopeWork work;
      if (waveform::ComputeEnvelope(file, work) != waveform::Outcome::Complete) std::abort();
      benchmark::DoNotOptimize(work.envelope.Size());
    });
    envelope += spent;
    state.SetIterationTime(spent);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["decode_s"] = floor / n;
  state.counters["envelope_s"] = envelope / n;
  state.counters["x_decode"] = envelope / floor;
  state.counters["x_same_reads"] = envelope / floorLargeReads;
}
BENCHMARK_CAPTURE(BM_EnvelopeOfAnHour, wav, std::string("wav"))
    ->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EnvelopeOfAnHour, mp3, std::string("mp3"))
    ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The envelope of the hour's WAV, computed once for the drawing benchmarks.
std::shared_ptr<const waveform::Envelope> HourEnvelope() {
  static const auto work = [] {
    auto w = std::make_shared<waveform::EnvelopeWork>();
    waveform::ComputeEnvelope(HourFile("wav"), *w);
    return w;
  }();
  return std::shared_ptr<const waveform::Envelope>(work, &work->envelope);
}

void BM_DrawBar1600(benchmark::State& state) {
  const bool zoomed = state.range(0) != 0;
  WaveformStrip strip;
  strip.resize(1600, 38);
  strip.SetEnvelope(HourEnvelope());
  WaveformStrip::Bookmarks marks{};
  for (int n = 0; n < WaveformStrip::kBookmarks; ++n) marks[n] = 200.0 + n * 280;
  QImage image(1600, 38, QImage::Format_RGB32);
  QPainter painter(&image);
  double position = 1800;
  strip.Tick(kSeconds, position, marks);
  if (zoomed) strip.Zoom(100);
  strip.Draw(painter);

  constexpr int kFloorRounds = 2000;
  const double fill = CpuSecondsOf([&] {
                        for (int i = 0; i < kFloorRounds; ++i) {
                          painter.fillRect(QRect(0, 0, 1600, 38), QColor(i & 0xff, 0, 0));
                        }
                      }) /
                      kFloorRounds;
  double drawn = 0;
  for (auto _ : state) {
    position += 0.06;
    drawn += CpuSecondsOf([&] {
      strip.Tick(kSeconds, position, marks);
      strip.Draw(painter);
    });
  }
  const double perDraw = drawn / static_cast<double>(state.iterations());
  state.counters["draw_us"] = perDraw * 1e6;
  state.counters["fill_us"] = fill * 1e6;
  state.counters["x_fill"] = perDraw / fill;
  state.counters["tick_share"] = perDraw / 0.060;
}
BENCHMARK(BM_DrawBar1600)->ArgName("zoomed")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
