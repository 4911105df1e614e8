// Makes the demo recording: takes a spoken WAV file and writes it again as a broadcast-wave
// file whose "bext" chunk starts the time code at 10:00:00:00 and names the frame rate.
//
//   make_demo_recording SPOKEN.wav DEMO.wav

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

#include "byte_source.h"
#include "chunk_scanner.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint64_t kStartSeconds = 10 * 3600;  // 10:00:00:00
constexpr std::string_view kDescription = "FRAMERATE=25.000 ND\r\nQuillmark demo recording\r\n";
constexpr std::size_t kBextSize = 602;  // the fixed part of a "bext" chunk, no coding history

void PutLE32(Bytes& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutText(Bytes& out, std::size_t at, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) out[at + i] = static_cast<std::uint8_t>(text[i]);
}

void AppendChunk(Bytes& out, std::string_view id, const Bytes& data) {
  const std::size_t at = out.size();
  out.resize(at + 8);
  PutText(out, at, id);
  PutLE32(out, at + 4, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2) out.push_back(0);
}

Bytes ReadChunkData(const timecode::FileBytes& file, const timecode::ChunkEntry& chunk) {
  Bytes data(chunk.size);
  file.ReadAt(chunk.pos + 8, data);
  return data;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_demo_recording SPOKEN.wav DEMO.wav\n");
    return 2;
  }
  const timecode::FileBytes spoken(argv[1]);
  const timecode::ChunkScan scan = timecode::ScanChunks(argv[1], spoken);
  if (!spoken.IsOpen() || scan.fmtChunk == 0 || scan.dataChunk == 0) {
    std::fprintf(stderr, "make_demo_recording: %s is not a readable WAV file\n", argv[1]);
    return 1;
  }
  const Bytes fmt = ReadChunkData(spoken, scan.chunkTable[scan.fmtChunk]);
  const Bytes data = ReadChunkData(spoken, scan.chunkTable[scan.dataChunk]);
  if (fmt.size() < 16) {
    std::fprintf(stderr, "make_demo_recording: %s has no usable format chunk\n", argv[1]);
    return 1;
  }
  const std::uint32_t sampleRate = fmt[4] | fmt[5] << 8 | fmt[6] << 16 | std::uint32_t{fmt[7]} << 24;
  const std::uint64_t timeReference = kStartSeconds * sampleRate;

  Bytes bext(kBextSize, 0);
  PutText(bext, 0, kDescription);
  PutText(bext, 256, "Quillmark");
  PutText(bext, 320, "2026-12-07");
  PutText(bext, 330, "10:00:00");
  PutLE32(bext, 338, static_cast<std::uint32_t>(timeReference));
  PutLE32(bext, 342, static_cast<std::uint32_t>(timeReference >> 32));
  bext[346] = 1;  // version

  Bytes out(12, 0);
  PutText(out, 0, "RIFF");
  PutText(out, 8, "WAVE");
  AppendChunk(out, "bext", bext);
  AppendChunk(out, "fmt ", fmt);
  AppendChunk(out, "data", data);
  PutLE32(out, 4, static_cast<std::uint32_t>(out.size() - 8));

  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) {
    std::fprintf(stderr, "make_demo_recording: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
