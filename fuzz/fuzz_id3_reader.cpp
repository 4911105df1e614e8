// Any bytes as an MP3 file's tag area, with fuzzed captions and modified time.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "id3_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string stc = input.ConsumeRandomLengthString(12);
  const std::string framerate = input.ConsumeRandomLengthString(12);
  const std::string fdt = input.ConsumeBool() ? std::string() : "2026-12-07";
  std::optional<timecode::LocalDateTime> modified;
  if (input.ConsumeBool()) modified = timecode::LocalDateTime{2026, 12, 7, 10, 30, 0};
  const std::vector<std::uint8_t> bytes = input.ConsumeRemainingBytes<std::uint8_t>();
  const timecode::MemoryBytes source(bytes);
  const timecode::Id3TimeCode id3 = timecode::ReadID3TimeCode(source, {stc, framerate, fdt}, modified);
  if (id3.id3StartTC && !id3.tcOffset) std::abort();
  if (bytes.size() >= timecode::kTagAreaSize && id3.tagText.size() != timecode::kTagAreaSize) {
    std::abort();
  }
  return 0;
}
