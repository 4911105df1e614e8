// The window as a person sees it, in every state it can be in: compact, with the options panel,
// in the video size, maximised and dragged to other sizes. Every control it shows is walked:
// its text fits, nothing covers it, it reads against its background, and the running time code
// with its name, highlight and copy button stays in sight and in reach of the mouse. ctest runs
// this program at scale 1 and again with QT_SCALE_FACTOR=2.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

#include "support/form_fixture.h"
#include "support/layout_check.h"
#include "support/wait.h"
#include "twips.h"
#include "waveform_strip.h"

namespace {

class WindowLook : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->Aboutscreen->hide();  // the start-up splash is over
    ShowLongestTexts();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  // The widest texts the program and its readers put into the controls.
  void ShowLongestTexts() {
    form->Framerate->setText("29.970 DF");
    form->STC->setText("23:59:59:29");
    form->Duration->setText("12:59:59");
    form->UB->setText("DEADBEEF");
    form->FDT->setText("2026-12-07 10:30:45");
    form->Samplerate->setText("192000");
    for (int n = 1; n <= 12; ++n) {
      form->Bookmark->setItemText(n - 1, QString("F%1 = 23:59:59:29").arg(n));
    }
    form->Bookmark->show();
    for (int i = 0; i < form->PedalPort->count(); ++i) {
      form->PedalPort->setItemText(i, QString("COM %1 Modem").arg(i + 1));
    }
    // A USB pedal's entry, as the list names one.
    form->PedalPort->setItemText(form->PedalPort->count() - 1, "USB: VEC USB Footpedal");
    for (int i = 0; i < 5; ++i) form->AutoBack_Click();  // "AutoBackup = 2.5 Sec"
    for (int i = 0; i < 5; ++i) form->TCLabel_Click();   // "User Set TIME CODE"
    form->Pedalstat->setText(" Disabled");
    form->NoSound->show();  // the notice of a machine without a sound device
  }

  // A real click at the middle of `control` lands on it (or on a part of it).
  void ExpectInReach(QWidget* control) {
    const QPoint middle = control->mapTo(form.get(), control->rect().center());
    QWidget* hit = form->childAt(middle);
    EXPECT_TRUE(hit == control || control->isAncestorOf(hit))
        << control->objectName().toStdString() << " is under "
        << (hit ? hit->objectName().toStdString() : "nothing");
  }

  // Everything the window shows in its present state. `under` are controls meant to lie under
  // others in this state.
  void ExpectLooksRight(const std::string& state, std::set<QWidget*> under = {}) {
    SCOPED_TRACE(state + QString(" at %1x%2 twips").arg(form->Width()).arg(form->Height()).toStdString());
    QCoreApplication::processEvents();
    const QStringList cut = layout_check::TextsCutOff(form.get());
    EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
    under.insert({form->Logo, form->Shape1});
    // While the options panel is open the player keeps its size whatever the window's.
    if (form->Options->isVisible()) under.insert(player.view());
    const QStringList hidden = layout_check::ControlsHidden(form.get(), under, {player.view()});
    EXPECT_TRUE(hidden.isEmpty()) << hidden.join("\n").toStdString();
    const QStringList faint = layout_check::TextsTooFaint(form.get());
    EXPECT_TRUE(faint.isEmpty()) << faint.join("\n").toStdString();

    // The strip and its header image reach the right edge.
    EXPECT_EQ(form->Logo->geometry().right(), form->width() - 1);
    EXPECT_EQ(form->HeadExt->geometry().right(), form->width() - 1);

    for (QWidget* control : std::initializer_list<QWidget*>{form->TCWin, form->TCLabel, form->CopyTC}) {
      EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
      ExpectInReach(control);
    }
    // Holding the mouse on the copy button shows the highlight around the time code; letting
    // go copies the time code.
    clipboard.text.clear();
    const QPoint copy = form->CopyTC->rect().center();
    QTest::mousePress(form->CopyTC, Qt::LeftButton, {}, copy);
    EXPECT_TRUE(form->TChilight->isVisible());
    const QStringList ring = layout_check::ControlsHidden(form.get(), under, {player.view()});
    EXPECT_TRUE(ring.isEmpty()) << ring.join("\n").toStdString();
    QTest::mouseRelease(form->CopyTC, Qt::LeftButton, {}, copy);
    EXPECT_FALSE(form->TChilight->isVisible());
    EXPECT_EQ(clipboard.text, form->ShownTimeCode() + "\t");
  }

  // The audio page in place of the options' box, with its widest texts.
  void ExpectAudioPageLooksRight(const std::string& state) {
    form->AudioBtn_Click();
    form->VolumeSlide->setValue(400);
    form->ReduceNoise->setCurrentIndex(2);
    form->Channel->setCurrentIndex(3);
    ExpectLooksRight(state + ", audio page");
    form->AudioDone_Click();
  }

  void Maximise() {
    form->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(WaitUntil([&] { return form->WindowState() == 2; }));
  }
};

TEST_F(WindowLook, CompactAndVideoSizeWithAndWithoutThePanel) {
  ExpectLooksRight("compact");
  form->Settings_Click();
  ExpectLooksRight("compact, panel open");
  ExpectAudioPageLooksRight("compact");
  form->Settings_Click();

  form->Videosize_Click();
  ASSERT_EQ(form->Width(), 7380);
  ExpectLooksRight("video size");
  form->Settings_Click();
  ExpectLooksRight("video size, panel open");
  ExpectAudioPageLooksRight("video size");
  form->Settings_Click();
  form->Videosize_Click();

  // The entry box takes the place of the running time code.
  form->SetTC_Click();
  ExpectLooksRight("compact, time code entry open",
                   {form->TCHour, form->TCMin, form->TCSecond, form->TCFrame, form->Colon[0],
                    form->Colon[1], form->Colon[2]});
  form->SetTC_Click();
}

TEST_F(WindowLook, DraggedSizes) {
  for (const QSize size : {QSize(6000, 3000), QSize(5400, 2600), QSize(9000, 2500),
                           QSize(5500, 6000), QSize(12000, 9000)}) {
    form->SetSize(size.width(), size.height());
    ExpectLooksRight("dragged");
  }
  form->Settings_Click();
  for (const QSize size : {QSize(6500, 6000), QSize(5400, 4900), QSize(8000, 5000)}) {
    form->SetSize(size.width(), size.height());
    ExpectLooksRight("dragged, panel open");
  }

  // Never smaller than the compact window, or, with the panel open, than the compact window
  // with the panel below it.
  form->SetSize(3000, 1000);
  EXPECT_EQ(form->Width(), 5400);
  EXPECT_EQ(form->Height(), 2175 + form->WaveformHeight() + HeightTwips(form->Options));
  ExpectLooksRight("dragged small, panel open");
  ExpectAudioPageLooksRight("dragged small");
  form->Settings_Click();
  form->SetSize(3000, 1000);
  EXPECT_EQ(form->Width(), 5400);
  EXPECT_EQ(form->Height(), 2175 + form->WaveformHeight());
}

// The position bar across the foot of the window in each state, with its own texts showing (the
// pointer's time code, a note in place of the waveform); and every state again without it.
TEST_F(WindowLook, PositionBarShownAndHidden) {
  const auto withBarTexts = [&](const std::string& state) {
    SCOPED_TRACE(state);
    ASSERT_TRUE(form->Waveform->isVisible());
    // Across the whole width, below the time code and the picture, inside the window.
    const QRect bar = form->Waveform->geometry();
    EXPECT_EQ(bar.left(), 0);
    EXPECT_EQ(bar.right(), form->width() - 1);
    EXPECT_LE(bar.bottom(), form->height() - 1);
    EXPECT_GT(bar.top(), form->TCWin->geometry().bottom());
    const QRect picture = player.view()->geometry();
    if (form->Options->isHidden() && !picture.isEmpty()) {
      EXPECT_GT(bar.top(), picture.bottom());
    }
    form->Waveform->SetNote("The sound of this recording cannot be read");
    form->Waveform->Tick(7200, 0, {});
    // Straight to the bar: at twice the scale the tall window reaches below the virtual screen.
    const QPointF corner(form->Waveform->width() - 2, 5);
    QMouseEvent move(QEvent::MouseMove, corner, form->Waveform->mapToGlobal(corner), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->Waveform, &move);
    ASSERT_FALSE(form->Waveform->pointerTimeCode().isEmpty());
    ExpectLooksRight(state + ", bar texts showing");
    form->Waveform->SetNote(QString());
  };
  withBarTexts("compact");
  form->Videosize_Click();
  EXPECT_EQ(form->Height(), 7620 + form->WaveformHeight());
  withBarTexts("video size");
  form->Videosize_Click();
  form->Settings_Click();
  withBarTexts("compact, panel open");
  form->Settings_Click();
  Maximise();
  withBarTexts("maximised");
  form->setWindowState(Qt::WindowNoState);
  ASSERT_TRUE(WaitUntil([&] { return form->WindowState() == 0; }));
  form->SetSize(5400, 2175 + form->WaveformHeight());

  form->ShowWaveform->setChecked(false);
  EXPECT_EQ(form->Height(), 2175);
  ExpectLooksRight("compact, bar hidden");
  form->Videosize_Click();
  EXPECT_EQ(form->Height(), 7620);
  ExpectLooksRight("video size, bar hidden");
  Maximise();
  ExpectLooksRight("maximised, bar hidden");
}

TEST_F(WindowLook, Maximised) {
  Maximise();
  ExpectLooksRight("maximised");
  form->Settings_Click();
  ExpectLooksRight("maximised, panel open");
  ExpectAudioPageLooksRight("maximised");
  form->Settings_Click();
  ExpectLooksRight("maximised, panel closed again");
}

TEST_F(WindowLook, AboutPanelTextsFitAndRead) {
  form->Aboutbtn_Click();
  const QStringList cut = layout_check::TextsCutOff(form.get(), form->Aboutscreen);
  EXPECT_TRUE(cut.isEmpty()) << cut.join("\n").toStdString();
  const QStringList faint = layout_check::TextsTooFaint(form.get(), form->Aboutscreen);
  EXPECT_TRUE(faint.isEmpty()) << faint.join("\n").toStdString();
}

TEST(Contrast, RelativeLuminanceRatios) {
  EXPECT_NEAR(layout_check::Contrast(qRgb(0, 0, 0), qRgb(255, 255, 255)), 21.0, 1e-9);
  EXPECT_NEAR(layout_check::Contrast(qRgb(255, 0, 0), qRgb(0, 0, 0)), 5.25, 0.01);
  EXPECT_NEAR(layout_check::Contrast(qRgb(0x80, 0xFF, 0x80), qRgb(0xEC, 0xEC, 0xEC)), 1.0, 0.15);
}

}  // namespace
