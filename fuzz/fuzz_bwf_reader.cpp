// Any bytes scanned as a .wav file, then read as broadcast wave whatever the scan found, under a
// fuzzed frame-rate caption.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "bwf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string caption = input.ConsumeRandomLengthString(12);
  const std::vector<std::uint8_t> bytes = input.ConsumeRemainingBytes<std::uint8_t>();
  const timecode::MemoryBytes source(bytes);
  const timecode::ChunkScan scan = timecode::ScanChunks("a.wav", source);
  const timecode::BwfTimeCode bwf = timecode::ReadBWFTimeCode(source, scan, caption);
  if (bwf.samplerate.empty() || bwf.stc.empty() || bwf.tcSource != 3) std::abort();
  return 0;
}
