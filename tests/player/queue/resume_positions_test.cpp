#include "resume_positions.h"

#include "kept_places.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <sstream>

#include "support/read_only_folder.h"
#include "support/temporary_folder.h"

namespace quillmark {
namespace {

using testing_support::ReadWholeFile;
using testing_support::TemporaryFolder;
using testing_support::WriteWholeFile;

RecordingIdentity Recording(const std::string& path, std::uintmax_t size = 1000,
                            std::int64_t modified = 1700000000123456789) {
  return {path, size, modified};
}

ResumePositions Remembered(int count) {
  ResumePositions positions;
  for (int i = 0; i < count; ++i) {
    positions.Remember(Recording("/rec/talk " + std::to_string(i) + ".wav"), 60 + i, 600);
  }
  return positions;
}

TEST(ResumePositions, ResumesOnlyTheSameFileAwayFromItsEnds) {
  ResumePositions positions;
  positions.Remember(Recording("/rec/start.wav"), 5.0, 600);
  positions.Remember(Recording("/rec/early.wav"), 5.01, 600);
  positions.Remember(Recording("/rec/late.wav"), 594.99, 600);
  positions.Remember(Recording("/rec/end.wav"), 595.0, 600);
  positions.Remember(Recording("/rec/short.wav"), 6, 10);  // no place 5 s from both ends
  positions.Remember(Recording("/rec/unknown length.wav"), 60, 0);
  positions.Remember(Recording("/rec/middle.wav"), 300.25, 600);

  const struct {
    RecordingIdentity opened;
    std::optional<double> resume;
  } cases[] = {
      {Recording("/rec/start.wav"), std::nullopt},
      {Recording("/rec/early.wav"), 5.01},
      {Recording("/rec/late.wav"), 594.99},
      {Recording("/rec/end.wav"), std::nullopt},
      {Recording("/rec/short.wav"), std::nullopt},
      {Recording("/rec/unknown length.wav"), std::nullopt},
      {Recording("/rec/middle.wav"), 300.25},
      {Recording("/rec/middle.wav", 1001), std::nullopt},                  // grew
      {Recording("/rec/middle.wav", 1000, 1700000000123456790), std::nullopt},  // rewritten
      {Recording("/rec/other.wav"), std::nullopt},
      {Recording("/rec/Middle.wav"), std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(positions.ResumeAt(c.opened), c.resume) << c.opened.path << " " << c.opened.size;
  }
}

TEST(ResumePositions, KeepsTheThousandUsedLastAndForgetsTheOldest) {
  ResumePositions positions = Remembered(1000);
  // Used again, the first becomes the newest and outlives the next oldest.
  positions.Remember(Recording("/rec/talk 0.wav"), 70, 600);
  positions.Remember(Recording("/rec/new.wav"), 80, 600);
  ASSERT_EQ(positions.entries().size(), kRememberedRecordings);
  EXPECT_EQ(positions.ResumeAt(Recording("/rec/talk 0.wav")), 70);
  EXPECT_EQ(positions.ResumeAt(Recording("/rec/talk 1.wav")), std::nullopt);
  EXPECT_EQ(positions.ResumeAt(Recording("/rec/talk 2.wav")), 62);
  EXPECT_EQ(positions.ResumeAt(Recording("/rec/new.wav")), 80);

  // A file holding more (written by hand, or by two windows at once) is cut down as it is read.
  std::string text;
  for (int i = 0; i < 1200; ++i) text += "60 600 1000 7 /rec/" + std::to_string(i) + "\n";
  std::istringstream in(text);
  const ResumePositions read = ResumePositions::Read(in);
  ASSERT_EQ(read.entries().size(), kRememberedRecordings);
  EXPECT_EQ(read.entries().front().recording.path, "/rec/200");
  EXPECT_EQ(read.entries().back().recording.path, "/rec/1199");
}

TEST(ResumePositions, AnyPathAndPositionComeBackFromTheFile) {
  TemporaryFolder folder;
  const auto file = folder / "state" / "quillmark" / kResumeFileName;  // folders made on writing
  const std::string awkward[] = {
      "/rec/talk 1.wav", "/rec/100% sure.wav", "/rec/line\nbreak.wav", "/rec/tab\there\r.wav",
      "/rec/Grüße 2.mp3", "/rec/%41 not an A.wav", "/rec/ends in a blank "};
  ResumePositions positions;
  double position = 10.1;
  for (const std::string& path : awkward) {
    positions.Remember(Recording(path, 123456789012, -5), position, 3600.0 / 7);
    position += 1.0 / 3;
  }
  ASSERT_EQ(positions.WriteFile(file), WriteResult::Written);
  EXPECT_EQ(std::filesystem::status(file.parent_path()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);

  const ResumePositions back = ResumePositions::ReadFile(file);
  ASSERT_EQ(back.entries().size(), std::size(awkward));
  for (std::size_t i = 0; i < std::size(awkward); ++i) {
    EXPECT_EQ(back.entries()[i].recording, positions.entries()[i].recording) << awkward[i];
    EXPECT_EQ(back.entries()[i].position, positions.entries()[i].position) << awkward[i];
    EXPECT_EQ(back.entries()[i].duration, 3600.0 / 7);
  }
  EXPECT_EQ(ResumePositions::ReadFile(folder / "missing").entries().size(), 0u);
}

TEST(ResumePositions, DamagedLinesAreSkippedAndTheRestRead) {
  const std::string good = "61.5 600 1000 7 /rec/good.wav";
  const std::string lines[] = {
      "# a comment",
      "",
      "61.5 600 1000 7 rec/relative.wav",
      "61.5 600 1000 7 /rec/bad %4 escape.wav",
      "61.5 600 1000 7 /rec/bad %zz escape.wav",
      "61.5 600 1000 7 /rec/raw\x01.wav",
      "61.5 600 1000 /rec/three numbers.wav",
      "nan 600 1000 7 /rec/nan.wav",
      "inf 600 1000 7 /rec/inf.wav",
      "-3 600 1000 7 /rec/negative.wav",
      "61.5 600 -1000 7 /rec/negative size.wav",
      "61.5 600 1000 99999999999999999999 /rec/huge time.wav",
      "61.5  600 1000 7 /rec/two blanks.wav",
      "61.5 600 1000 7 /" + std::string(20000, 'x'),  // longer than any path
      std::string("\0\xff\xfe binary", 11),
      "61.5 600 1000 7 /rec/crlf.wav\r",
      "61.5 600 1000 7 /rec/cut off",  // the last line, without its line end
  };
  std::string text = good + "\n";
  for (const std::string& line : lines) text += line + "\n";
  text.pop_back();
  std::istringstream in(text);
  const ResumePositions read = ResumePositions::Read(in);
  std::vector<std::string> paths;
  for (const LeftOff& entry : read.entries()) paths.push_back(entry.recording.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"/rec/good.wav", "/rec/crlf.wav", "/rec/cut off"}));
}

// Writes `positions` as a process that may not write more than `bytes` to any file; the kernel
// kills it when it tries.
void WriteWithAFileSizeLimit(const ResumePositions& positions, const std::filesystem::path& file,
                             rlim_t bytes) {
  const rlimit limit{bytes, bytes};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  positions.WriteFile(file);
  std::_Exit(0);
}

// The process writing the file dies mid-write (it may write no more than a few bytes): the file
// as it was before is still there, whole.
TEST(ResumePositions, ADeathMidWriteLeavesTheOldFileWhole) {
  TemporaryFolder folder;
  const auto file = folder / kResumeFileName;
  const ResumePositions old = Remembered(500);
  ASSERT_EQ(old.WriteFile(file), WriteResult::Written);
  const std::string before = ReadWholeFile(file);

  // The child forked at this point writes to this test's own folder.
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(WriteWithAFileSizeLimit(Remembered(1000), file, 4096),
              ::testing::KilledBySignal(SIGXFSZ), "");

  EXPECT_TRUE(ReadWholeFile(file) == before) << "the old file was changed";
  EXPECT_EQ(ResumePositions::ReadFile(file).entries().size(), 500u);
  // What the dead writer left beside it does not stand in the way of the next write.
  ASSERT_EQ(Remembered(1000).WriteFile(file), WriteResult::Written);
  EXPECT_EQ(ResumePositions::ReadFile(file).entries().size(), 1000u);
}

// A window's places: kept in memory at once, on disk by the time it asks (or goes), and read by
// the next window; a place near either end forgets the one kept before.
TEST(KeptPlaces, ChangesReachTheFileForTheNextWindow) {
  TemporaryFolder folder;
  const auto file = folder / "state" / kResumeFileName;
  {
    KeptPlaces places(file);
    places.Keep(Recording("/rec/a.wav"), 61.2, 600);
    places.Keep(Recording("/rec/a.wav"), 0, 0);  // opened again, not loaded yet
    places.Keep(Recording("/rec/b.wav"), 100, 600);
    places.Keep(Recording("/rec/b.wav"), 2, 600);    // back near its start
    places.Keep(Recording("/rec/c.wav"), 597, 600);  // near its end: nothing to keep
    places.Keep(Recording("/rec/d.wav"), 80, 600);
    places.Forget("/rec/d.wav");
    EXPECT_EQ(places.ResumeAt(Recording("/rec/a.wav")), 61.2);
    ASSERT_EQ(places.Flush(), WriteResult::Written);
    EXPECT_EQ(ResumePositions::ReadFile(file).entries().size(), 1u);
    // A flurry of pauses, and the window goes without waiting: the last one is on disk.
    for (int i = 0; i < 2000; ++i) places.Keep(Recording("/rec/e.wav"), 10 + i * 0.25, 600);
  }
  KeptPlaces next(file);
  EXPECT_EQ(next.ResumeAt(Recording("/rec/a.wav")), 61.2);
  EXPECT_EQ(next.ResumeAt(Recording("/rec/b.wav")), std::nullopt);
  EXPECT_EQ(next.ResumeAt(Recording("/rec/c.wav")), std::nullopt);
  EXPECT_EQ(next.ResumeAt(Recording("/rec/d.wav")), std::nullopt);
  EXPECT_EQ(next.ResumeAt(Recording("/rec/e.wav")), 10 + 1999 * 0.25);
}

TEST(KeptPlaces, AFolderThatRefusesTheFileIsToldAndMemoryStillServes) {
  TemporaryFolder folder;
  testing_support::MakeReadOnly(folder.path());
  testing_support::WithoutRootPrivileges unprivileged;
  KeptPlaces places(folder / "state" / kResumeFileName);
  places.Keep(Recording("/rec/a.wav"), 61.2, 600);
  EXPECT_EQ(places.Flush(), WriteResult::PermissionDenied);
  EXPECT_EQ(places.Keep(Recording("/rec/b.wav"), 70, 600), WriteResult::PermissionDenied);
  EXPECT_EQ(places.ResumeAt(Recording("/rec/a.wav")), 61.2);
}

}  // namespace
}  // namespace quillmark
