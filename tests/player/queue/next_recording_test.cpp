#include "next_recording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "natural_order.h"
#include "support/temporary_folder.h"

namespace quillmark {
namespace {

using testing_support::TemporaryFolder;
using testing_support::WriteWholeFile;

TEST(NaturalOrder, NumbersByValueLettersInAnyCase) {
  const std::vector<std::string> ordered = {
      "",
      "01 intro.wav",
      "1 intro.wav",
      "2 intro.wav",
      "10 intro.wav",
      "interview 2.wav",
      "Interview 3.wav",
      "interview 10.wav",
      "interview 10a.wav",
      "interview 10B.wav",
      "interview 100.wav",
      "interview 99999999999999999999999.wav",  // beyond any integer type
      "interview 100000000000000000000000.wav",
      "Interview.wav",  // a blank sorts before the dot
      "interview.wav",
      "Talk.wav",
      "talk2.wav",
      "Talk10.wav",
      "zebra.wav",
      "Ärger.wav",  // bytes beyond ASCII come after the letters
  };
  std::vector<std::string> shuffled = ordered;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(24));
  std::sort(shuffled.begin(), shuffled.end(),
            [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
  EXPECT_EQ(shuffled, ordered);
  for (const std::string& name : ordered) EXPECT_FALSE(NaturalLess(name, name)) << name;
}

TEST(NextRecording, TheFirstFilterPatternsOfTheOpenDialog) {
  EXPECT_EQ(FirstFilterPatterns("All Media Files |*.WAV;*.MP3; *.vob |Wav File (*.wav)|*.wav"),
            (std::vector<std::string>{"*.WAV", "*.MP3", "*.vob"}));
  EXPECT_EQ(FirstFilterPatterns("All Files|*.*"), (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(FirstFilterPatterns("no bar at all").empty());
  EXPECT_TRUE(FirstFilterPatterns("Empty||").empty());
}

// A typist's folder worked through: each offer is finished (moved into Completed) before the
// next is asked for.
TEST(NextRecording, OffersTheUnfinishedRecordingsInNaturalOrderUntilNoneIsLeft) {
  TemporaryFolder folder;
  const std::vector<std::string> patterns = {"*.WAV", "*.MP3", "*.vob"};
  for (const char* name : {"talk 10.wav", "Talk 2.WAV", "talk 1.Mp3", "Talk 1b.vob",
                           "talk 0.txt", "talk 0.wav.bak", ".talk 0.wav", "talk.docx"}) {
    WriteWholeFile(folder / name, "x");
  }
  std::filesystem::create_directories(folder / "Completed");
  WriteWholeFile(folder / "Completed" / "talk 0.wav", "finished earlier");
  std::filesystem::create_directories(folder / "talk 00.wav");  // a folder named like a file
  std::filesystem::create_symlink(folder / "talk 10.wav", folder / "talk 3.wav");
  std::filesystem::create_symlink(folder / "gone.wav", folder / "talk 4.wav");  // dangling

  std::vector<std::string> offered;
  std::string finished = "talk 0.wav";
  while (const auto next = NextRecording(folder.path(), patterns, finished)) {
    ASSERT_EQ(next->parent_path(), folder.path());
    finished = next->filename().string();
    offered.push_back(finished);
    std::filesystem::rename(*next, folder / "Completed" / finished);
    ASSERT_LE(offered.size(), 10u);
  }
  EXPECT_EQ(offered, (std::vector<std::string>{"talk 1.Mp3", "Talk 1b.vob", "Talk 2.WAV",
                                               "talk 3.wav", "talk 10.wav"}));
  EXPECT_FALSE(NextRecording(folder / "no such folder", patterns, ""));
}

}  // namespace
}  // namespace quillmark
