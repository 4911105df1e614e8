// Any bytes under any of the extensions the scan tells apart.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

#include "chunk_scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const char* names[] = {"a.wav", "a.WAV", "a.BWF", "a.flac", "a.FLAC", "a.mp3", "a.AVI", "a"};
  const char* name = names[input.ConsumeIntegralInRange<std::size_t>(0, std::size(names) - 1)];
  const std::vector<std::uint8_t> bytes = input.ConsumeRemainingBytes<std::uint8_t>();
  const timecode::MemoryBytes source(bytes);
  const timecode::ChunkScan scan = timecode::ScanChunks(name, source);
  if (scan.chunkCount < 1 || scan.chunkCount > timecode::kMaxChunks + 1) std::abort();
  if (scan.noBext != (scan.bextChunk == 0)) std::abort();
  return 0;
}
