#include "settings_file.h"

#include <gtest/gtest.h>

#include "clipboard_text.h"
#include "support/read_only_folder.h"
#include "support/temporary_folder.h"

namespace quillmark {
namespace {

using testing_support::ReadWholeFile;
using testing_support::TemporaryFolder;
using testing_support::WriteWholeFile;

StoredSettings Example() {
  StoredSettings s;
  s.defaultRateIndex = 3;
  s.defaultModeIndex = 1;
  s.clipboardFormat = 6;
  s.clipboardMode = 2;
  s.pedalOn = 1;
  s.pedalPortIndex = -1;
  s.swapWind = 1;
  s.windStep = 12;
  s.onTop = 0;
  s.autoBackSeconds = 2.5f;
  s.timeOfDay = 1;
  s.balance = 100;
  return s;
}

TEST(SettingsFile, WritesTwelveShortNumbersAndReadsThemBack) {
  TemporaryFolder folder;
  const auto file = SettingsFilePath(folder.path());
  EXPECT_EQ(file.filename(), "Quillmark.inf");
  ASSERT_EQ(WriteSettingsFile(file, Example()), WriteResult::Written);
  EXPECT_EQ(ReadWholeFile(file),
            " 3 \r\n 1 \r\n 6 \r\n 2 \r\n 1 \r\n-1 \r\n 1 \r\n 12 \r\n 0 \r\n 2.5 \r\n 1 \r\n"
            " 100 \r\n");

  const StoredSettings back = ReadSettingsFile(file);
  const StoredSettings expected = Example();
  EXPECT_EQ(back.defaultRateIndex, expected.defaultRateIndex);
  EXPECT_EQ(back.defaultModeIndex, expected.defaultModeIndex);
  EXPECT_EQ(back.clipboardFormat, expected.clipboardFormat);
  EXPECT_EQ(back.clipboardMode, expected.clipboardMode);
  EXPECT_EQ(back.pedalOn, expected.pedalOn);
  EXPECT_EQ(back.pedalPortIndex, expected.pedalPortIndex);
  EXPECT_EQ(back.swapWind, expected.swapWind);
  EXPECT_EQ(back.windStep, expected.windStep);
  EXPECT_EQ(back.onTop, expected.onTop);
  EXPECT_EQ(back.autoBackSeconds, expected.autoBackSeconds);
  EXPECT_EQ(back.timeOfDay, expected.timeOfDay);
  EXPECT_EQ(back.balance, expected.balance);
}

TEST(SettingsFile, MissingShortAndDamagedLinesAreAbsentOnTheirOwn) {
  TemporaryFolder folder;
  const auto file = folder / "Quillmark.inf";
  EXPECT_FALSE(ReadSettingsFile(file).defaultRateIndex.has_value());  // no file at all

  // LF-only endings, blanks around numbers, a word, a fraction in an integer line, a value
  // beyond 16 bits, and the file ending after line 9.
  WriteWholeFile(file, "2\n  1  \nabc\n1.5\n 1 \n 70000 \n1\n 5 \n0");
  const StoredSettings s = ReadSettingsFile(file);
  EXPECT_EQ(s.defaultRateIndex, 2);
  EXPECT_EQ(s.defaultModeIndex, 1);
  EXPECT_FALSE(s.clipboardFormat.has_value());
  EXPECT_FALSE(s.clipboardMode.has_value());
  EXPECT_EQ(s.pedalOn, 1);
  EXPECT_FALSE(s.pedalPortIndex.has_value());
  EXPECT_EQ(s.swapWind, 1);
  EXPECT_EQ(s.windStep, 5);
  EXPECT_EQ(s.onTop, 0);
  EXPECT_FALSE(s.autoBackSeconds.has_value());
  EXPECT_FALSE(s.timeOfDay.has_value());
  EXPECT_FALSE(s.balance.has_value());
}

TEST(SettingsFile, NamedValuesFollowTheTwelveLinesAndReadBack) {
  TemporaryFolder folder;
  const auto file = folder / "Quillmark.inf";
  StoredSettings values = Example();
  values.named["LastFolder"] = "/home/typist/rec/tape 1";
  values.named["Empty"] = "";
  values.named["bad name"] = "left out";
  values.named["Broken"] = "two\nlines";
  ASSERT_EQ(WriteSettingsFile(file, values), WriteResult::Written);
  const std::string twelve =
      " 3 \r\n 1 \r\n 6 \r\n 2 \r\n 1 \r\n-1 \r\n 1 \r\n 12 \r\n 0 \r\n 2.5 \r\n 1 \r\n 100 \r\n";
  EXPECT_EQ(ReadWholeFile(file), twelve + "Empty=\r\nLastFolder=/home/typist/rec/tape 1\r\n");

  const StoredSettings back = ReadSettingsFile(file);
  EXPECT_EQ(back.balance, 100);
  EXPECT_EQ(back.named, (std::map<std::string, std::string>{
                            {"Empty", ""}, {"LastFolder", "/home/typist/rec/tape 1"}}));

  // A file of the twelve lines alone has no named values; a line without "=" or with a bad
  // name is skipped, and an endless line ends the reading rather than being taken in whole.
  WriteWholeFile(file, twelve);
  EXPECT_TRUE(ReadSettingsFile(file).named.empty());
  WriteWholeFile(file, twelve + "junk\r\n=x\r\nA b=c\r\nBefore=1\r\nLong=" +
                           std::string(1 << 20, 'x') + "\r\nAfter=1\r\n");
  const StoredSettings damaged = ReadSettingsFile(file);
  EXPECT_EQ(damaged.named, (std::map<std::string, std::string>{{"Before", "1"}}));
}

TEST(SettingsFile, AFolderWithoutWritePermissionKeepsTheOldFile) {
  TemporaryFolder folder;
  const auto file = folder / "Quillmark.inf";
  WriteWholeFile(file, "old contents\r\n");
  testing_support::MakeReadOnly(folder.path());
  {
    testing_support::WithoutRootPrivileges unprivileged;
    EXPECT_EQ(WriteSettingsFile(file, Example()), WriteResult::PermissionDenied);
  }
  EXPECT_EQ(ReadWholeFile(file), "old contents\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
      << "no temporary file may be left behind";
}

TEST(SettingsFile, AMissingFolderFailsWithoutPermissionError) {
  TemporaryFolder folder;
  EXPECT_EQ(WriteSettingsFile(folder / "gone/Quillmark.inf", Example()), WriteResult::Failed);
}

TEST(ClipboardText, EightFormatsAndNone) {
  const std::string shown = "01:02:03:04";
  EXPECT_EQ(ClipboardText(shown, 0), "01:02:03:04 ");
  EXPECT_EQ(ClipboardText(shown, 1), "01:02:03:04\t");
  EXPECT_EQ(ClipboardText(shown, 2), "01:02:03:04\r\n\r\n");
  EXPECT_EQ(ClipboardText(shown, 3), "01:02:03 ");
  EXPECT_EQ(ClipboardText(shown, 4), "01:02:03\t");
  EXPECT_EQ(ClipboardText(shown, 5), "01:02:03\r\n\r\n");
  EXPECT_EQ(ClipboardText(shown, 6), "[01:02:03]\t");
  EXPECT_EQ(ClipboardText(shown, 7), "[01:02:03]\r\n");
  EXPECT_EQ(ClipboardText(shown, -1), "01:02:03:04 ");
  EXPECT_EQ(ClipboardText("-01:50:00:00", 3), "-01:50:0 ");  // a wider display is cut the same way
}

}  // namespace
}  // namespace quillmark
