#include "chunk_scanner.h"

#include <array>

#include "number_text.h"
#include "reader_text.h"

namespace timecode {

namespace {

// A .flac file keeps RIFF-like metadata blocks from byte 50 within its first 6222 bytes.
constexpr std::uint64_t kFlacStart = 50;
constexpr std::uint64_t kFlacLimit = 6222;
constexpr std::uint64_t kFirstChunk = 12;

std::string_view LastCharacters(std::string_view text, std::size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

void AppendLine(std::string& text, std::string_view label, double value) {
  text += label;
  text += NumberText(value);
  text += kDebugLineBreak;
}

}  // namespace

bool SkipsChunkWalk(std::string_view ext) {
  for (const std::string_view skipped : {"mp3", "Mp3", "MP3", "wma", "WMA", "avi"}) {
    if (ext == skipped) return true;
  }
  return false;
}

ChunkScan ScanChunks(const std::filesystem::path& path) {
  const FileBytes bytes(path);
  return ScanChunks(path.native(), bytes);
}

ChunkScan ScanChunks(std::string_view pathText, const ByteSource& bytes) {
  ChunkScan scan;
  scan.mediaExt = std::string(LastCharacters(pathText, 3));
  scan.fileLength = bytes.Length();

  int n = 1;
  if (!SkipsChunkWalk(scan.mediaExt)) {
    std::uint64_t scanPos = kFirstChunk;
    std::uint64_t limit = 0;
    if (scan.mediaExt == "lac" || scan.mediaExt == "LAC") {
      scanPos = kFlacStart;
      limit = kFlacLimit;
    } else {
      std::array<std::uint8_t, 4> formSize{};
      bytes.ReadAt(4, formSize);
      limit = ReadLE32(formSize, 0);
    }

    while (scanPos + 8 < limit && n <= kMaxChunks) {
      std::array<std::uint8_t, 8> header{};
      bytes.ReadAt(scanPos, header);
      const std::string_view rawId(reinterpret_cast<const char*>(header.data()), 4);
      const std::uint32_t size = ReadLE32(header, 4);

      if (rawId == "bext") {
        scan.bextChunk = n;
        scan.noBext = false;
      } else if (rawId == "fmt ") {
        scan.fmtChunk = n;
      } else if (rawId == "data") {
        scan.dataChunk = n;
      }

      ChunkEntry& entry = scan.chunkTable[static_cast<std::size_t>(n)];
      entry = {BytesAsCharacters(std::span(header).first(4)), size, scanPos};
      if (size == 0) break;  // an empty chunk ends the walk; it is kept but not listed

      scan.debugText += NumberText(n) + " )" + entry.id + " - " + NumberText(size) + " - " +
                        NumberText(static_cast<double>(scanPos));
      scan.debugText += kDebugLineBreak;
      // Chunk data is padded to an even length.
      scanPos += 8 + static_cast<std::uint64_t>(size) + (size % 2);
      ++n;
    }
  }

  scan.chunkCount = n;
  AppendLine(scan.debugText, "Chunk Count=", n);

  if (scan.mediaExt == "WAV" || scan.mediaExt == "wav") {
    const ChunkEntry& data = scan.chunkTable[static_cast<std::size_t>(scan.dataChunk)];
    const double dataEnd = static_cast<double>(data.pos) + data.size + 8.0;
    const double fileLength = static_cast<double>(scan.fileLength);
    AppendLine(scan.debugText, "FileLength=", fileLength);
    AppendLine(scan.debugText, "LastData=", dataEnd);
    AppendLine(scan.debugText, "Difference=", fileLength - dataEnd);
  }
  return scan;
}

}  // namespace timecode
