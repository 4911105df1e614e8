// File Finished through the real window on real folders: the recording and its bookmark file go
// into "Completed", a taken name gets a free one for both, a folder that cannot be written leaves
// everything where it was, and the wait panel with its indicator.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>

#include "support/form_fixture.h"
#include "support/read_only_folder.h"
#include "support/temporary_folder.h"
#include "support/test_media.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadWholeFile;
using testing_support::WriteWholeFile;
using Answer = MessageBoxes::Answer;
using Buttons = MessageBoxes::Buttons;

class Finishing : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->Aboutscreen->hide();
    folder = dir.path().toStdString();
  }
  // Opens `name` in `where` (a new recording), optionally with a bookmark set at 5 s.
  QString OpenRecording(const fs::path& where, const char* name, bool withBookmark) {
    const QString media = QString::fromStdString((where / name).string());
    EXPECT_TRUE(test_media::WriteTone(media, 1));
    Open(media);
    if (withBookmark) {
      player.position = 5;
      form->SetBookmark(1);
    }
    form->TCOffset = 3600;
    form->Timer1_Timer();
    player.calls.clear();
    return media;
  }
  void ExpectConfirmation(const char* name, Answer answer = Answer::Ok) {
    messages.Expect(QString("Move %1 into Completed Folder?").arg(name), "Transcription Done",
                    Buttons::OkCancel, answer);
  }
  // The box after a finish when `where` holds no other recording.
  void ExpectFolderDone(const fs::path& where) {
    messages.Expect("Folder done: no recording is left to transcribe in " +
                        QString::fromStdString(where.string()) + ".",
                    "Next Recording");
  }
  void ExpectEmptyWindow() {
    EXPECT_EQ(form->windowTitle(), "Quillmark");
    EXPECT_EQ(ShownTimeCode(), "00:00:00:00");
    EXPECT_DOUBLE_EQ(form->TCOffset, 0);
    player.position = 0;  // a released player is at 0
    form->Timer1_Timer();
    EXPECT_EQ(ShownTimeCode(), "00:00:00:00");
    EXPECT_TRUE(form->Waitbox->isHidden());
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 300);
    EXPECT_EQ(form->Indicator->text(), "DONE");
    EXPECT_TRUE(dialog.FileName().isEmpty());
    EXPECT_EQ(player.url, "");
    // Nothing of the recording is left to act on: no bookmarks, no time code of its own.
    EXPECT_TRUE(form->Bookmark->isHidden());
    for (int n = 1; n <= 12; ++n) {
      EXPECT_EQ(form->Bookmark->itemText(n - 1), QString("F%1 = 00:00:00:00").arg(n));
      EXPECT_DOUBLE_EQ(form->BookmarkPos[n], 0) << n;
    }
    EXPECT_EQ(form->STC->text(), "00:00:00:00");
    EXPECT_EQ(form->TCLabel->text(), "ELAPSED TIME");
    EXPECT_EQ(form->TCSource, 1);
    EXPECT_DOUBLE_EQ(form->UserTCValue, 0);
    EXPECT_EQ(form->FDT->text(), "00-00-00");
    EXPECT_EQ(form->Samplerate->text(), "");
  }

  fs::path folder;
};

TEST_F(Finishing, MovesTheRecordingAndItsBookmarkFile) {
  const QString media = OpenRecording(folder, "talk.wav", true);
  form->SetTC_Click();
  form->TCEntry->setText("10:00:00:00");
  int enter = 13;
  form->TCEntry_KeyPress(enter);
  ASSERT_EQ(form->TCLabel->text(), "User Set Time Code");
  player.calls.clear();
  const std::string bookmarks = ReadWholeFile(folder / "talk.BKM");
  ExpectConfirmation("talk.wav");
  ExpectFolderDone(folder);
  form->finished_Click();

  EXPECT_EQ(player.calls, std::vector<std::string>{"URL "});
  EXPECT_FALSE(fs::exists(folder / "talk.wav"));
  EXPECT_FALSE(fs::exists(folder / "talk.BKM"));
  EXPECT_TRUE(fs::is_regular_file(folder / "Completed" / "talk.wav"));
  EXPECT_EQ(ReadWholeFile(folder / "Completed" / "talk.BKM"), bookmarks);
  ExpectEmptyWindow();
  // A second press does nothing; a bookmark key now has no recording's position to go to.
  form->finished_Click();
  player.position = 7;
  int f1 = 112, noShift = 0;
  form->Logo_KeyDown(f1, noShift);
  EXPECT_DOUBLE_EQ(player.position, 0) << "not the finished recording's bookmark at 5 s";

  // The next recording in the same folder, without a bookmark file, goes alone into the same
  // Completed folder.
  OpenRecording(folder, "second.wav", false);
  ExpectConfirmation("second.wav");
  ExpectFolderDone(folder);
  form->finished_Click();
  EXPECT_TRUE(fs::is_regular_file(folder / "Completed" / "second.wav"));
  EXPECT_FALSE(fs::exists(folder / "Completed" / "second.BKM"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "Completed"), {}), 3);
  ExpectEmptyWindow();
}

TEST_F(Finishing, CompletedIsMadeInTheRecordingsOwnFolder) {
  // A folder above whose name holds the file's name leads nowhere else.
  const fs::path own = folder / "old talk.wav files";
  fs::create_directory(own);
  OpenRecording(own, "talk.wav", true);
  ExpectConfirmation("talk.wav");
  ExpectFolderDone(own);
  form->finished_Click();
  EXPECT_TRUE(fs::is_regular_file(own / "Completed" / "talk.wav"));
  EXPECT_TRUE(fs::is_regular_file(own / "Completed" / "talk.BKM"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "nothing made beside it";
  ExpectEmptyWindow();
}

TEST_F(Finishing, NothingOpenOrCancelChangesNothing) {
  form->finished_Click();  // no box either
  EXPECT_TRUE(player.calls.empty());

  const QString media = OpenRecording(folder, "talk.wav", false);
  player.state = MediaPlayer::kPlaying;
  ExpectConfirmation("talk.wav", Answer::Cancel);
  form->finished_Click();
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(dialog.FileName(), media);
  EXPECT_EQ(form->windowTitle(), "Quillmark - talk.wav");
  EXPECT_DOUBLE_EQ(form->TCOffset, 3600);
  EXPECT_TRUE(fs::exists(folder / "talk.wav"));
  EXPECT_FALSE(fs::exists(folder / "Completed"));
}

TEST_F(Finishing, TakenNamesGetAFreeNameAndStayPaired) {
  fs::create_directory(folder / "Completed");
  WriteWholeFile(folder / "Completed" / "talk.wav", "an earlier talk");
  WriteWholeFile(folder / "Completed" / "talk.BKM", "its bookmarks");
  OpenRecording(folder, "talk.wav", true);
  const std::string bookmarks = ReadWholeFile(folder / "talk.BKM");

  ExpectConfirmation("talk.wav");
  messages.Expect("A file named talk.wav is already in the Completed folder, so talk.wav was "
                  "moved there as talk (2).wav.",
                  "FILE RENAMED");
  ExpectFolderDone(folder);
  form->finished_Click();
  EXPECT_EQ(ReadWholeFile(folder / "Completed" / "talk.wav"), "an earlier talk");
  EXPECT_EQ(ReadWholeFile(folder / "Completed" / "talk.BKM"), "its bookmarks");
  EXPECT_TRUE(fs::is_regular_file(folder / "Completed" / "talk (2).wav"));
  EXPECT_EQ(ReadWholeFile(folder / "Completed" / "talk (2).BKM"), bookmarks);
  EXPECT_FALSE(fs::exists(folder / "talk.wav"));
  ExpectEmptyWindow();
}

TEST_F(Finishing, BookmarkNameTakenAloneIsSaid) {
  fs::create_directory(folder / "Completed");
  WriteWholeFile(folder / "Completed" / "talk.BKM", "another recording's bookmarks");
  OpenRecording(folder, "talk.wav", true);
  ExpectConfirmation("talk.wav");
  messages.Expect("A file named talk.BKM is already in the Completed folder, so the bookmark "
                  "file was moved there as talk (2).BKM.",
                  "BOOKMARK FILE RENAMED");
  ExpectFolderDone(folder);
  form->finished_Click();
  EXPECT_TRUE(fs::is_regular_file(folder / "Completed" / "talk.wav"));
  EXPECT_EQ(ReadWholeFile(folder / "Completed" / "talk.BKM"), "another recording's bookmarks");
  EXPECT_TRUE(fs::is_regular_file(folder / "Completed" / "talk (2).BKM"));
}

TEST_F(Finishing, ReadOnlyFolderLeavesTheRecordingOpenWhereItWas) {
  const fs::path readOnly = folder / "read only";
  fs::create_directory(readOnly);
  fs::permissions(folder, fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
  const QString media = OpenRecording(readOnly, "talk.wav", true);
  testing_support::MakeReadOnly(readOnly);
  player.position = 12.5;

  ExpectConfirmation("talk.wav");
  messages.Expect("talk.wav was not moved and stays where it was.\ncannot create the folder " +
                      QString::fromStdString((readOnly / "Completed").string()) +
                      ": Permission denied",
                  "FILE NOT MOVED");
  {
    testing_support::WithoutRootPrivileges unprivileged;
    form->finished_Click();
  }
  fs::permissions(readOnly, fs::perms::owner_all, fs::perm_options::add);

  EXPECT_TRUE(fs::is_regular_file(readOnly / "talk.wav"));
  EXPECT_TRUE(fs::is_regular_file(readOnly / "talk.BKM"));
  EXPECT_FALSE(fs::exists(readOnly / "Completed"));
  // The recording is back in the player where it was, and File Finished can be pressed again.
  const std::vector<std::string> reload{"URL ", "URL " + media.toStdString(), "play", "pause",
                                        "position " + std::to_string(12.5)};
  EXPECT_EQ(player.calls, reload);
  EXPECT_EQ(dialog.FileName(), media);
  EXPECT_EQ(form->windowTitle(), "Quillmark - talk.wav");
  EXPECT_DOUBLE_EQ(form->TCOffset, 3600);
  EXPECT_TRUE(form->Waitbox->isHidden());
  EXPECT_FALSE(form->Timer2->isActive());

  ExpectConfirmation("talk.wav");
  ExpectFolderDone(readOnly);
  form->finished_Click();
  EXPECT_TRUE(fs::is_regular_file(readOnly / "Completed" / "talk.wav"));
  EXPECT_TRUE(fs::is_regular_file(readOnly / "Completed" / "talk.BKM"));
}

TEST_F(Finishing, WaitPanelIndicatorAndDoubleClick) {
  form->Waitbox->show();
  form->Timer2->start();
  form->Indicator->setText(">>>>>");
  const char* const expected[] = {">>>>>>", ">", ">>", ">>>", ">>>>", ">>>>>", ">>>>>>", ">"};
  for (const char* text : expected) {
    form->Timer2_Timer();
    EXPECT_EQ(form->Indicator->text(), text);
  }
  EXPECT_EQ(form->Timer2Tag, "8");  // the splash countdown waits meanwhile
  emit form->Waitbox->DblClick();
  EXPECT_TRUE(form->Waitbox->isHidden());
  EXPECT_FALSE(form->Timer2->isActive());
}

}  // namespace
