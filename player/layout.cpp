// The window's layout rules, the options panel and video size buttons, always-on-top, the
// balance, the default frame rate, the diagnostic text and the About panel.

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QSlider>
#include <algorithm>

#include "form1.h"
#include "platform/media_player.h"
#include "twips.h"

namespace {
constexpr int kRed = 0x0000FF;
constexpr int kCompactWidth = 5400;
constexpr int kCompactHeight = 2175;
constexpr int kVideoWidth = 7380;
constexpr int kVideoHeight = 7620;
constexpr int kVideoSizeThreshold = 6000;
constexpr int kRightButton = 2;
constexpr int kShiftOnly = 1;
// Between the bottom of the player and the name of the time code below it.
constexpr int kTimeCodeGap = 90;
}  // namespace

void Form1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void Form1::Form_Resize() {
  const int height = Height();
  const int width = Width();
  QWidget* player = MP1->view();
  // The time code sits at the bottom of the window, its name above it. Only while the open
  // options panel reaches down to where it would go does it stay at the foot of the strip, where
  // the compact window has it, above the panel.
  const int nameHeight = HeightTwips(TCLabel) + 20;
  // The position bar, while it shows, takes the foot of the window below the time code.
  int timeCodeTop = height - HeightTwips(TCWin) - 540 - WaveformHeight();
  if (!Options->isHidden() &&
      timeCodeTop - nameHeight < TopTwips(Options) + HeightTwips(Options)) {
    timeCodeTop = kCompactHeight - HeightTwips(TCWin) - 540;
  }
  // The player fills the window below the strip down to the time code, except while the options
  // panel pushes it down.
  const int playerBottom = timeCodeTop - nameHeight - kTimeCodeGap;
  if (height > 1900 && Options->isHidden()) {
    PlaceTwips(player, LeftTwips(player), TopTwips(player), WidthTwips(player),
               std::max(0, playerBottom - TopTwips(player)));
  }
  if (width > 900 && Options->isHidden()) {
    PlaceTwips(player, LeftTwips(player), TopTwips(player),
               std::max(0, width - LeftTwips(player) - 100), HeightTwips(player));
  }
  SetTopTwips(TCWin, timeCodeTop);
  // The strip and its header image reach the right edge.
  PlaceTwips(Logo, LeftTwips(Logo), TopTwips(Logo), width - kFrameWidthTwips, HeightTwips(Logo));
  if (LeftTwips(HeadExt) + 500 < width) {
    PlaceTwips(HeadExt, LeftTwips(HeadExt), TopTwips(HeadExt),
               width - kFrameWidthTwips - LeftTwips(HeadExt), HeightTwips(HeadExt));
  }
  SetTopTwips(TCLabel, TopTwips(TCWin) - HeightTwips(TCLabel) - 20);
  TmpLbl->setText(QString::number(height));
  SetTopTwips(TChilight, TopTwips(TCWin) - 30);
  SetTopTwips(CopyTC, TopTwips(TCWin) + 50);
  PlaceWaveform();
}

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) FitMinimumSize();
}

void Form1::FitMinimumSize() {
  // Never smaller than the compact window, and, while the panel is open, tall enough for it; a
  // minimised window keeps its size until it is restored.
  const bool panel = !Options->isHidden() && WindowState() != 1;
  setMinimumSize(Px(kCompactWidth - kFrameWidthTwips),
                 Px(kCompactHeight - kFrameHeightTwips + WaveformHeight() +
                    (panel ? HeightTwips(Options) : 0)));
}

void Form1::Settings_Click() {
  QWidget* player = MP1->view();
  const int below = TopTwips(Options) + HeightTwips(Options) + 100;
  if (Options->isHidden()) {
    Options->show();
    if (WindowState() == 0) {
      SetTopTwips(player, below);
      SetHeight(Height() + HeightTwips(Options));
    } else if (WindowState() == 2) {
      SetHeightTwips(player, std::max(0, HeightTwips(player) - HeightTwips(Options) - 100));
      SetTopTwips(player, below);
      // A short screen: the panel may reach down to the time code, which then moves above it.
      Form_Resize();
    }
    FitMinimumSize();
  } else {
    Options->hide();
    Dbugtxt->hide();
    AudioDone_Click();
    FitMinimumSize();
    if (WindowState() == 0) {
      SetTopTwips(player, HeightTwips(Logo) + 100);
      SetHeight(Height() - HeightTwips(Options));
    } else if (WindowState() == 2) {
      SetTopTwips(player, HeightTwips(Logo) + 100);
      Form_Resize();
    }
  }
  Logo->setFocus();
}

void Form1::Videosize_Click() {
  if (WindowState() == 0 && Options->isHidden()) {
    if (Width() > kVideoSizeThreshold) {
      SetSize(kCompactWidth, kCompactHeight + WaveformHeight());
    } else if (Width() < kVideoSizeThreshold) {
      SetSize(kVideoWidth, kVideoHeight + WaveformHeight());
    }
  }
  Logo->setFocus();
}

void Form1::Ontop_Click() {
  const bool topmost = Ontop->isChecked();
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topmost) return;
  // Changing a shown window's flags hides it; it comes back where it was, at its size.
  const bool shown = isVisible();
  const QRect placed = geometry();
  setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
  if (shown) {
    setGeometry(placed);
    show();
  }
}

void Form1::Bal_Change() { MP1->setBalance(Bal->value() - 100); }

void Form1::DEFAULTTC_Click() {
  Framerate->setText(ComboText(DEFAULTTC) + " " + ComboText(DEFAULTDF));
  SetForeColor(Framerate, kRed);
}

void Form1::Dbgshow_MouseDown(int button, int shift, int /*x*/, int /*y*/) {
  if (button != kRightButton || shift != kShiftOnly) return;
  PlaceTwips(Dbugtxt, LeftTwips(Shape1), TopTwips(Shape1), WidthTwips(Dbugtxt),
             HeightTwips(Shape1));
  Dbugtxt->setVisible(Dbugtxt->isHidden());
  Dbugtxt->raise();
  // The image stays in reach above the box, for the same gesture to hide it again.
  Dbgshow->raise();
}

void Form1::Aboutbtn_Click() {
  MoveTwips(Aboutscreen, 0, 0);
  Aboutscreen->show();
  Aboutscreen->raise();
  SetTopTwips(MP1->view(), HeightTwips(Aboutscreen));
  Logo->setFocus();
}

void Form1::Closebtn_Click() {
  Aboutscreen->hide();
  SetTopTwips(MP1->view(), HeightTwips(Logo) + 100);
  Logo->setFocus();
}
