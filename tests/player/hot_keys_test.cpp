// The hot keys of the real window: the order of the tests, which keys are consumed, the
// diagnostic text of the last key, and the refresh when a key is released while paused.

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "support/form_fixture.h"

namespace {

constexpr int kShift = 1, kCtrl = 2, kAlt = 4;
constexpr int kEnter = 13, kEsc = 27, kSpace = 32, kLeft = 37, kRight = 39, kP = 80, kS = 83;
constexpr int kF1 = 112, kF5 = 116, kF12 = 123, kMediaPlayPause = 179;

class HotKeys : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->Aboutscreen->hide();  // the start-up splash is over
  }

  // Presses a key on Logo; returns the key code and shift state as the handler left them.
  std::pair<int, int> Press(int keyCode, int shift, int state = MediaPlayer::kPaused) {
    player.state = state;
    player.calls.clear();
    form->Logo_KeyDown(keyCode, shift);
    return {keyCode, shift};
  }
  using Calls = std::vector<std::string>;
};

TEST_F(HotKeys, FrameStepIsOneOverTheRateWhilePaused) {
  form->Framerate->setText("25.000 ND");
  player.position = 10;
  EXPECT_EQ(Press(kLeft, 0), std::make_pair(0, 0));
  EXPECT_DOUBLE_EQ(player.position, 10 - 1.0 / 25);
  EXPECT_EQ(form->TmpLbl->text(), " 0- 0");  // consumed before the diagnostic text

  form->Framerate->setText("29.970 ND");
  player.position = 10;
  EXPECT_EQ(Press(kRight, 0), std::make_pair(0, 0));
  EXPECT_DOUBLE_EQ(player.position, 10 + 1 / 29.97);

  // The key-up then shows the new frame: play and pause at once.
  form->Logo_KeyUp(kRight, 0);
  EXPECT_EQ(player.calls, (Calls{"position " + std::to_string(10 + 1 / 29.97), "play", "pause"}));
}

TEST_F(HotKeys, ArrowsDoNothingUnlessPaused) {
  form->Framerate->setText("25.000 ND");
  player.position = 10;
  for (int state : {MediaPlayer::kPlaying, MediaPlayer::kStopped, MediaPlayer::kUndefined}) {
    EXPECT_EQ(Press(kLeft, 0, state), std::make_pair(kLeft, 0));
    EXPECT_EQ(Press(kRight, kShift, state), std::make_pair(kRight, kShift));
    EXPECT_TRUE(player.calls.empty());
    form->Logo_KeyUp(kLeft, 0);  // no refresh either
    EXPECT_TRUE(player.calls.empty());
  }
  EXPECT_DOUBLE_EQ(player.position, 10);
  EXPECT_EQ(form->TmpLbl->text(), " 39- 1");
}

TEST_F(HotKeys, SecondStepWithShiftAloneKeepsTheShiftState) {
  player.position = 10;
  EXPECT_EQ(Press(kRight, kShift), std::make_pair(0, kShift));
  EXPECT_DOUBLE_EQ(player.position, 11);
  EXPECT_EQ(form->TmpLbl->text(), " 0- 1");
  EXPECT_EQ(Press(kLeft, kShift), std::make_pair(0, kShift));
  EXPECT_DOUBLE_EQ(player.position, 10);

  // Ctrl or Alt with an arrow is no step at all.
  EXPECT_EQ(Press(kRight, kCtrl), std::make_pair(kRight, kCtrl));
  EXPECT_EQ(Press(kRight, kAlt), std::make_pair(kRight, kAlt));
  EXPECT_EQ(Press(kLeft, kShift | kCtrl), std::make_pair(kLeft, kShift | kCtrl));
  EXPECT_TRUE(player.calls.empty());
  EXPECT_DOUBLE_EQ(player.position, 10);
  EXPECT_EQ(form->TmpLbl->text(), " 37- 3");
}

TEST_F(HotKeys, PlayAndStop) {
  for (int key : {kEnter, kP}) {
    Press(key, 0, MediaPlayer::kStopped);
    EXPECT_EQ(player.calls, Calls{"play"});
  }
  form->TmpLbl->setText("untouched");
  for (int key : {kEsc, kS}) {
    for (int shift : {0, kShift, kCtrl, kAlt}) {
      Press(key, shift, MediaPlayer::kPlaying);
      EXPECT_EQ(player.calls, Calls{"stop"}) << key << " " << shift;
    }
  }
  EXPECT_EQ(form->TmpLbl->text(), "untouched");  // play and stop return before it

  // With a modifier, Enter and P do nothing but show themselves.
  Press(kP, kShift, MediaPlayer::kStopped);
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(form->TmpLbl->text(), " 80- 1");
  Press(kEnter, kShift, MediaPlayer::kStopped);
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(form->TmpLbl->text(), " 13- 1");
}

TEST_F(HotKeys, SpaceAndMediaKeyToggle) {
  for (int key : {kSpace, kMediaPlayPause}) {
    EXPECT_EQ(Press(key, 0, MediaPlayer::kStopped).first, 0);
    EXPECT_EQ(player.calls, Calls{"play"});
    EXPECT_EQ(Press(key, kCtrl, MediaPlayer::kPaused).first, 0);
    EXPECT_EQ(player.calls, Calls{"play"});
    EXPECT_EQ(Press(key, 0, MediaPlayer::kPlaying).first, 0);
    EXPECT_EQ(player.calls, Calls{"pause"});
    // Any other state (nothing loaded, buffering): the key stays as it was.
    EXPECT_EQ(Press(key, 0, MediaPlayer::kUndefined).first, key);
    EXPECT_TRUE(player.calls.empty());
  }
  EXPECT_EQ(form->TmpLbl->text(), " 179- 0");
}

TEST_F(HotKeys, FunctionKeysJumpAloneAndSetWithAnyModifier) {
  form->Framerate->setText("25.000 ND");
  for (int shift : {kShift, kCtrl, kAlt, kShift | kCtrl | kAlt}) {
    player.position = 12 + shift;
    Press(kF5, shift, MediaPlayer::kPlaying);
    EXPECT_DOUBLE_EQ(form->BookmarkPos[5], 12 + shift) << shift;
  }
  EXPECT_EQ(form->Bookmark->itemText(4), "F5 = 00:00:19:00");
  EXPECT_EQ(form->Bookmark->currentIndex(), 4);
  EXPECT_EQ(form->TmpLbl->text(), " 116- 7");

  player.position = 100;
  Press(kF5, 0, MediaPlayer::kPlaying);
  EXPECT_DOUBLE_EQ(player.position, 19);
  EXPECT_DOUBLE_EQ(form->BookmarkPos[5], 19);

  // The twelfth like any other.
  player.position = 30;
  Press(kF12, kShift, MediaPlayer::kPlaying);
  EXPECT_DOUBLE_EQ(form->BookmarkPos[12], 30);
  EXPECT_EQ(form->Bookmark->currentIndex(), 11);
  EXPECT_EQ(form->Bookmark->itemText(11), "F12 = 00:00:30:00");
}

TEST_F(HotKeys, NothingWhileTheEntryBoxOrTheAboutPanelShows) {
  player.position = 10;
  form->TmpLbl->setText("untouched");
  for (QWidget* cover : {static_cast<QWidget*>(form->Aboutscreen),
                         static_cast<QWidget*>(form->TCEntry)}) {
    cover->show();
    for (auto [key, shift] : {std::pair{kSpace, 0}, {kLeft, 0}, {kRight, kShift}, {kF1, 0},
                              {kF1, kShift}, {kEnter, 0}, {kEsc, 0}}) {
      EXPECT_EQ(Press(key, shift), std::make_pair(key, shift));
      EXPECT_TRUE(player.calls.empty()) << key;
    }
    cover->hide();
  }
  EXPECT_DOUBLE_EQ(player.position, 10);
  EXPECT_DOUBLE_EQ(form->BookmarkPos[1], 0);
  EXPECT_EQ(form->TmpLbl->text(), "untouched");
}

TEST_F(HotKeys, QtKeyEventsOnLogoReachTheHandlers) {
  form->Framerate->setText("25.000 ND");
  player.state = MediaPlayer::kPaused;
  player.position = 4;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F3, Qt::ShiftModifier);
  QApplication::sendEvent(form->Logo, &press);
  EXPECT_DOUBLE_EQ(form->BookmarkPos[3], 4);
  EXPECT_EQ(form->TmpLbl->text(), " 114- 1");

  player.calls.clear();
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_F3, Qt::ShiftModifier);
  QApplication::sendEvent(form->Logo, &release);
  EXPECT_EQ(player.calls, (Calls{"play", "pause"}));
}

}  // namespace
