// Any bytes as a cached envelope. Reading never fails hard, and whatever is taken for a hit is
// exactly what storing that envelope again writes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "envelope_cache.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "fuzz-envelope-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return std::filesystem::path(pattern);
  }();
  return folder;
}

std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const waveform::EnvelopeCache cache(Folder());
  const waveform::RecordingKey key{"/recordings/talk.wav", 1234, 5678};
  const std::filesystem::path file = cache.FileFor(key);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

  waveform::Envelope envelope;
  if (!cache.Load(key, envelope)) return 0;
  if (!cache.Store(key, envelope) || Contents(file) != bytes) std::abort();
  return 0;
}
