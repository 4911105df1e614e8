#include "bookmark_file.h"

#include <gtest/gtest.h>

#include "support/temporary_folder.h"

namespace quillmark {
namespace {

using testing_support::ReadWholeFile;
using testing_support::TemporaryFolder;
using testing_support::WriteWholeFile;

TEST(BookmarkFile, PathReplacesTheLastThreeCharacters) {
  EXPECT_EQ(BookmarkFilePath("/rec/talk.wav"), "/rec/talk.BKM");
  EXPECT_EQ(BookmarkFilePath("/rec/talk.flac"), "/rec/talk.fBKM");
  EXPECT_EQ(BookmarkFilePath("ab"), "");
}

TEST(BookmarkFile, WritesThirteenLinesAndReadsThemBack) {
  TemporaryFolder folder;
  std::array<BookmarkLine, 13> lines;
  for (int n = 1; n <= 12; ++n) {
    lines[n - 1] = {0, "F" + std::to_string(n) + " = 00:00:00:00"};
  }
  lines[0] = {72.2, "F1 = 00:01:12:05"};
  lines[11] = {0.5, "F12 = 00:00:00:13"};
  lines[12] = {-3.25, "User TC=09:59:58:10"};
  const auto file = folder / "talk.BKM";
  ASSERT_EQ(WriteBookmarkFile(file, lines), WriteResult::Written);

  const std::string text = ReadWholeFile(file);
  EXPECT_EQ(text.rfind(" 72.2 F1 = 00:01:12:05\r\n 0 F2 = 00:00:00:00\r\n", 0), 0u);
  EXPECT_NE(text.find("\r\n .5 F12 = 00:00:00:13\r\n-3.25 User TC=09:59:58:10\r\n"),
            std::string::npos);

  const BookmarkLines back = ReadBookmarkFile(file);
  for (std::size_t i = 0; i < 13; ++i) {
    ASSERT_TRUE(back[i].has_value()) << i;
    EXPECT_EQ(back[i]->number, lines[i].number) << i;
    EXPECT_EQ(back[i]->text, lines[i].text) << i;
  }
}

TEST(BookmarkFile, ReadingStopsAtTheFirstBadLine) {
  TemporaryFolder folder;
  const auto file = folder / "talk.BKM";
  WriteWholeFile(file, " 1.5 F1 = a,b\r\n  2,F2 = x\r\nnope F3\r\n 4 F4\r\n");
  const BookmarkLines lines = ReadBookmarkFile(file);
  ASSERT_TRUE(lines[0] && lines[1]);
  EXPECT_EQ(lines[0]->number, 1.5);
  EXPECT_EQ(lines[0]->text, "F1 = a");  // a comma ends the text
  EXPECT_EQ(lines[1]->number, 2);
  EXPECT_EQ(lines[1]->text, "F2 = x");
  for (std::size_t i = 2; i < 13; ++i) EXPECT_FALSE(lines[i]) << i;

  WriteWholeFile(file, " 7 F1 = 00:00:07:00\n");  // short file, LF endings
  const BookmarkLines shortFile = ReadBookmarkFile(file);
  ASSERT_TRUE(shortFile[0]);
  EXPECT_EQ(shortFile[0]->text, "F1 = 00:00:07:00");
  EXPECT_FALSE(shortFile[1]);
  EXPECT_FALSE(ReadBookmarkFile(folder / "missing.BKM")[0]);

  // A huge line is no bookmark line: what came before it stays, the reading stops there.
  WriteWholeFile(file, " 7 F1 = 00:00:07:00\r\n 8" + std::string(1 << 20, ' ') + "F2\r\n 9 F3\r\n");
  const BookmarkLines huge = ReadBookmarkFile(file);
  ASSERT_TRUE(huge[0]);
  EXPECT_FALSE(huge[1]);
  EXPECT_FALSE(huge[2]);
}

}  // namespace
}  // namespace quillmark
