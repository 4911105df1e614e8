// The time code source label and the typed time code, through the real window: the five-step
// cycle, the entry box opened and closed by SetTC, Enter and Esc in it, and the worked examples
// of a typed time code against the running display.

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "support/form_fixture.h"
#include "support/recordings.h"
#include "support/temporary_folder.h"
#include "support/test_media.h"

namespace {

class TypedTimeCode : public FormTest {
 protected:
  // Opens the box at `position`, types `text` and presses Enter; returns the key as left.
  int Type(const char* caption, double position, const QString& text) {
    form->Framerate->setText(caption);
    player.position = position;
    form->SetTC_Click();
    form->TCEntry->setText(text);
    int key = 13;
    form->TCEntry_KeyPress(key);
    return key;
  }
  QString DisplayNow() {
    form->Timer1_Timer();
    return ShownTimeCode();
  }
};

TEST_F(TypedTimeCode, SetTCOpensTheBoxWithTheShownTimeCodeAndClosesIt) {
  form->Framerate->setText("25.000 ND");
  player.position = 3661.48;
  form->Timer1_Timer();
  form->SetTC_Click();
  EXPECT_FALSE(form->TCEntry->isHidden());
  EXPECT_EQ(form->TCEntry->text(), "01:01:01:12");
  EXPECT_EQ(form->TCLabel->text(), "SET TIME CODE");
  EXPECT_EQ(player.calls, std::vector<std::string>{"pause"});
  EXPECT_EQ(form->focusWidget(), form->TCEntry);

  form->SetTC_Click();
  EXPECT_TRUE(form->TCEntry->isHidden());
  EXPECT_EQ(form->TCLabel->text(), "ELAPSED TIME");
  EXPECT_EQ(form->focusWidget(), form->Logo);
}

// Closing the box without a new time code, or a text whose fields are not all digits, leaves the
// recording's time code as it was and the label naming it.
TEST_F(TypedTimeCode, ClosingOrRefusingLeavesTheRecordingsTimeCode) {
  ASSERT_TRUE(test_media::WriteBroadcastWave(Path("take.wav"), "FRAMERATE=25.000 ND\r\n",
                                             172800000));
  Open(Path("take.wav"));
  ASSERT_EQ(form->TCLabel->text(), "BWF Time Code");
  const auto unchanged = [&](const char* how) {
    EXPECT_TRUE(form->TCEntry->isHidden()) << how;
    EXPECT_EQ(form->TCLabel->text(), "BWF Time Code") << how;
    EXPECT_EQ(form->TCSource, 3) << how;
    EXPECT_DOUBLE_EQ(form->TCOffset, 3600) << how;
    EXPECT_DOUBLE_EQ(form->UserTCValue, 0) << how;
    EXPECT_EQ(form->STC->text(), "01:00:00:00") << how;
    EXPECT_EQ(DisplayNow(), "01:00:00:00") << how;
    EXPECT_FALSE(QDir(dir.path()).exists("take.BKM")) << how;
  };
  form->SetTC_Click();
  int esc = 27;
  form->TCEntry_KeyPress(esc);
  unchanged("Esc");
  form->SetTC_Click();
  form->SetTC_Click();
  unchanged("Set TC twice");

  for (const char* garbage : {"ab:cd:ef:gh", "10:00:00:0x", "10:0?:00:00"}) {
    messages.Expect("ENTRY Must Be formated as HH:MM:SS:FF", "Entry Format Error");
    form->SetTC_Click();
    form->TCEntry->setText(garbage);
    int enter = 13;
    form->TCEntry_KeyPress(enter);
    EXPECT_EQ(enter, 0);
    EXPECT_FALSE(form->TCEntry->isHidden()) << garbage;
    EXPECT_EQ(form->TCEntry->text(), garbage);
    form->SetTC_Click();
    unchanged(garbage);
  }
  EXPECT_EQ(messages.shown, 3);
}

TEST_F(TypedTimeCode, WorkedExamples) {
  EXPECT_EQ(Type("30.000 ND", 60, "10:00:00:00"), 0);
  EXPECT_DOUBLE_EQ(form->TCOffset, 35940);
  EXPECT_DOUBLE_EQ(form->UserTCValue, 35940);
  EXPECT_EQ(form->STC->text(), "09:59:00:00");
  EXPECT_EQ(form->TCLabel->text(), "User Set Time Code");
  EXPECT_EQ(form->TCSource, 5);
  EXPECT_TRUE(form->TCEntry->isHidden());
  EXPECT_EQ(form->focusWidget(), form->Logo);
  EXPECT_EQ(DisplayNow(), "10:00:00:00");

  Type("25.000 ND", 0, "01:00:00:24");
  EXPECT_DOUBLE_EQ(form->UserTCValue, 3600.96);
  EXPECT_EQ(form->STC->text(), "01:00:00:24");
  EXPECT_EQ(DisplayNow(), "01:00:00:24");

  // The entry scales a non-drop count by 0.999, the display by 0.999001: within a frame.
  Type("29.970 ND", 100, "01:00:00:00");
  EXPECT_NEAR(form->TCOffset, 3500.1, 1e-9);
  EXPECT_EQ(DisplayNow(), "01:00:00:00");

  // Drop-frame at 30 counts 1.001 seconds per second in the entry.
  Type("30.000 DF", 1000, "01:00:00:00");
  EXPECT_NEAR(form->TCOffset, 3600 - 1001, 1e-9);
}

TEST_F(TypedTimeCode, WrongLengthIsReportedAndTheBoxStaysOpen) {
  messages.Expect("ENTRY Must Be formated as HH:MM:SS:FF", "Entry Format Error");
  EXPECT_EQ(Type("30.000 ND", 60, "1:00:00:00"), 0);
  EXPECT_FALSE(form->TCEntry->isHidden());
  EXPECT_EQ(form->TCEntry->text(), "1:00:00:00");
  EXPECT_DOUBLE_EQ(form->TCOffset, 0);
  EXPECT_EQ(form->TCLabel->text(), "SET TIME CODE");

  // Eleven characters with digits in every field pass, whatever the separators.
  int key = 13;
  form->TCEntry->setText("01-00-30 05");
  form->TCEntry_KeyPress(key);
  EXPECT_DOUBLE_EQ(form->UserTCValue, 3600 + 30 + 5 / 30.0 - 60);
}

TEST_F(TypedTimeCode, KeysTypedIntoTheBox) {
  form->Framerate->setText("30.000 ND");
  form->SetTC_Click();
  form->TCEntry->setText("10:00:00:00");
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  EXPECT_TRUE(QApplication::sendEvent(form->TCEntry, &esc));  // swallowed
  EXPECT_TRUE(form->TCEntry->isHidden());
  EXPECT_EQ(form->TCLabel->text(), "ELAPSED TIME");  // the source counted from, as before
  EXPECT_DOUBLE_EQ(form->TCOffset, 0);
  EXPECT_EQ(form->focusWidget(), form->Logo);

  form->SetTC_Click();
  form->TCEntry->setText("10:00:00:00");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(form->TCEntry, &enter);
  EXPECT_TRUE(form->TCEntry->isHidden());
  EXPECT_DOUBLE_EQ(form->TCOffset, 36000);
  // With no recording open nothing is written.
  EXPECT_TRUE(form->BookmarkFile.isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(TypedTimeCode, IsKeptInTheBookmarkFile) {
  const QString media = Path("talk.wav");
  ASSERT_TRUE(test_media::WriteTone(media, 1));
  Open(media);
  Type("30.000 ND", 60, "10:00:00:00");
  EXPECT_EQ(form->BookmarkFile, Path("talk.BKM"));
  const std::string written = testing_support::ReadWholeFile(Path("talk.BKM").toStdString());
  EXPECT_NE(written.find("\r\n 35940 User TC=10:00:00:00\r\n"), std::string::npos) << written;
  EXPECT_EQ(written.rfind(" 0 F1 = 00:00:00:00\r\n", 0), 0u) << written;
}

TEST_F(TypedTimeCode, SourceCycle) {
  form->ID3StartTC = 2;
  form->BWFStartTC = 3;
  form->TODStartTC = 4;
  form->UserTCValue = 5;
  form->TCSource = 1;
  const std::pair<const char*, double> rows[] = {{"ID3 TIME CODE", 2},
                                                 {"BWF TIME CODE", 3},
                                                 {"T.O.D. TIME CODE", 4},
                                                 {"User Set TIME CODE", 5},
                                                 {"ELAPSED TIME", 0}};
  for (int click = 0; click < 11; ++click) {
    form->TCLabel_Click();
    EXPECT_EQ(form->TCLabel->text(), rows[click % 5].first) << click;
    EXPECT_DOUBLE_EQ(form->TCOffset, rows[click % 5].second) << click;
  }
  EXPECT_EQ(form->TCSource, 2);

  // While the box is open the label still switches, and the box stays.
  form->SetTC_Click();
  form->TCLabel_Click();
  EXPECT_EQ(form->TCSource, 3);
  EXPECT_EQ(form->TCLabel->text(), "BWF TIME CODE");
  EXPECT_FALSE(form->TCEntry->isHidden());
}

}  // namespace
