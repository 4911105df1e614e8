#include "id3_reader.h"

#include <gtest/gtest.h>

#include "support/media_files.h"

namespace timecode {
namespace {

using testing::Bytes;
using testing::TempDir;

// An MP3-like file: some frame bytes, then the 128-byte tag area holding `tag`, zero-padded.
std::filesystem::path WriteMp3(const TempDir& dir, std::string_view tag,
                               std::string_view name = "talk.mp3") {
  Bytes bytes(300, 0xFF);
  testing::PutText(bytes, 300, tag);
  bytes.resize(428, 0);
  return dir.Write(name, bytes);
}

const Id3Captions kOpened{"00:00:00:00", "30.000 ND", "2026-01-01"};

TEST(Id3Reader, AllKeysInTheirUsualOrder) {
  TempDir dir;
  const Id3TimeCode id3 = ReadID3TimeCode(
      WriteMp3(dir, "UB=01020304 TC=10:00:00:00 FR=25.000 ND D=00:30:00:00"), kOpened);
  EXPECT_EQ(id3.ub, "01020304 ");
  EXPECT_EQ(id3.stc, "10:00:00:00");
  EXPECT_EQ(id3.framerate, "25.000 ND");
  EXPECT_EQ(id3.duration, "00:30:00:00");
  EXPECT_EQ(id3.tcOffset, 36000);
  EXPECT_EQ(id3.id3StartTC, 36000);
  EXPECT_EQ(id3.id3Duration, 1800);
  EXPECT_EQ(id3.tcSource, 2);
  EXPECT_EQ(id3.tcLabel, "ID3 TIME CODE");
  EXPECT_FALSE(id3.fdt);  // FDT already had a text
  const std::string area = "UB=01020304 TC=10:00:00:00 FR=25.000 ND D=00:30:00:00" +
                           std::string(128 - 53, ' ');
  EXPECT_EQ(id3.debugAppend, "\n" + area);
}

TEST(Id3Reader, FramesUseTheCaptionRateAndKeysIgnoreLetterCase) {
  TempDir dir;
  Id3TimeCode id3 = ReadID3TimeCode(WriteMp3(dir, "tc=01:00:00:15"),
                                    {"00:00:00:00", "29.970 ND", "x"});
  EXPECT_DOUBLE_EQ(*id3.tcOffset, 3600 + 15 / 29.97);
  EXPECT_EQ(id3.tcSource, 2);
  id3 = ReadID3TimeCode(WriteMp3(dir, "ub=ab tc=00:00:01:10 fr=24.000 nd d=00:00:10:15"),
                        {"00:00:00:00", "30.000 ND", "x"});
  EXPECT_EQ(id3.ub, "ab ");
  EXPECT_EQ(id3.framerate, "24.000 nd");
  EXPECT_DOUBLE_EQ(*id3.tcOffset, 1 + 10 / 24.0);  // the rate read from the file
  EXPECT_DOUBLE_EQ(*id3.id3Duration, 10.5);          // durations count 30 frames
  // Below 23 the frames count 30.
  id3 = ReadID3TimeCode(WriteMp3(dir, "TC=00:00:00:15"), {"00:00:00:00", "12.5", "x"});
  EXPECT_DOUBLE_EQ(*id3.tcOffset, 0.5);
}

TEST(Id3Reader, NoKeysStillListsTheAreaAndSetsAZeroStart) {
  TempDir dir;
  const Id3TimeCode id3 = ReadID3TimeCode(WriteMp3(dir, "TAGSome title"), kOpened);
  EXPECT_EQ(id3.tcLabel, "ELAPSED TIME");
  EXPECT_EQ(id3.duration, "");
  EXPECT_EQ(id3.tcOffset, 0);
  EXPECT_EQ(id3.id3StartTC, 0);
  EXPECT_FALSE(id3.stc || id3.tcSource || id3.ub || id3.framerate || id3.id3Duration);
  EXPECT_EQ(id3.debugAppend->size(), 129u);
}

TEST(Id3Reader, UserBitsWithoutALaterTimeCodeStopQuietly) {
  TempDir dir;
  Id3TimeCode id3 = ReadID3TimeCode(WriteMp3(dir, "TC=10:00:00:00 UB=0102 FR=25.000 ND"), kOpened);
  EXPECT_EQ(id3.stc, "10:00:00:00");  // set before the failure, kept
  EXPECT_EQ(id3.tcSource, 2);
  EXPECT_EQ(id3.tcLabel, "ID3 TIME CODE");
  EXPECT_FALSE(id3.ub || id3.framerate || id3.debugAppend || id3.tcOffset || id3.id3StartTC);
  id3 = ReadID3TimeCode(WriteMp3(dir, "UB=0102 D=00:01:00:00"), kOpened);
  EXPECT_EQ(id3.tcLabel, "ELAPSED TIME");
  EXPECT_EQ(id3.duration, "");
  EXPECT_FALSE(id3.id3StartTC);
}

TEST(Id3Reader, ShortOrMissingFilesStopAfterResettingTheLabels) {
  TempDir dir;
  const Id3TimeCode shortFile = ReadID3TimeCode(dir.Write("s.mp3", Bytes(127, 'x')), kOpened);
  EXPECT_EQ(shortFile.tcLabel, "ELAPSED TIME");
  EXPECT_EQ(shortFile.duration, "");
  EXPECT_FALSE(shortFile.debugAppend || shortFile.tcOffset || shortFile.id3StartTC);
  EXPECT_FALSE(ReadID3TimeCode(dir.path() / "gone.mp3", kOpened).id3StartTC);
  // Exactly 128 bytes is a whole tag area.
  EXPECT_EQ(ReadID3TimeCode(dir.Write("t.mp3", Bytes(128, 0)), kOpened).id3StartTC, 0);
}

TEST(Id3Reader, EmptyFileDateIsFilledFromTheModifiedTime) {
  TempDir dir;
  const auto path = WriteMp3(dir, "TC=00:00:10:00", "Talk.Mp3");
  testing::SetModifiedLocalTime(path, 2026, 3, 4, 17, 5, 9);
  const Id3TimeCode id3 = ReadID3TimeCode(path, {"00:00:00:00", "25.000 ND", ""});
  EXPECT_EQ(id3.fdt, "2026-03-04/17:05:09");
  EXPECT_EQ(id3.id3StartTC, 10);
}

TEST(Id3Reader, TextsKeepOneCharacterPerByte) {
  TempDir dir;
  const Id3TimeCode id3 = ReadID3TimeCode(WriteMp3(dir, "UB=caf\xE9 TC=00:00:00:00"), kOpened);
  EXPECT_EQ(id3.ub, "caf\xE9 ");
}

}  // namespace
}  // namespace timecode
