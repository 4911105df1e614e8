// The window's layout rules, the options panel, video size, always-on-top, balance, the default
// frame rate, the diagnostic box and the About panel, on the real window.

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "platform/media_player.h"
#include "support/form_fixture.h"
#include "support/wait.h"
#include "twips.h"

namespace {

// The window's own rules, on the window without the position bar (as "Show Waveform" unticked
// leaves it); the bar's band is checked with the bar.
class Layout : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->ShowWaveform->setChecked(false);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  QWidget* Player() { return player.view(); }
};

TEST_F(Layout, ResizeRulesPlaceThePlayerAndTheTimeCode) {
  form->SetSize(7380, 7620);
  const int timeCodeTop = SnapToPixel(7620 - 330 - 540);
  EXPECT_EQ(TopTwips(form->TCWin), timeCodeTop);
  EXPECT_EQ(TopTwips(form->TCLabel), SnapToPixel(timeCodeTop - 195 - 20));
  EXPECT_EQ(TopTwips(form->TChilight), SnapToPixel(timeCodeTop - 30));
  EXPECT_EQ(TopTwips(form->CopyTC), SnapToPixel(timeCodeTop + 50));
  // The player reaches down to just above the time code's name.
  const int playerBottom = TopTwips(Player()) + HeightTwips(Player());
  EXPECT_LE(playerBottom, TopTwips(form->TCLabel));
  EXPECT_GE(playerBottom, TopTwips(form->TCLabel) - 120);
  EXPECT_EQ(WidthTwips(Player()), SnapToPixel(7380 - LeftTwips(Player()) - 100));
  // The strip and its header reach the right edge of the window's inside.
  EXPECT_EQ(WidthTwips(form->Logo), 7380 - kFrameWidthTwips);
  EXPECT_EQ(LeftTwips(form->HeadExt) + WidthTwips(form->HeadExt), 7380 - kFrameWidthTwips);
  EXPECT_EQ(form->TmpLbl->text(), "7620");

  // The window cannot be made lower than the compact window.
  form->SetSize(7380, 1890);
  EXPECT_EQ(form->Height(), 2175);
  EXPECT_EQ(TopTwips(form->TCWin), SnapToPixel(2175 - 330 - 540));
}

TEST_F(Layout, ResizingWithThePanelOpenKeepsThePlayerSize) {
  form->Settings_Click();
  const QSize before = Player()->size();
  form->SetSize(7380, 7620);
  EXPECT_EQ(Player()->size(), before);
  EXPECT_EQ(TopTwips(form->TCWin), SnapToPixel(7620 - 330 - 540));
}

TEST_F(Layout, SettingsButtonOpensAndClosesThePanelInANormalWindow) {
  ASSERT_EQ(form->Height(), 2175);
  form->Settings_Click();
  EXPECT_TRUE(form->Options->isVisible());
  EXPECT_EQ(form->Height(), 2175 + HeightTwips(form->Options));
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(TopTwips(form->Options) + HeightTwips(form->Options) + 100));
  EXPECT_EQ(form->focusWidget(), form->Logo);

  form->Settings_Click();
  EXPECT_FALSE(form->Options->isVisible());
  EXPECT_EQ(form->Height(), 2175);
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(HeightTwips(form->Logo) + 100));
  EXPECT_EQ(form->focusWidget(), form->Logo);
  EXPECT_FALSE(std::filesystem::exists(Path("Quillmark.inf").toStdString()))
      << "closing the panel with the Settings button does not save";
}

TEST_F(Layout, SettingsButtonInAMaximisedWindowShrinksThePlayer) {
  form->SetSize(7380, 7620);
  form->setWindowState(Qt::WindowMaximized);
  ASSERT_TRUE(WaitUntil([&] { return form->WindowState() == 2; }));
  const int height = form->Height();
  const int playerHeight = HeightTwips(Player());
  form->Settings_Click();
  EXPECT_EQ(form->Height(), height);
  EXPECT_EQ(HeightTwips(Player()), SnapToPixel(playerHeight - HeightTwips(form->Options) - 100));
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(TopTwips(form->Options) + HeightTwips(form->Options) + 100));

  form->Settings_Click();
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(HeightTwips(form->Logo) + 100));
  const int playerBottom = TopTwips(Player()) + HeightTwips(Player());
  EXPECT_LE(playerBottom, TopTwips(form->TCLabel));
  EXPECT_GE(playerBottom, TopTwips(form->TCLabel) - 120);
}

TEST_F(Layout, SettingsButtonInAMinimisedWindowOnlyShowsThePanel) {
  form->setWindowState(Qt::WindowMinimized);
  ASSERT_EQ(form->WindowState(), 1);
  const int height = form->Height();
  const int playerTop = TopTwips(Player());
  form->Settings_Click();
  EXPECT_FALSE(form->Options->isHidden());
  EXPECT_EQ(form->Height(), height);
  EXPECT_EQ(TopTwips(Player()), playerTop);
}

TEST_F(Layout, VideoSizeTogglesBetweenCompactAndTall) {
  form->Videosize_Click();
  EXPECT_EQ(form->Width(), 7380);
  EXPECT_EQ(form->Height(), 7620);
  EXPECT_EQ(form->Videosize->toolTip(), "Show Video");
  EXPECT_EQ(form->focusWidget(), form->Logo);
  form->Videosize_Click();
  EXPECT_EQ(form->Width(), 5400);
  EXPECT_EQ(form->Height(), 2175);

  form->SetSize(6000, 3000);
  form->Videosize_Click();
  EXPECT_EQ(form->Width(), 6000);
  EXPECT_EQ(form->Height(), 3000);

  form->SetSize(5400, 2175);
  form->Settings_Click();
  form->Videosize_Click();
  EXPECT_EQ(form->Width(), 5400);
  EXPECT_EQ(form->Height(), 2175 + HeightTwips(form->Options));
  form->Settings_Click();

  form->setWindowState(Qt::WindowMaximized);
  ASSERT_TRUE(WaitUntil([&] { return form->WindowState() == 2; }));
  const QSize maximised = form->size();
  form->Videosize_Click();
  EXPECT_EQ(form->size(), maximised);
}

TEST_F(Layout, AlwaysOnTopKeepsPositionAndSize) {
  const QRect placed = form->geometry();
  form->Ontop->setChecked(true);
  EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->geometry().size(), placed.size());
  form->Ontop->setChecked(false);
  EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(form->isVisible());
}

TEST_F(Layout, BalanceAndDefaultFrameRate) {
  form->Bal->setValue(0);
  EXPECT_EQ(player.balance, -100);
  form->Bal->setValue(200);
  EXPECT_EQ(player.balance, 100);
  form->Bal->setValue(100);
  EXPECT_EQ(player.balance, 0);

  form->DEFAULTTC->setCurrentIndex(4);
  EXPECT_EQ(form->Framerate->text(), "23.976 ND");  // DEFAULTDF shows its initial text
  EXPECT_EQ(ForeColor(form->Framerate), 0x0000FF);
  form->DEFAULTDF->setCurrentIndex(1);
  EXPECT_EQ(form->Framerate->text(), "23.976 DF");

  // Choosing the same row again puts back a caption a reader replaced.
  form->Framerate->setText("25.000 ND");
  emit form->DEFAULTDF->activated(1);
  EXPECT_EQ(form->Framerate->text(), "23.976 DF");
}

TEST_F(Layout, ShiftRightClickOnDbgshowTogglesTheDiagnosticBox) {
  form->Settings_Click();
  QTest::mousePress(form->Dbgshow, Qt::RightButton, Qt::ControlModifier);
  QTest::mousePress(form->Dbgshow, Qt::RightButton, Qt::NoModifier);
  QTest::mousePress(form->Dbgshow, Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_TRUE(form->Dbugtxt->isHidden());

  QTest::mousePress(form->Dbgshow, Qt::RightButton, Qt::ShiftModifier);
  EXPECT_TRUE(form->Dbugtxt->isVisible());
  EXPECT_EQ(form->Dbugtxt->geometry().top(), form->Shape1->geometry().top());
  EXPECT_EQ(form->Dbugtxt->geometry().left(), form->Shape1->geometry().left());
  EXPECT_EQ(form->Dbugtxt->height(), form->Shape1->height());
  QTest::mousePress(form->Dbgshow, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_TRUE(form->Dbugtxt->isVisible());
  QTest::mousePress(form->Dbgshow, Qt::RightButton, Qt::ShiftModifier);
  EXPECT_TRUE(form->Dbugtxt->isHidden());
}

// Shift+right-clicks as the window system delivers them, to whatever lies under the mouse.
TEST_F(Layout, TheSameGestureHidesTheDiagnosticBoxAndThePanelStaysUsable) {
  form->Settings_Click();
  const QPoint image = form->Dbgshow->mapTo(form.get(), form->Dbgshow->rect().center());
  auto shiftRightClick = [&] {
    // Only a click that reaches the image is sent: one on the box would open its menu.
    QWidget* under = form->childAt(image);
    ASSERT_EQ(under, form->Dbgshow) << "the image is under " << under->objectName().toStdString();
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, Qt::ShiftModifier, image);
  };
  shiftRightClick();
  ASSERT_TRUE(form->Dbugtxt->isVisible());
  // The row below the box stays in reach while it shows.
  for (QWidget* control : {static_cast<QWidget*>(form->Closemenu), static_cast<QWidget*>(form->Bal),
                           static_cast<QWidget*>(form->DEFAULTTC)}) {
    EXPECT_EQ(form->childAt(control->mapTo(form.get(), control->rect().center())), control)
        << control->objectName().toStdString();
  }
  shiftRightClick();
  EXPECT_TRUE(form->Dbugtxt->isHidden());

  // Left showing when the panel closes, the box is gone when it opens again.
  shiftRightClick();
  QTest::mouseClick(form->Settings, Qt::LeftButton);
  QTest::mouseClick(form->Settings, Qt::LeftButton);
  ASSERT_TRUE(form->Options->isVisible());
  EXPECT_TRUE(form->Dbugtxt->isHidden());
  shiftRightClick();
  QTest::mouseClick(form->Closemenu, Qt::LeftButton);
  form->Settings_Click();
  EXPECT_TRUE(form->Dbugtxt->isHidden());
}

// Real clicks on the option controls, then a real Space: it plays, and no box changes.
TEST_F(Layout, ClickedControlsLeaveTheKeysWithLogo) {
  form->Aboutscreen->hide();
  form->Settings_Click();
  // The first call a Space makes (its release then refreshes the paused player).
  auto space = [&] {
    player.calls.clear();
    player.state = MediaPlayer::kPaused;
    QTest::keyClick(form->windowHandle(), Qt::Key_Space);
    return player.calls.empty() ? std::string() : player.calls.front();
  };
  for (QCheckBox* box : {form->SWAPFFRW, form->Ontop, form->TODTC, form->PEDALON}) {
    QTest::mouseClick(box, Qt::LeftButton);
    const bool checked = box->isChecked();
    EXPECT_EQ(form->focusWidget(), form->Logo) << box->objectName().toStdString();
    EXPECT_EQ(space(), "play") << box->objectName().toStdString();
    EXPECT_EQ(box->isChecked(), checked) << box->objectName().toStdString();
  }
  for (QComboBox* list : {form->DEFAULTTC, form->TCFormat, form->TCPaste, form->PedalPort}) {
    QTest::mouseClick(list, Qt::LeftButton);
    list->hidePopup();
    EXPECT_EQ(form->focusWidget(), form->Logo) << list->objectName().toStdString();
    EXPECT_EQ(space(), "play") << list->objectName().toStdString();
  }
  // No other control the window shows takes the focus from a click, those added later included.
  form->Bookmark->show();
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (control == form->Logo || control == static_cast<QWidget*>(form->TCEntry) ||
        control->window() != form.get()) {
      continue;
    }
    EXPECT_FALSE(control->focusPolicy() & Qt::ClickFocus)
        << control->objectName().toStdString() << " " << control->metaObject()->className();
  }
}

// "Audio..." opens the audio page in place of the options' box: real clicks on its controls reach
// the player at once, each leaves the keys with Logo, and the box comes back when it closes.
TEST_F(Layout, TheAudioPageSetsTheSoundAndLeavesTheKeysWithLogo) {
  form->Aboutscreen->hide();
  form->Settings_Click();
  const auto keysWithLogo = [&](const char* what) {
    EXPECT_EQ(form->focusWidget(), form->Logo) << what;
    player.calls.clear();
    player.state = MediaPlayer::kPaused;
    QTest::keyClick(form->windowHandle(), Qt::Key_Space);
    EXPECT_FALSE(player.calls.empty() || player.calls.front() != "play") << what;
  };
  QTest::mouseClick(form->AudioBtn, Qt::LeftButton);
  ASSERT_TRUE(form->AudioPanel->isVisible());
  EXPECT_FALSE(form->PedalPort->isVisible()) << "the box is put away under the page";
  EXPECT_TRUE(form->Bal->isVisible()) << "the balance below stays in reach";
  keysWithLogo("Audio...");

  // The slider's handle dragged to the right end.
  QStyleOptionSlider handle;
  handle.initFrom(form->VolumeSlide);
  handle.orientation = Qt::Horizontal;
  handle.minimum = form->VolumeSlide->minimum();
  handle.maximum = form->VolumeSlide->maximum();
  handle.sliderPosition = handle.sliderValue = form->VolumeSlide->value();
  const QPoint grip = form->VolumeSlide->style()
                          ->subControlRect(QStyle::CC_Slider, &handle, QStyle::SC_SliderHandle,
                                           form->VolumeSlide)
                          .center();
  QTest::mousePress(form->VolumeSlide, Qt::LeftButton, {}, grip);
  QTest::mouseMove(form->VolumeSlide, QPoint(form->VolumeSlide->width() + 20, grip.y()));
  QTest::mouseRelease(form->VolumeSlide, Qt::LeftButton, {},
                      QPoint(form->VolumeSlide->width() + 20, grip.y()));
  EXPECT_EQ(player.audio.volumePercent, 400);
  EXPECT_EQ(form->VolumeLbl->text(), "400 %");
  keysWithLogo("volume");
  QTest::mouseDClick(form->VolumeLbl, Qt::LeftButton);
  EXPECT_EQ(player.audio.volumePercent, 100);
  for (QCheckBox* box : {form->LevelSpeech, form->CutRumble}) {
    QTest::mouseClick(box, Qt::LeftButton);
    keysWithLogo(box->objectName().toLatin1());
  }
  EXPECT_TRUE(player.audio.levelSpeech);
  EXPECT_TRUE(player.audio.cutRumble);
  for (QComboBox* list : {form->ReduceNoise, form->Channel}) {
    QTest::mouseClick(list, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return list->view()->isVisible(); }));
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    keysWithLogo(list->objectName().toLatin1());
  }
  EXPECT_EQ(player.audio.noise, audio::NoiseReduction::Low);
  EXPECT_EQ(player.audio.channel, audio::Channel::LeftOnly);

  QTest::mouseClick(form->AudioDone, Qt::LeftButton);
  EXPECT_FALSE(form->AudioPanel->isVisible());
  EXPECT_TRUE(form->PedalPort->isVisible());
  EXPECT_FALSE(form->Dbugtxt->isVisible()) << "what was hidden before stays hidden";
  keysWithLogo("Done");
  // Closing the options panel closes the page with it; the next opening shows the box.
  form->AudioBtn_Click();
  form->Closemenu_Click();
  form->Settings_Click();
  EXPECT_FALSE(form->AudioPanel->isVisible());
  EXPECT_TRUE(form->PedalPort->isVisible());
}

TEST_F(Layout, AboutPanelMovesThePlayerBelowItAndBack) {
  form->Aboutscreen->hide();
  QTest::mouseClick(form->Aboutbtn, Qt::LeftButton);
  EXPECT_TRUE(form->Aboutscreen->isVisible());
  EXPECT_EQ(form->Aboutscreen->pos(), QPoint(0, 0));
  EXPECT_EQ(TopTwips(Player()), HeightTwips(form->Aboutscreen));
  EXPECT_EQ(form->focusWidget(), form->Logo);
  EXPECT_TRUE(player.calls.empty()) << "playback is left as it is";

  QTest::mouseClick(form->Closebtn, Qt::LeftButton);
  EXPECT_FALSE(form->Aboutscreen->isVisible());
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(HeightTwips(form->Logo) + 100));
}

}  // namespace
