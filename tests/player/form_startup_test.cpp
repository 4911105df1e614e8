// Start-up, the splash, the options panel's Close button and shut-down of the real window.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

#include "support/form_fixture.h"
#include "twips.h"

namespace {

using StartUp = FormTest;

TEST_F(StartUp, WindowControlsAndState) {
  EXPECT_EQ(form->windowTitle(), "Quillmark");
  EXPECT_EQ(form->Width(), 5400);
  // The compact window, with the position bar's band below it.
  EXPECT_EQ(form->Height(), 2175 + form->WaveformHeight());
  EXPECT_EQ(form->Duration->text(), "");
  EXPECT_EQ(LeftTwips(form->TCEntry), 15);
  EXPECT_EQ(TopTwips(form->TCEntry), 0);
  EXPECT_EQ(TopTwips(form->Options), TopTwips(form->Logo) + HeightTwips(form->Logo));
  EXPECT_EQ(LeftTwips(form->Options), SnapToPixel(10));
  EXPECT_FALSE(form->Options->isVisibleTo(form.get()));

  ASSERT_EQ(form->DEFAULTTC->count(), 5);
  EXPECT_EQ(form->DEFAULTTC->itemText(0), "30.000");
  EXPECT_EQ(form->DEFAULTTC->itemText(4), "23.976");
  EXPECT_EQ(form->DEFAULTTC->placeholderText(), "30.000 ");
  ASSERT_EQ(form->DEFAULTDF->count(), 2);
  EXPECT_EQ(form->DEFAULTDF->itemText(1), "DF");
  EXPECT_EQ(form->TCFormat->currentIndex(), 1);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(form->PedalPort->itemText(i), QString("COM %1").arg(i + 1));
    EXPECT_EQ(form->PedalPort->itemData(i).toInt(), i + 1);
  }

  ASSERT_EQ(form->Bookmark->count(), 12);
  EXPECT_EQ(form->Bookmark->itemText(0), "F1 - 00:00:00:00");
  EXPECT_EQ(form->Bookmark->itemText(11), "F12 - 00:00:00:00");
  EXPECT_EQ(form->Bookmark->placeholderText(), "Bookmarks");

  EXPECT_EQ(form->TCSource, 0);
  EXPECT_EQ(form->TCOffset, 0);
  EXPECT_TRUE(form->MediaExt.isEmpty());
  EXPECT_EQ(form->Framerate->text(), "30.000 ND");
  EXPECT_EQ(form->TCLabel->text(), "ELAPSED TIME");
  EXPECT_EQ(form->FDT->text(), "00-00-00");
  for (QLabel* field : {form->TCHour, form->TCMin, form->TCSecond, form->TCFrame}) {
    EXPECT_EQ(field->text(), "00");
  }
  EXPECT_EQ(form->LGND[1]->text(), "FFWD && RWD Speed ");
  EXPECT_EQ(form->VersionLabel->text(), "Version: 1.040");
  EXPECT_EQ(form->Fileopen->toolTip(), "Open File");
  EXPECT_EQ(form->CopyTC->toolTip(), "Copy TC to Clipboard");
  // The player's area is the player's own view, placed in the window.
  EXPECT_EQ(player.view()->parentWidget(), form.get());
}

TEST_F(StartUp, AutoBackCaptionForms) {
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup= OFF");
  EXPECT_EQ(ForeColor(form->AutoBack), 0x8080FF);

  form->AutoBackSeconds = 3;
  form->ShowAutoBackSetting();
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup = 3 Sec");
  EXPECT_EQ(ForeColor(form->AutoBack), 0x80FF80);

  form->AutoBackSeconds = 2.5f;
  form->ShowAutoBackSetting();
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup = 2.5 Sec");

  form->AutoBackSeconds = -1;
  form->ShowAutoBackSetting();
  EXPECT_EQ(form->AutoBack->text(), "AutoBackup= OFF");
  EXPECT_EQ(ForeColor(form->AutoBack), 0x8080FF);
}

TEST_F(StartUp, SplashHidesOnTheEighthTick) {
  form->show();
  EXPECT_TRUE(form->Aboutscreen->isVisible());
  form->Timer2->start();
  for (int tick = 1; tick <= 7; ++tick) {
    form->Timer2_Timer();
    EXPECT_TRUE(form->Aboutscreen->isVisible()) << "tick " << tick;
  }
  EXPECT_EQ(form->Timer2Tag, "1");
  form->Timer2_Timer();
  EXPECT_FALSE(form->Aboutscreen->isVisible());
  EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(StartUp, CountdownPausesWhileTheWaitPanelIsUp) {
  form->show();
  form->Waitbox->show();
  for (int tick = 0; tick < 10; ++tick) form->Timer2_Timer();
  EXPECT_EQ(form->Timer2Tag, "8");
  EXPECT_TRUE(form->Aboutscreen->isVisible());
}

TEST_F(StartUp, TimersRunFromStartUp) {
  FormPlatform platform(player, dialog, messages);
  Form1 other(platform);
  EXPECT_TRUE(other.Timer1->isActive());
  EXPECT_EQ(other.Timer1->interval(), 60);
  EXPECT_TRUE(other.Timer2->isActive());
  EXPECT_EQ(other.Timer2->interval(), 500);
}

TEST_F(StartUp, CloseButtonHidesTheOptionsAndShrinksANormalWindow) {
  form->show();
  form->Options->show();
  form->SetHeight(form->Height() + HeightTwips(form->Options));
  ASSERT_EQ(form->Height(), 2175 + form->WaveformHeight() + HeightTwips(form->Options));
  form->TCEntry->setFocus();

  form->Closemenu_Click();
  EXPECT_FALSE(form->Options->isVisible());
  EXPECT_EQ(form->Height(), 2175 + form->WaveformHeight());
  EXPECT_EQ(TopTwips(player.view()), SnapToPixel(HeightTwips(form->Logo) + 100));
  EXPECT_EQ(form->focusWidget(), form->Logo);
}

TEST_F(StartUp, CloseButtonLeavesAMinimisedWindowAlone) {
  form->show();
  form->Options->show();
  const int height = form->Height();
  const int playerTop = TopTwips(player.view());
  form->setWindowState(Qt::WindowMinimized);
  ASSERT_EQ(form->WindowState(), 1);
  form->Closemenu_Click();
  EXPECT_FALSE(form->Options->isVisibleTo(form.get()));
  EXPECT_EQ(form->Height(), height);
  EXPECT_EQ(TopTwips(player.view()), playerTop);
}

TEST_F(StartUp, ShutDownReleasesTheRecordingFirst) {
  form->show();
  form->close();
  ASSERT_FALSE(player.calls.empty());
  EXPECT_EQ(player.calls.front(), "URL ");
  EXPECT_FALSE(form->Options->isVisible());
}

}  // namespace
