#include "chunk_scanner.h"

#include <gtest/gtest.h>

#include "support/media_files.h"

namespace timecode {
namespace {

using testing::BextData;
using testing::Bytes;
using testing::FmtData;
using testing::RiffFile;
using testing::TempDir;

Bytes CanonicalBroadcastWave() {
  RiffFile riff;
  riff.Chunk("bext", BextData("Scene 1", 0));
  riff.Chunk("fmt ", FmtData(48000));
  riff.Chunk("data", Bytes(1000, 0x55));
  return riff.Build();
}

TEST(ChunkScanner, CanonicalBroadcastWaveListsEveryChunkAndTheLengthLines) {
  TempDir dir;
  const ChunkScan scan = ScanChunks(dir.Write("take.wav", CanonicalBroadcastWave()));
  EXPECT_EQ(scan.mediaExt, "wav");
  EXPECT_FALSE(scan.noBext);
  EXPECT_EQ(scan.bextChunk, 1);
  EXPECT_EQ(scan.fmtChunk, 2);
  EXPECT_EQ(scan.dataChunk, 3);
  EXPECT_EQ(scan.chunkCount, 4);
  EXPECT_EQ(scan.chunkTable[2].id, "fmt ");
  EXPECT_EQ(scan.chunkTable[2].size, 16u);
  EXPECT_EQ(scan.chunkTable[2].pos, 622u);
  EXPECT_EQ(scan.debugText,
            " 1 )bext -  602 -  12\n"
            " 2 )fmt  -  16 -  622\n"
            " 3 )data -  1000 -  646\n"
            "Chunk Count= 4\n"
            "FileLength= 1654\n"
            "LastData= 1654\n"
            "Difference= 0\n");
}

TEST(ChunkScanner, OtherChunksAreListedAndOddSizesSkipTheirPadByte) {
  RiffFile riff;
  riff.Chunk("fmt ", FmtData(44100));
  riff.Chunk("fact", Bytes(4, 1));
  riff.Chunk("cue ", Bytes(3, 2));    // odd: padded to 4
  riff.Chunk("iXML", Bytes(7, '<'));  // odd: padded to 8
  riff.Chunk("data", Bytes(10, 0));
  Bytes bytes = riff.Build();
  bytes.resize(bytes.size() + 6, 0xEE);  // trailing bytes outside the form
  TempDir dir;
  const ChunkScan scan = ScanChunks(dir.Write("take.WAV", bytes));
  EXPECT_TRUE(scan.noBext);
  EXPECT_EQ(scan.bextChunk, 0);
  EXPECT_EQ(scan.dataChunk, 5);
  EXPECT_EQ(scan.debugText,
            " 1 )fmt  -  16 -  12\n"
            " 2 )fact -  4 -  36\n"
            " 3 )cue  -  3 -  48\n"
            " 4 )iXML -  7 -  60\n"
            " 5 )data -  10 -  76\n"
            "Chunk Count= 6\n"
            "FileLength= 100\n"
            "LastData= 94\n"
            "Difference= 6\n");
}

TEST(ChunkScanner, ExtensionsDecideTheWalkAndTheLengthLinesWithExactLetterCase) {
  TempDir dir;
  const Bytes bwf = CanonicalBroadcastWave();
  for (const char* name : {"a.MP3", "a.mp3", "a.Mp3", "a.avi", "a.wma", "a.WMA"}) {
    const ChunkScan scan = ScanChunks(dir.Write(name, bwf));
    EXPECT_TRUE(scan.noBext) << name;
    EXPECT_EQ(scan.chunkCount, 1) << name;
    EXPECT_EQ(scan.debugText, "Chunk Count= 1\n") << name;
  }
  for (const char* name : {"a.AVI", "a.mP3", "a.BWF", "a.Wav", "a.bin"}) {
    const ChunkScan scan = ScanChunks(dir.Write(name, bwf));
    EXPECT_FALSE(scan.noBext) << name;
    EXPECT_EQ(scan.chunkCount, 4) << name;
    EXPECT_EQ(scan.debugText.find("FileLength="), std::string::npos) << name;
  }
  EXPECT_EQ(ScanChunks(dir.Write("x.BWF", bwf)).mediaExt, "BWF");
}

TEST(ChunkScanner, FlacWalksFromByte50WithinTheFirst6222Bytes) {
  Bytes bytes(50, 0);
  testing::PutText(bytes, 0, "fLaC");  // bytes 4..7 zero: a RIFF walk would see no form
  const auto chunk = [&](std::string_view id, std::uint32_t size) {
    const std::size_t pos = bytes.size();
    testing::PutText(bytes, pos, id);
    testing::PutLE32(bytes, pos + 4, size);
    bytes.resize(pos + 8 + size + size % 2, 0x20);
  };
  chunk("blk1", 6100);  // next header at 6158
  chunk("bext", 1);     // next at 6168
  chunk("blk3", 100);   // next at 6276, past the limit
  chunk("blk4", 4);     // never read
  TempDir dir;
  const ChunkScan scan = ScanChunks(dir.Write("song.flac", bytes));
  EXPECT_EQ(scan.mediaExt, "lac");
  EXPECT_EQ(scan.chunkCount, 4);
  EXPECT_EQ(scan.bextChunk, 2);
  EXPECT_EQ(scan.chunkTable[3].pos, 6168u);
  EXPECT_EQ(ScanChunks(dir.Write("SONG.FLAC", bytes)).chunkCount, 4);
  EXPECT_EQ(ScanChunks(dir.Write("song.FlAC", bytes)).chunkCount, 1);  // "lac" or "LAC" only
}

TEST(ChunkScanner, EmptyChunkEndsTheWalkAndIsKeptUnlisted) {
  RiffFile riff;
  riff.Chunk("fmt ", FmtData(44100));
  riff.Chunk("data", Bytes());
  riff.Chunk("bext", BextData("late", 0));
  TempDir dir;
  const ChunkScan scan = ScanChunks(dir.Write("z.wav", riff.Build()));
  EXPECT_TRUE(scan.noBext);  // the chunk after the empty one is not seen
  EXPECT_EQ(scan.chunkCount, 2);
  EXPECT_EQ(scan.dataChunk, 2);
  EXPECT_EQ(scan.chunkTable[2].pos, 36u);
  EXPECT_EQ(scan.debugText,
            " 1 )fmt  -  16 -  12\nChunk Count= 2\nFileLength= 654\nLastData= 44\n"
            "Difference= 610\n");
}

TEST(ChunkScanner, WavWithoutDataUsesTheUnusedEntry) {
  RiffFile riff;
  riff.Chunk("fmt ", FmtData(44100));
  TempDir dir;
  const ChunkScan scan = ScanChunks(dir.Write("n.wav", riff.Build()));
  EXPECT_EQ(scan.debugText,
            " 1 )fmt  -  16 -  12\nChunk Count= 2\nFileLength= 36\nLastData= 12\n"
            "Difference= 24\n");
}

TEST(ChunkScanner, StopsAfterTwentyChunksKeepingThem) {
  RiffFile riff;
  for (int i = 0; i < 25; ++i) riff.Chunk(i == 22 ? "bext" : "junk", Bytes(2, 0));
  TempDir dir;
  const ChunkScan scan = ScanChunks(dir.Write("many.wav", riff.Build()));
  EXPECT_EQ(scan.chunkCount, 21);
  EXPECT_TRUE(scan.noBext);
  EXPECT_EQ(scan.chunkTable[20].pos, 12u + 19 * 10);
  EXPECT_NE(scan.debugText.find("20 )junk -  2 -  202\nChunk Count= 21\n"), std::string::npos);
}

TEST(ChunkScanner, RecordingLongerThanFourGiBIsScannedFromItsHeaders) {
  TempDir dir;
  const auto path = dir.Write("long.wav", CanonicalBroadcastWave());
  const std::uint64_t length = (std::uint64_t{9} << 29);  // 4.5 GiB, sparse
  std::filesystem::resize_file(path, length);
  const ChunkScan scan = ScanChunks(path);
  EXPECT_EQ(scan.chunkCount, 4);
  EXPECT_EQ(scan.fileLength, length);
  EXPECT_NE(scan.debugText.find("FileLength= 4831838208\nLastData= 1654\nDifference= 4831836554\n"),
            std::string::npos);
}

TEST(ChunkScanner, DamagedFilesEndTheWalkQuietly) {
  TempDir dir;
  // A form size far beyond the file and a chunk size that jumps past its end: zeros end it.
  RiffFile riff;
  riff.ChunkWithSize("bext", 0xFFFFFFF0u, Bytes(20, 0));
  Bytes huge = riff.Build();
  testing::PutLE32(huge, 4, 0xFFFFFFFFu);
  const ChunkScan jump = ScanChunks(dir.Write("huge.wav", huge));
  EXPECT_EQ(jump.chunkCount, 2);
  EXPECT_FALSE(jump.noBext);
  EXPECT_EQ(jump.debugText.substr(0, 30), " 1 )bext -  4294967280 -  12\nC");

  // Truncated inside a header, plain text, an empty file and a missing one.
  Bytes truncated = CanonicalBroadcastWave();
  truncated.resize(16);
  const ChunkScan cut = ScanChunks(dir.Write("cut.wav", truncated));
  EXPECT_EQ(cut.chunkCount, 1);  // the missing size reads as 0
  EXPECT_EQ(cut.bextChunk, 1);
  Bytes text;
  testing::PutText(text, 0, "Just a note, not a recording at all.");
  EXPECT_EQ(ScanChunks(dir.Write("note.wav", text)).chunkCount, 2);  // one "chunk", then zeros
  EXPECT_EQ(ScanChunks(dir.Write("empty.wav", {})).debugText,
            "Chunk Count= 1\nFileLength= 0\nLastData= 12\nDifference=-12\n");
  EXPECT_EQ(ScanChunks(dir.path() / "missing.wav").chunkCount, 1);
  EXPECT_EQ(ScanChunks(dir.path()).chunkCount, 1);  // a folder
}

}  // namespace
}  // namespace timecode
