// The window's layout rules, the options panel, video size, always-on-top, balance, the default
// frame rate, the diagnostic box and the About panel, on the real window.

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "support/form_fixture.h"
#include "support/wait.h"
#include "twips.h"

namespace {

class Layout : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  QWidget* Player() { return player.view(); }
};

TEST_F(Layout, ResizeRulesPlaceThePlayerAndTheTimeCode) {
  form->SetSize(7380, 7620);
  EXPECT_EQ(HeightTwips(Player()), SnapToPixel(7620 - TopTwips(Player()) - 480));
  EXPECT_EQ(WidthTwips(Player()), SnapToPixel(7380 - LeftTwips(Player()) - 100));
  EXPECT_EQ(TopTwips(form->TCWin), SnapToPixel(7620 - 330 - 540));
  EXPECT_EQ(TopTwips(form->TCLabel), SnapToPixel(TopTwips(form->TCWin) - 195 - 20));
  EXPECT_EQ(TopTwips(form->TChilight), SnapToPixel(TopTwips(form->TCWin) - 30));
  EXPECT_EQ(TopTwips(form->CopyTC), SnapToPixel(TopTwips(form->TCWin) + 50));
  EXPECT_EQ(LeftTwips(form->HeadExt) + WidthTwips(form->HeadExt), 7380);
  EXPECT_EQ(form->TmpLbl->text(), "7620");

  // A window of 1900 or less leaves the player's height alone; the time code still follows.
  const int playerHeight = HeightTwips(Player());
  form->SetSize(7380, 1890);
  EXPECT_EQ(HeightTwips(Player()), playerHeight);
  EXPECT_EQ(TopTwips(form->TCWin), SnapToPixel(1890 - 330 - 540));
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
  EXPECT_EQ(form->Height(), 4020);
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(TopTwips(form->Options) + 1845 + 100));
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
  EXPECT_EQ(HeightTwips(Player()), SnapToPixel(playerHeight - 1845 - 100));
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(TopTwips(form->Options) + 1845 + 100));

  form->Settings_Click();
  EXPECT_EQ(TopTwips(Player()), SnapToPixel(HeightTwips(form->Logo) + 100));
  EXPECT_EQ(HeightTwips(Player()), SnapToPixel(height - TopTwips(Player()) - 480));
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
  EXPECT_EQ(form->Height(), 4020);
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
