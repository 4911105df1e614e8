// The readers run when a recording is opened (chunk scan, broadcast-wave time code) and when it
// starts playing (time of day), on a sparse 4 GiB broadcast-wave file, against a bare stat of the
// same file measured in the same run. The "x_stat" counter is the cost of the readers in stats.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bwf_reader.h"
#include "chunk_scanner.h"
#include "time_of_day.h"

namespace {

constexpr std::uint64_t kFileSize = 4ULL << 30;

void PutLE32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void PutText(std::vector<std::uint8_t>& b, std::size_t at, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) b[at + i] = static_cast<std::uint8_t>(text[i]);
}

// A 4 GiB broadcast-wave file whose audio is a hole: only the headers are written.
class SparseRecording {
 public:
  SparseRecording() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    path_ = dir_ / "long take.wav";
    std::vector<std::uint8_t> head(12 + 8 + 602 + 8 + 16 + 8, 0);
    PutText(head, 0, "RIFF");
    PutLE32(head, 4, 0xFFFFFFF8u);
    PutText(head, 8, "WAVE");
    PutText(head, 12, "bext");
    PutLE32(head, 16, 602);
    PutText(head, 20, "FRAMERATE=25.000 ND\r\nUBITS=$01020304\r\n");
    PutText(head, 340, "2026-12-07");
    PutText(head, 350, "10:30:15");
    PutLE32(head, 358, 172800000);
    PutText(head, 622, "fmt ");
    PutLE32(head, 626, 16);
    PutLE32(head, 630, 0x00020001);
    PutLE32(head, 634, 48000);
    PutText(head, 646, "data");
    PutLE32(head, 650, static_cast<std::uint32_t>(0xFFFFFFF8u - (head.size() - 8) + 8));
    const int fd = ::open(path_.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0 || ::write(fd, head.data(), head.size()) != static_cast<ssize_t>(head.size()) ||
        ::ftruncate(fd, static_cast<off_t>(kFileSize)) != 0) {
      std::abort();
    }
    ::close(fd);
  }
  ~SparseRecording() { std::filesystem::remove_all(dir_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::filesystem::path path_;
};

const SparseRecording& Recording() {
  static const SparseRecording recording;
  return recording;
}

// Nanoseconds of one bare stat of the file: the floor.
double StatFloorNanoseconds() {
  constexpr int kRounds = 20000;
  struct stat info {};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) {
    ::stat(Recording().path().c_str(), &info);
    benchmark::DoNotOptimize(info);
  }
  const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / kRounds;
}

template <typename Body>
void AgainstStat(benchmark::State& state, Body body) {
  const double floor = StatFloorNanoseconds();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) body();
  const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
  const double perRun = spent.count() / static_cast<double>(state.iterations());
  state.counters["stat_ns"] = floor;
  state.counters["x_stat"] = perRun / floor;
}

void BM_Stat(benchmark::State& state) {
  struct stat info {};
  for (auto _ : state) {
    ::stat(Recording().path().c_str(), &info);
    benchmark::DoNotOptimize(info);
  }
}
BENCHMARK(BM_Stat);

// What opening the recording runs: the chunk scan and the broadcast-wave reader.
void BM_OpenSequenceReaders(benchmark::State& state) {
  AgainstStat(state, [] {
    const timecode::ChunkScan scan = timecode::ScanChunks(Recording().path());
    const timecode::BwfTimeCode bwf = timecode::ReadBWFTimeCode(Recording().path(), scan, "30.000 ND");
    benchmark::DoNotOptimize(bwf.tcOffset);
  });
}
BENCHMARK(BM_OpenSequenceReaders);

// The open sequence and the time-of-day reader of the first play.
void BM_OpenAndFirstPlayReaders(benchmark::State& state) {
  AgainstStat(state, [] {
    const timecode::ChunkScan scan = timecode::ScanChunks(Recording().path());
    const timecode::BwfTimeCode bwf = timecode::ReadBWFTimeCode(Recording().path(), scan, "30.000 ND");
    const timecode::TimeOfDayTimeCode tod =
        timecode::ReadTODTimeCode(Recording().path(), {bwf.stc, bwf.framerate, 0, 22369.6});
    benchmark::DoNotOptimize(tod.tod);
  });
}
BENCHMARK(BM_OpenAndFirstPlayReaders);

}  // namespace

BENCHMARK_MAIN();
