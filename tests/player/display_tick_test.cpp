// The display tick of the real window: rate correction, field carries, the hour wrap, and the
// wind while a pedal switch is held.

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>

#include "support/form_fixture.h"

namespace {

class DisplayTick : public FormTest {
 protected:
  QString Shown() const { return ShownTimeCode(); }
  QString At(double position, const char* caption, double offset = 0) {
    player.position = position;
    form->Framerate->setText(caption);
    form->TCOffset = offset;
    form->Timer1_Timer();
    return Shown();
  }
};

TEST_F(DisplayTick, ShowsTheOffsetWithNothingOpen) {
  EXPECT_EQ(At(0, "30.000 ND"), "00:00:00:00");
  EXPECT_EQ(At(0, "30.000 ND", 3725), "01:02:05:00");
}

TEST_F(DisplayTick, FieldsAndCarries) {
  EXPECT_EQ(At(3661.5, "30.000 ND"), "01:01:01:15");
  // 29.6 frames at 30 fps is frame 0 of the next second, never frame 30.
  EXPECT_EQ(At(10 + 29.6 / 30, "30.000 ND"), "00:00:11:00");
  EXPECT_EQ(At(10.99, "25.000 ND"), "00:00:11:00");
  EXPECT_EQ(At(10.97, "25.000 ND"), "00:00:10:24");
  EXPECT_EQ(At(59.99, "25.000 ND"), "00:01:00:00");
  // The hour wraps once past midnight.
  EXPECT_EQ(At(2, "30.000 ND", 86399), "00:00:01:00");
  EXPECT_EQ(At(0, "30.000 ND", 90000), "01:00:00:00");
}

TEST_F(DisplayTick, RateCorrection) {
  EXPECT_EQ(At(3600, "29.970 ND"), "00:59:56:12");
  EXPECT_EQ(At(3600, "30.000 DF"), "01:00:03:18");
  EXPECT_EQ(At(3600, "29.970 DF"), "01:00:00:00");
  EXPECT_EQ(At(3600, "23.976 nd"), "00:59:56:10");
  EXPECT_EQ(At(3600, "29.97"), "01:00:00:00");
}

TEST_F(DisplayTick, CarriesRunThroughToTheHour) {
  EXPECT_EQ(At(3599.96, "25.000 ND"), "00:59:59:24");
  EXPECT_EQ(At(3599.99, "25.000 ND"), "01:00:00:00");
}

TEST_F(DisplayTick, WindsWhileASwitchIsHeld) {
  serial.open = true;
  form->RWScroll->setValue(15);
  player.position = 10;
  serial.cd = true;  // forward switch
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 11.5);
  // The display shows the position read before the wind.
  EXPECT_EQ(form->TCSecond->text(), "10");

  form->SWAPFFRW->setChecked(true);
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 10);

  serial.cd = false;
  serial.cts = true;  // rewind switch, swapped: forward
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 11.5);
  form->SWAPFFRW->setChecked(false);
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 10);

  serial.cd = true;  // both held: each moves in turn and they cancel out
  player.calls.clear();
  form->Timer1_Timer();
  EXPECT_DOUBLE_EQ(player.position, 10);
  EXPECT_EQ(player.calls.size(), 2u);

  serial.open = false;  // a closed port holds no line
  player.calls.clear();
  form->Timer1_Timer();
  EXPECT_TRUE(player.calls.empty());
}

TEST(DisplayTickWithoutSerial, NoPortNoWind) {
  FakeMediaPlayer player;
  FakeFileDialog dialog;
  FakeMessageBoxes messages;
  FormPlatform platform(player, dialog, messages);
  Form1 form(platform);
  player.position = 5;
  form.Timer1_Timer();
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(form.TCSecond->text(), "05");
}

}  // namespace
