#pragma once
// The chunk scan run when a recording is opened: walks the top-level chunks of the file as RIFF
// and lists them, so the broadcast-wave reader can go straight to the "bext" and "fmt " chunks.
//
// Use from the window (opening a file):
//   const timecode::ChunkScan scan = timecode::ScanChunks(path);
//   MediaExt = scan.mediaExt;  NoBext = scan.noBext;
//   Dbugtxt text = scan.debugText            (the box is cleared and gets exactly this text)
//   if (!scan.noBext) run ReadBWFTimeCode(path, scan, Framerate caption)   (bwf_reader.h)
//
// The walk reads only the form size at bytes 4..7 and the 8-byte chunk headers, never the
// audio data. It ends at a chunk of size 0, at the form size limit, past the end of the file
// (zeros read there give size 0) or after 20 chunks, so any bytes give a bounded walk.
//
// Texts are file characters, one byte each (reader_text.h): show them as Latin-1.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "byte_source.h"

namespace timecode {

inline constexpr int kMaxChunks = 20;  // entries 1..20 of the chunk table

struct ChunkEntry {
  std::string id;          // the four identifier characters (a zero byte shown as a blank)
  std::uint32_t size = 4;  // chunk data size; an unused entry holds 4
  std::uint64_t pos = 0;   // byte offset of the chunk header; an unused entry holds 0
};

struct ChunkScan {
  // The last three characters of the path, letter case as typed ("wav", "WAV", "lac").
  std::string mediaExt;
  // True until a "bext" chunk is met. The window runs the broadcast-wave reader only when false.
  bool noBext = true;
  // Entries 1..20 hold the chunks in file order; entry 0 and unused entries hold {"", 4, 0}.
  // The walk also records the empty chunk it stopped on (size 0), so an index refers to it.
  std::array<ChunkEntry, kMaxChunks + 1> chunkTable{};
  // Index in chunkTable of the last "bext", "fmt " and "data" chunk met; 0 when none was met.
  int bextChunk = 0;
  int fmtChunk = 0;
  int dataChunk = 0;
  // The chunk number at which the walk stopped: one more than the number of chunks listed.
  int chunkCount = 0;
  // Length of the file in bytes.
  std::uint64_t fileLength = 0;
  // The whole new content of Dbugtxt: one line per chunk ("n )id - size - pos"), "Chunk Count= n",
  // and for "WAV"/"wav" the "FileLength=", "LastData=", "Difference=" lines; each line ends with
  // kDebugLineBreak.
  std::string debugText;
};

// Scans the file at `path`. A file that cannot be opened scans like an empty file.
ChunkScan ScanChunks(const std::filesystem::path& path);

// The same over bytes already open; `pathText` gives MediaExt.
ChunkScan ScanChunks(std::string_view pathText, const ByteSource& bytes);

// Whether the extension is one whose files are never walked ("mp3", "Mp3", "MP3", "wma", "WMA",
// "avi"; letter case counts, so "AVI" and "mP3" are walked).
bool SkipsChunkWalk(std::string_view mediaExt);

}  // namespace timecode
