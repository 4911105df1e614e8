// Bookmarks through the real window and real files: set, jump and choose, the bookmark file
// written beside the recording and read back when it is opened again, damaged files, and a
// folder that cannot be written.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <filesystem>

#include "bookmark_file.h"

#include "support/form_fixture.h"
#include "support/read_only_folder.h"
#include "support/temporary_folder.h"
#include "support/test_media.h"

namespace {

using testing_support::ReadWholeFile;
using testing_support::WriteWholeFile;
constexpr int kShift = 1, kCtrl = 2, kAlt = 4, kF1 = 112;

class Bookmarks : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->Aboutscreen->hide();
  }
  void Key(int n, int shift) {
    int keyCode = kF1 + n - 1;
    form->Logo_KeyDown(keyCode, shift);
  }
  QString OpenRecording(const QString& name) {
    const QString media = Path(name);
    EXPECT_TRUE(test_media::WriteTone(media, 1));
    Open(media);
    return media;
  }
  std::vector<QString> Entries() const {
    std::vector<QString> entries;
    for (int i = 0; i < 12; ++i) entries.push_back(form->Bookmark->itemText(i));
    return entries;
  }
};

TEST_F(Bookmarks, RoundTripThroughTheBookmarkFile) {
  const QString media = OpenRecording("talk.wav");
  EXPECT_TRUE(form->BookmarkFile.isEmpty());  // none yet
  form->Framerate->setText("25.000 ND");
  player.position = 72.2;
  Key(1, kShift);
  EXPECT_EQ(form->Bookmark->itemText(0), "F1 = 00:01:12:05");
  EXPECT_EQ(form->BookmarkFile, Path("talk.BKM"));
  EXPECT_EQ(ReadWholeFile(Path("talk.BKM").toStdString()).substr(0, 24),
            " 72.2 F1 = 00:01:12:05\r\n");

  player.position = 0.48;
  Key(7, kCtrl);
  player.position = 1234.56;
  Key(12, kAlt);
  EXPECT_EQ(form->Bookmark->currentIndex(), 11);
  EXPECT_FALSE(form->Bookmark->isHidden());
  // A typed time code goes into the same file.
  player.position = 60;
  form->SetTC_Click();
  form->TCEntry->setText("10:00:00:00");
  int enter = 13;
  form->TCEntry_KeyPress(enter);

  const std::vector<QString> written = Entries();
  const auto positions = form->BookmarkPos;
  const double userTC = form->UserTCValue;
  const std::string file = ReadWholeFile(Path("talk.BKM").toStdString());
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 13);
  // Counted from the typed start, as the display counts.
  EXPECT_NE(file.find("\r\n .48 F7 = 09:59:00:12\r\n"), std::string::npos) << file;

  // Open it again: the list, the positions and the user time code come back.
  Open(media);
  EXPECT_EQ(Entries(), written);
  EXPECT_EQ(form->BookmarkPos, positions);
  EXPECT_DOUBLE_EQ(form->UserTCValue, userTC);
  EXPECT_EQ(form->TCSource, 5);
  EXPECT_EQ(form->TCLabel->text(), "User Set TIME CODE");
  EXPECT_DOUBLE_EQ(form->TCOffset, userTC);
  EXPECT_EQ(form->BookmarkFile, Path("talk.BKM"));
  EXPECT_FALSE(form->Bookmark->isHidden());
  EXPECT_EQ(form->Bookmark->currentIndex(), -1);
  EXPECT_EQ(form->focusWidget(), form->Logo);

  // Another recording without a bookmark file starts clean.
  OpenRecording("other.wav");
  EXPECT_TRUE(form->BookmarkFile.isEmpty());
  EXPECT_EQ(form->Bookmark->itemText(6), "F7 = 00:00:00:00");
  EXPECT_EQ(form->TCSource, 1);
}

TEST_F(Bookmarks, JumpAndChoose) {
  form->Framerate->setText("25.000 ND");
  player.position = 40;
  Key(3, kShift);
  player.state = MediaPlayer::kPaused;
  player.position = 99;
  player.calls.clear();
  Key(3, 0);
  EXPECT_DOUBLE_EQ(player.position, 40);
  EXPECT_EQ(player.calls.back(), "pause");
  EXPECT_EQ(std::count(player.calls.begin(), player.calls.end(), "play"), 2);

  // An unset bookmark and one set at the start both go to 0.
  Key(9, 0);
  EXPECT_DOUBLE_EQ(player.position, 0);

  // Choosing a row in the list moves there; no row chosen moves to the start.
  form->Bookmark->setCurrentIndex(2);
  emit form->Bookmark->activated(2);
  EXPECT_DOUBLE_EQ(player.position, 40);
  form->Bookmark->setCurrentIndex(-1);
  form->Bookmark_Click();
  EXPECT_DOUBLE_EQ(player.position, 0);
}

TEST_F(Bookmarks, TimeCodeTextUsesOffsetCorrectionAndCarry) {
  form->Framerate->setText("29.970 ND");
  form->TCOffset = 3600;
  player.position = 1000;
  Key(2, kShift);
  // 1000 s counted non-drop is 999.001 s, plus the offset.
  EXPECT_EQ(form->Bookmark->itemText(1), "F2 = 01:16:39:00");

  // There is no frame 30 at 30 fps: a frame value that would show as 30 carries into the next
  // second, and the position kept is the one set.
  form->Framerate->setText("30.000 ND");
  form->TCOffset = 0;
  const std::pair<double, const char*> rows[] = {{35992.99, "F4 = 09:59:53:00"},
                                                 {10 + 29.96 / 30, "F4 = 00:00:11:00"},
                                                 {10 + 29.7 / 30, "F4 = 00:00:11:00"},
                                                 {10 + 29.4 / 30, "F4 = 00:00:10:29"},
                                                 {59.99, "F4 = 00:01:00:00"}};
  for (const auto& [position, text] : rows) {
    player.position = position;
    Key(4, kShift);
    EXPECT_EQ(form->Bookmark->itemText(3), text) << position;
    EXPECT_DOUBLE_EQ(form->BookmarkPos[4], position);
  }
}

// The list counts as the display does: when the start changes, its texts are made again from the
// positions; the positions in the file stay as they were set.
TEST_F(Bookmarks, TextsFollowTheActiveStart) {
  OpenRecording("talk.wav");
  form->Framerate->setText("25.000 ND");
  player.position = 2;
  Key(1, kShift);
  player.position = 61.4;
  Key(2, kShift);
  ASSERT_EQ(form->Bookmark->itemText(1), "F2 = 00:01:01:10");

  // A time code typed at the start: the display counts from ten o'clock, and so does the list.
  player.position = 0;
  form->SetTC_Click();
  form->TCEntry->setText("10:00:00:00");
  int enter = 13;
  form->TCEntry_KeyPress(enter);
  ASSERT_EQ(form->TCSource, 5);
  // One never set (at 0) keeps its text.
  const std::vector<QString> fromTen{"F1 = 10:00:02:00", "F2 = 10:01:01:10", "F3 = 00:00:00:00"};
  const std::vector<QString> entries = Entries();
  EXPECT_EQ(std::vector<QString>(entries.begin(), entries.begin() + 3), fromTen);
  const quillmark::BookmarkLines file = quillmark::ReadBookmarkFile(Path("talk.BKM").toStdString());
  ASSERT_TRUE(file[0] && file[1]);
  EXPECT_DOUBLE_EQ(file[0]->number, 2);
  EXPECT_DOUBLE_EQ(file[1]->number, 61.4);
  EXPECT_EQ(file[1]->text, "F2 = 10:01:01:10");

  // Back to the elapsed time by the source label: the texts follow, the file is not written.
  const std::string written = ReadWholeFile(Path("talk.BKM").toStdString());
  form->TCLabel_Click();
  ASSERT_EQ(form->TCSource, 1);
  EXPECT_EQ(form->Bookmark->itemText(1), "F2 = 00:01:01:10");
  EXPECT_EQ(ReadWholeFile(Path("talk.BKM").toStdString()), written);
}

TEST_F(Bookmarks, ShortOrDamagedFileKeepsWhatWasReadBeforeTheFault) {
  WriteWholeFile(Path("talk.BKM").toStdString(),
                 " 1.5 F1 = 00:00:01:15\r\n"
                 " 2.5 F2 = 00:00:02:15, ignored after a comma\r\n"
                 "3,F3 = 00:00:03:00\r\n"
                 "garbage F4\r\n"
                 " 5 F5 = 00:00:05:00\r\n");
  OpenRecording("talk.wav");
  EXPECT_EQ(form->Bookmark->itemText(0), "F1 = 00:00:01:15");
  EXPECT_EQ(form->Bookmark->itemText(1), "F2 = 00:00:02:15");
  EXPECT_EQ(form->Bookmark->itemText(2), "F3 = 00:00:03:00");
  EXPECT_DOUBLE_EQ(form->BookmarkPos[3], 3);
  for (int n = 4; n <= 12; ++n) {
    EXPECT_EQ(form->Bookmark->itemText(n - 1), QString("F%1 = 00:00:00:00").arg(n));
    EXPECT_DOUBLE_EQ(form->BookmarkPos[n], 0);
  }
  EXPECT_DOUBLE_EQ(form->UserTCValue, 0);
  EXPECT_EQ(form->TCSource, 1);

  // Numbers that are no finite position stop the reading too; so does a binary file.
  WriteWholeFile(Path("talk.BKM").toStdString(), " 7 F1 = x\r\n nan F2\r\n inf F3\r\n");
  Open(Path("talk.wav"));
  EXPECT_DOUBLE_EQ(form->BookmarkPos[1], 7);
  EXPECT_DOUBLE_EQ(form->BookmarkPos[2], 0);
  std::string binary(4096, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37);
  WriteWholeFile(Path("talk.BKM").toStdString(), binary);
  Open(Path("talk.wav"));
  EXPECT_DOUBLE_EQ(form->BookmarkPos[1], 0);
  EXPECT_FALSE(form->Bookmark->isHidden());
}

TEST_F(Bookmarks, NoRecordingOpenSetsInMemoryOnly) {
  form->Framerate->setText("25.000 ND");
  player.position = 2;
  Key(2, kShift);
  EXPECT_DOUBLE_EQ(form->BookmarkPos[2], 2);
  EXPECT_EQ(form->Bookmark->itemText(1), "F2 = 00:00:02:00");
  EXPECT_TRUE(form->BookmarkFile.isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(Bookmarks, UnwritableFolderIsReportedAndTheBookmarkStaysSet) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(dir.path().toStdString()) / "read only";
  fs::create_directory(folder);
  fs::permissions(dir.path().toStdString(), fs::perms::others_exec | fs::perms::group_exec,
                  fs::perm_options::add);
  const QString media = QString::fromStdString((folder / "talk.wav").string());
  ASSERT_TRUE(test_media::WriteTone(media, 1));
  Open(media);
  WriteWholeFile(folder / "talk.BKM", " 9 F1 = 00:00:09:00\r\n");  // an older file, kept whole
  testing_support::MakeReadOnly(folder);

  form->Framerate->setText("25.000 ND");
  player.position = 3;
  const QString bookmarkFile = QString::fromStdString((folder / "talk.BKM").string());
  messages.Expect("Bookmarks Not Saved\n" + bookmarkFile +
                      "\nFolder Permission Denied. The bookmarks stay set until another file is "
                      "opened.",
                  "ERROR SAVING BOOKMARKS");
  {
    testing_support::WithoutRootPrivileges unprivileged;
    Key(1, kShift);
  }
  EXPECT_DOUBLE_EQ(form->BookmarkPos[1], 3);
  EXPECT_EQ(form->Bookmark->itemText(0), "F1 = 00:00:03:00");
  EXPECT_EQ(ReadWholeFile(folder / "talk.BKM"), " 9 F1 = 00:00:09:00\r\n");
  EXPECT_EQ(messages.shown, 1);
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
}

}  // namespace
