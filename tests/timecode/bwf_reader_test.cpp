#include "bwf_reader.h"

#include <gtest/gtest.h>

#include "support/media_files.h"

namespace timecode {
namespace {

using testing::BextData;
using testing::Bytes;
using testing::FmtData;
using testing::RiffFile;
using testing::TempDir;

constexpr std::uint64_t kOneHourAt48k = 172800000;

// Writes a broadcast-wave file with the given "bext" data and reads it back.
BwfTimeCode ReadBwf(const Bytes& bext, std::string_view caption, std::uint32_t rate = 48000,
                    const Bytes& after = {}) {
  RiffFile riff;
  riff.Chunk("bext", bext);
  riff.Chunk("fmt ", FmtData(rate));
  riff.Chunk("data", after.empty() ? Bytes(64, 0) : after);
  TempDir dir;
  const auto path = dir.Write("take.wav", riff.Build());
  return ReadBWFTimeCode(path, ScanChunks(path), caption);
}

TEST(BwfReader, OneHourTimeReferenceGivesTheStartAndEveryLabel) {
  const BwfTimeCode bwf = ReadBwf(BextData("Scene 4 take 2   ", kOneHourAt48k), "25.000 ND");
  EXPECT_EQ(bwf.stc, "01:00:00:00");
  EXPECT_DOUBLE_EQ(bwf.tcOffset, 3600);
  EXPECT_DOUBLE_EQ(bwf.bwfStartTC, 3600);
  EXPECT_EQ(bwf.tcSource, 3);
  EXPECT_EQ(bwf.tcLabel, "BWF Time Code");
  EXPECT_EQ(bwf.samplerate, "48000");
  EXPECT_EQ(bwf.fdt, "2026-12-07 10:30");
  EXPECT_EQ(bwf.duration, "");
  EXPECT_EQ(bwf.framerate, "25.000 ND");
  EXPECT_FALSE(bwf.framerateFromFile);
  EXPECT_FALSE(bwf.ub);
  EXPECT_EQ(bwf.debugAppend,
            "\nScene 4 take 2--TC Stamp--\nRaw Samples= 172800000\nRaw Secs= 3600");
}

TEST(BwfReader, NonDropAt2997IsRateCorrectedButShownInNonDropCount) {
  const BwfTimeCode bwf = ReadBwf(BextData("", kOneHourAt48k), "29.970 ND");
  EXPECT_DOUBLE_EQ(bwf.tcOffset, 3596.4036);
  EXPECT_EQ(bwf.stc, "00:59:56:12");
  EXPECT_NE(bwf.debugAppend.find("Raw Secs= 3600"), std::string::npos);  // before correction
  // "FF" counts as non-drop here.
  EXPECT_DOUBLE_EQ(ReadBwf(BextData("", kOneHourAt48k), "29.97 FF").tcOffset, 3596.4036);
}

TEST(BwfReader, FrameRateKeysAndTheirCarriageReturnRules) {
  // FRAMERATE= cut at its carriage return: no mode code, so no correction.
  BwfTimeCode bwf = ReadBwf(BextData("FRAMERATE=29.97\r\nSPEED=025.000-ND\r", kOneHourAt48k),
                            "30.000 ND");
  EXPECT_EQ(bwf.framerate, "29.97");
  EXPECT_TRUE(bwf.framerateFromFile);
  EXPECT_DOUBLE_EQ(bwf.tcOffset, 3600);
  EXPECT_EQ(bwf.stc, "01:00:00:00");

  // SPEED= alone: the first character after "=" is skipped.
  bwf = ReadBwf(BextData("SPEED=029.970-ND\r", kOneHourAt48k), "30.000 ND");
  EXPECT_EQ(bwf.framerate, "29.970-ND");
  EXPECT_DOUBLE_EQ(bwf.tcOffset, 3596.4036);

  // FRAMERATE= with no carriage return in its ten characters: a later SPEED= replaces it.
  bwf = ReadBwf(BextData("FRAMERATE=25.000 ND; SPEED=029.970-DF\r", 0), "30.000 ND");
  EXPECT_EQ(bwf.framerate, "29.970-DF");
  bwf = ReadBwf(BextData("FRAMERATE=25.000 ND; note", 0), "30.000 ND");
  EXPECT_EQ(bwf.framerate, "25.000 ND;");
  EXPECT_TRUE(bwf.framerateFromFile);

  // Keys are matched with exact letter case.
  bwf = ReadBwf(BextData("framerate=25.000 ND\r", 0), "30.000 DF");
  EXPECT_EQ(bwf.framerate, "30.000 DF");
  EXPECT_FALSE(bwf.framerateFromFile);
}

TEST(BwfReader, UserBitsWithOrWithoutDollar) {
  EXPECT_EQ(ReadBwf(BextData("UBITS=$12345678", 0), "25.000 ND").ub, "12-34-56-78");
  EXPECT_EQ(ReadBwf(BextData("UBITS=12345678\r\n", 0), "25.000 ND").ub, "12-34-56-78");
  // The 43 bytes after the chunk are searched too.
  RiffFile riff;
  riff.Chunk("bext", BextData("", 0));
  riff.Chunk("note", Bytes{'U', 'B', 'I', 'T', 'S', '=', '8', '7', '6', '5', '4', '3', '2', '1'});
  riff.Chunk("fmt ", FmtData(48000));
  TempDir dir;
  const auto path = dir.Write("after.wav", riff.Build());
  EXPECT_EQ(ReadBWFTimeCode(path, ScanChunks(path), "25.000 ND").ub, "87-65-43-21");
}

TEST(BwfReader, ZeroTimeReferenceAndOddSampleRates) {
  BwfTimeCode bwf = ReadBwf(BextData("", 0), "25.000 ND");
  EXPECT_EQ(bwf.stc, "00:00:00:00");
  EXPECT_EQ(bwf.tcSource, 3);
  for (const std::uint32_t rate : {0u, 192001u, 4000000000u}) {
    bwf = ReadBwf(BextData("", 441000), "25.000 ND", rate);
    EXPECT_EQ(bwf.samplerate, "44100") << rate;
    EXPECT_DOUBLE_EQ(bwf.tcOffset, 10) << rate;
  }
  EXPECT_EQ(ReadBwf(BextData("", 0), "25.000 ND", 192000).samplerate, "192000");
}

TEST(BwfReader, TimeReferenceUsesOnlyTheLowestHighByte) {
  const std::uint64_t reference = (std::uint64_t{0x0201} << 32) + 48000;  // 0x02 is ignored
  const BwfTimeCode bwf = ReadBwf(BextData("", reference), "25.000 ND");
  EXPECT_EQ(bwf.rawSamples, (std::uint64_t{1} << 32) + 48000);
  EXPECT_EQ(bwf.stc, "00:51:19:12");  // 89479.49 s, past 24 hours: 24 is taken off
}

TEST(BwfReader, DescriptionStopsAtZeroOrAfter256Characters) {
  const std::string full(256, 'x');
  Bytes bext = BextData(full, 0);
  testing::PutText(bext, 256, "Originator");
  EXPECT_EQ(ReadBwf(bext, "25.000 ND").debugAppend.substr(0, 258), "\n" + full + "-");
}

TEST(BwfReader, LargeChunksAreReadWithinBounds) {
  // A "bext" chunk larger than the usual buffer: fixed fields and keys near its end still work.
  Bytes bext = BextData("long history", kOneHourAt48k, 5990);
  testing::PutText(bext, 5900, "FRAMERATE=24.000 ND\r");
  BwfTimeCode bwf = ReadBwf(bext, "30.000 ND");
  EXPECT_EQ(bwf.stc, "01:00:00:00");
  EXPECT_EQ(bwf.framerate, "24.000 ND");
  // Beyond 6000 data bytes nothing is searched.
  bext = BextData("", 0, 9000);
  testing::PutText(bext, 6100, "UBITS=12345678");
  EXPECT_FALSE(ReadBwf(bext, "30.000 ND").ub);

  // A "fmt " chunk of the extensible kind (40 bytes) and a much larger one.
  for (const std::size_t fmtSize : {40u, 5000u}) {
    RiffFile riff;
    riff.Chunk("fmt ", FmtData(96000, fmtSize));
    riff.Chunk("bext", BextData("", 96000 * 60));
    TempDir dir;
    const auto path = dir.Write("big.BWF", riff.Build());
    bwf = ReadBWFTimeCode(path, ScanChunks(path), "25.000 ND");
    EXPECT_EQ(bwf.samplerate, "96000");
    EXPECT_EQ(bwf.stc, "00:01:00:00");
  }
}

TEST(BwfReader, MissingFmtChunkUsesTheDefaultRate) {
  RiffFile riff;
  riff.Chunk("bext", BextData("", 441000));
  TempDir dir;
  const auto path = dir.Write("nofmt.wav", riff.Build());
  const BwfTimeCode bwf = ReadBWFTimeCode(path, ScanChunks(path), "25.000 ND");
  EXPECT_EQ(bwf.samplerate, "44100");
  EXPECT_DOUBLE_EQ(bwf.tcOffset, 10);
}

TEST(BwfReader, TruncatedChunkReadsZerosPastTheEnd) {
  RiffFile riff;
  riff.Chunk("fmt ", FmtData(48000));
  riff.ChunkWithSize("bext", 602, BextData("cut short", 48000, 333));  // ends inside the time
  TempDir dir;
  const auto path = dir.Write("cut.wav", riff.Build());
  const BwfTimeCode bwf = ReadBWFTimeCode(path, ScanChunks(path), "25.000 ND");
  EXPECT_EQ(bwf.fdt, "2026-12-07 10:  ");
  EXPECT_EQ(bwf.rawSamples, 0u);
  EXPECT_EQ(bwf.stc, "00:00:00:00");
}

}  // namespace
}  // namespace timecode
