// Play speed, the wind step caption, the swap caption and the auto-backup on the real window.

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include "support/form_fixture.h"

namespace {

using SpeedWindBackup = FormTest;

TEST_F(SpeedWindBackup, SpeedSliderSetsRateAndLabel) {
  form->SpeedSlide->setValue(10);
  EXPECT_DOUBLE_EQ(player.rate, 0.1);
  EXPECT_EQ(form->SPlbl->text(), "Speed =  10%");
  form->SpeedSlide->setValue(200);
  EXPECT_DOUBLE_EQ(player.rate, 2.0);
  EXPECT_EQ(form->SPlbl->text(), "Speed =  200%");

  QTest::mouseDClick(form->SPlbl, Qt::LeftButton);
  EXPECT_EQ(form->SpeedSlide->value(), 100);
  EXPECT_DOUBLE_EQ(player.rate, 1.0);
  EXPECT_EQ(form->SPlbl->text(), "Speed =  100%");
}

TEST_F(SpeedWindBackup, Image2ShowsAndHidesTheSpeedControls) {
  form->Image2_Click();
  EXPECT_TRUE(form->SpeedSlide->isHidden());
  EXPECT_TRUE(form->SPlbl->isHidden());
  form->Image2_Click();
  EXPECT_FALSE(form->SpeedSlide->isHidden());
  EXPECT_FALSE(form->SPlbl->isHidden());
  EXPECT_DOUBLE_EQ(player.rate, 1.0);
}

TEST_F(SpeedWindBackup, WindStepAndSwapCaptions) {
  EXPECT_EQ(form->BACKSEC->text(), "5");
  form->RWScroll->setValue(12);
  EXPECT_EQ(form->BACKSEC->text(), "12");
  form->RWScroll->setValue(0);
  EXPECT_EQ(form->BACKSEC->text(), "0");

  EXPECT_EQ(form->SWAPFFRW->text(), "      Swap Rew<Play>Fwd");
  form->SWAPFFRW->setChecked(true);
  EXPECT_EQ(form->SWAPFFRW->text(), "   Swap Rew<Play>Fwd");
  form->SWAPFFRW->setChecked(false);
  EXPECT_EQ(form->SWAPFFRW->text(), "   Swap Fwd<Play>Rew");
}

TEST_F(SpeedWindBackup, AutoBackClicksCycleInHalfSeconds) {
  form->AutoBack_Click();
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup = .5 Sec");
  EXPECT_EQ(ForeColor(form->AutoBack), 0x80FF80);
  form->AutoBack_Click();
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup = 1 Sec");
  for (int click = 3; click <= 10; ++click) form->AutoBack_Click();
  EXPECT_EQ(form->AutoBackSeconds, 5.0f);
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup = 5 Sec");
  form->AutoBack_Click();
  EXPECT_EQ(form->AutoBackSeconds, 0.0f);
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup= OFF");
  EXPECT_EQ(ForeColor(form->AutoBack), 0x8080FF);
}

TEST_F(SpeedWindBackup, AutoBackDoubleClickEndsOff) {
  form->show();
  for (int click = 0; click < 3; ++click) form->AutoBack_Click();
  QTest::mouseDClick(form->AutoBack, Qt::LeftButton);
  EXPECT_EQ(form->AutoBackSeconds, 0.0f);
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup= OFF");
  EXPECT_EQ(ForeColor(form->AutoBack), 0x8080FF);
}

TEST_F(SpeedWindBackup, AutoBackupStepsAPausedPlayerBack) {
  form->AutoBackSeconds = 2;
  player.state = MediaPlayer::kPaused;
  player.position = 1.5;
  form->AutoBackup();
  EXPECT_EQ(player.calls,
            (std::vector<std::string>{"position " + std::to_string(-0.5), "play", "pause"}));
}

TEST_F(SpeedWindBackup, AutoBackupNeedsAPausedPlayerAndSeconds) {
  form->AutoBackSeconds = 2;
  for (int state : {MediaPlayer::kUndefined, MediaPlayer::kStopped, MediaPlayer::kPlaying}) {
    player.state = state;
    form->AutoBackup();
  }
  form->AutoBackSeconds = 0;
  player.state = MediaPlayer::kPaused;
  form->AutoBackup();
  EXPECT_TRUE(player.calls.empty());
}

}  // namespace
