// The position bar in the real window: a click or drag moves the player through the window's
// jump and keeps play or pause, the pointer shows the display's time code, keys zoom, the option
// hides the bar and is kept, assistive tools find "Position", soundless recordings are named,
// and opening another recording or closing the window cancels a computation under way.

#include <gmock/gmock.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QCheckBox>
#include <QTest>
#include <filesystem>
#include <functional>

#include "envelope_cache.h"
#include "envelope_job.h"
#include "made_signals.h"
#include "platform/media_player.h"
#include "support/encoded_media.h"
#include "support/test_media.h"
#include "support/form_fixture.h"
#include "support/wait.h"
#include "waveform_strip.h"

namespace {

class WaveformWindow : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    form->Aboutscreen->hide();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  void TearDown() override {
    FormTest::TearDown();
    // No computation outlives its test.
    EXPECT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
  }

  // A recording of `seconds` the player reports as that long, opened.
  void OpenRecording(double seconds) {
    ASSERT_TRUE(made_signals::WriteBurst(Path("talk.wav"), 8000, 1, 2.0, 0.5, 1.0));
    player.durationSeconds = seconds;
    Open(Path("talk.wav"));
    form->Timer1_Timer();
  }

  QPoint At(int x) const { return QPoint(x, form->Waveform->height() / 2); }
  int Width() const { return form->Waveform->width(); }
};

TEST_F(WaveformWindow, ClickAndDragMoveThePlayerKeepingPlayOrPause) {
  OpenRecording(100);
  ASSERT_GT(Width(), 300);
  struct Case {
    int state;
    std::vector<std::string> calls;
  };
  const double quarter = 100.0 * (Width() / 4) / Width();
  const std::string moved = "position " + std::to_string(quarter);
  for (const Case& c : {Case{MediaPlayer::kPaused, {moved, "play", "pause"}},
                        Case{MediaPlayer::kPlaying, {moved}}}) {
    SCOPED_TRACE(c.state);
    player.state = c.state;
    player.calls.clear();
    form->Logo->clearFocus();
    QTest::mouseClick(form->Waveform, Qt::LeftButton, {}, At(Width() / 4));
    EXPECT_DOUBLE_EQ(player.position, quarter);
    EXPECT_EQ(player.calls, c.calls);
    EXPECT_EQ(player.playState(), c.state);
    EXPECT_EQ(form->focusWidget(), form->Logo);
  }

  // A drag moves the player at most once a display tick, and to where it is let go.
  player.state = MediaPlayer::kPlaying;
  player.calls.clear();
  QTest::mousePress(form->Waveform, Qt::LeftButton, {}, At(10));
  QTest::mouseMove(form->Waveform, At(40));
  QTest::mouseMove(form->Waveform, At(50));
  form->Timer1_Timer();
  QTest::mouseMove(form->Waveform, At(60));
  QTest::mouseRelease(form->Waveform, Qt::LeftButton, {}, At(70));
  const auto seconds = [&](int x) { return "position " + std::to_string(100.0 * x / Width()); };
  EXPECT_EQ(player.calls, (std::vector<std::string>{seconds(10), seconds(50), seconds(70)}));
}

// The pointer's time code counts as the display does: the active start, the rate correction and
// the hour's wrap; a click there makes the display show the same.
TEST_F(WaveformWindow, PointerShowsTheDisplaysTimeCode) {
  struct Case {
    const char* caption;
    double offset;
    double position;
    const char* shown;
  };
  const Case cases[] = {
      {"29.970 ND", 36000, 3600, "10:59:56:12"},
      {"30.000 DF", 0, 3600, "01:00:03:18"},
      {"25.000 ND", 86399, 2, "00:00:01:00"},
  };
  ASSERT_EQ(Width() % 2, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    OpenRecording(2 * c.position);  // the middle of the bar is the position
    form->Framerate->setText(c.caption);
    form->TCOffset = c.offset;
    QTest::mouseMove(form->Waveform, At(Width() / 2));
    form->Timer1_Timer();  // the pointer's time code follows the start and the rate at once
    EXPECT_EQ(form->Waveform->pointerTimeCode().toStdString(), c.shown);
    QTest::mouseClick(form->Waveform, Qt::LeftButton, {}, At(Width() / 2));
    form->Timer1_Timer();
    EXPECT_EQ(form->ShownTimeCode().toStdString(), c.shown);
  }
}

TEST_F(WaveformWindow, UpAndDownZoomAboutThePlayPosition) {
  OpenRecording(600);
  player.position = 300;
  form->Timer1_Timer();
  struct Press {
    int key, shift;
    bool consumed;
    double span;
  };
  // Up zooms in by steps down to ten seconds, Down out to the whole; with a modifier they are
  // no zoom keys.
  const Press presses[] = {{38, 0, true, 375},    {38, 0, true, 234.375}, {38, 1, false, 234.375},
                           {40, 2, false, 234.375}, {40, 0, true, 375},   {40, 0, true, 600},
                           {40, 0, true, 600}};
  for (const Press& p : presses) {
    int key = p.key, shift = p.shift;
    form->Logo_KeyDown(key, shift);
    EXPECT_EQ(key == 0, p.consumed) << p.key << "+" << p.shift;
    EXPECT_NEAR(form->Waveform->view().span(), p.span, 1e-6) << p.key << "+" << p.shift;
  }
  for (int i = 0; i < 20; ++i) {
    int key = 38, shift = 0;
    form->Logo_KeyDown(key, shift);
  }
  EXPECT_DOUBLE_EQ(form->Waveform->view().span(), 10);
  EXPECT_DOUBLE_EQ(form->Waveform->view().start(), 295);
}

TEST_F(WaveformWindow, ShowWaveformHidesTheBarAndIsKeptAfterTheTwelveLines) {
  const int band = form->WaveformHeight();
  ASSERT_GT(band, 0);
  EXPECT_EQ(form->Height(), 2175 + band);
  EXPECT_TRUE(form->Waveform->isVisible());
  EXPECT_EQ(form->ShowWaveform->text(), "Show Waveform");

  form->Settings_Click();
  form->ShowWaveform->setChecked(false);
  EXPECT_EQ(form->focusWidget(), form->Logo);
  form->Closemenu_Click();  // saves the settings
  EXPECT_EQ(form->Height(), 2175);
  EXPECT_FALSE(form->Waveform->isVisible());
  EXPECT_EQ(form->WaveformHeight(), 0);

  const QStringList lines = QString(test_media::ReadAll(Path("Quillmark.inf"))).split("\r\n");
  ASSERT_GT(lines.size(), 13);
  EXPECT_EQ(lines.indexOf("ShowWaveform=0"), lines.lastIndexOf("ShowWaveform=0"));
  EXPECT_GE(lines.indexOf("ShowWaveform=0"), 12);

  // The next start reads it: the window is as it is without the bar, until it is shown again.
  form.reset();
  form = std::make_unique<Form1>(PlatformIn(dir.path()));
  form->Timer1->stop();
  form->Timer2->stop();
  EXPECT_FALSE(form->ShowWaveform->isChecked());
  EXPECT_EQ(form->Height(), 2175);
  form->ShowWaveform->setChecked(true);
  EXPECT_EQ(form->Height(), 2175 + band);
  // Shown again, the file is as a version without the bar writes it.
  form->SaveSettings();
  EXPECT_FALSE(test_media::ReadAll(Path("Quillmark.inf")).contains("ShowWaveform"));
}

TEST_F(WaveformWindow, AssistiveToolsFindOnePositionSlider) {
  OpenRecording(100);
  player.position = 42.5;
  form->Timer1_Timer();
  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form->Waveform);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->role(), QAccessible::Slider);
  EXPECT_EQ(bar->text(QAccessible::Name), "Position");
  QAccessibleValueInterface* value = bar->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), 42.5);
  EXPECT_DOUBLE_EQ(value->minimumValue().toDouble(), 0);
  EXPECT_DOUBLE_EQ(value->maximumValue().toDouble(), 100);
  EXPECT_EQ(bar->childCount(), 0);
  player.state = MediaPlayer::kPaused;
  value->setCurrentValue(61.0);
  EXPECT_DOUBLE_EQ(player.position, 61.0);
  EXPECT_EQ(player.calls.back(), "pause");
}

TEST_F(WaveformWindow, RecordingsWithoutReadableSoundAreNamed) {
  ASSERT_TRUE(test_media::WriteSilentVideo(Path("silent.avi"), 1.0));
  ASSERT_TRUE(test_media::WriteAll(Path("notes.mp3"), QByteArray("not a recording\n").repeated(99)));
  ASSERT_TRUE(made_signals::WriteBurst(Path("talk.wav"), 8000, 1, 2.0, 0.5, 1.0));
  const std::pair<const char*, const char*> cases[] = {
      {"silent.avi", "No sound in this recording"},
      {"notes.mp3", "This file cannot be read as a recording"},
      {"talk.wav", ""},
  };
  for (const auto& [file, note] : cases) {
    SCOPED_TRACE(file);
    Open(Path(file));
    ASSERT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
    form->Timer1_Timer();
    EXPECT_EQ(form->Waveform->note().toStdString(), note);
    if (*note) {
      EXPECT_EQ(QAccessible::queryAccessibleInterface(form->Waveform)
                    ->text(QAccessible::Description)
                    .toStdString(),
                note);
    }
  }
}

// File Finished and a recording the player cannot play leave nothing open: the bar is empty,
// with no waveform, line or marks of the recording before, and a click there moves nothing.
TEST_F(WaveformWindow, NothingOpenLeavesTheBarEmpty) {
  const auto waveformPixels = [&] {
    const QImage image = form->Waveform->grab().toImage();
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const unsigned colour = image.pixel(x, y) & 0xffffff;
        drawn += colour == waveform_colours::kUnplayed || colour == waveform_colours::kPlayed ||
                 colour == waveform_colours::kPlayLine || colour == waveform_colours::kMark;
      }
    }
    return drawn;
  };
  const std::pair<const char*, std::function<void()>> endings[] = {
      {"File Finished",
       [&] {
         messages.Expect("Move talk.wav into Completed Folder?", "Transcription Done",
                         MessageBoxes::Buttons::OkCancel, MessageBoxes::Answer::Ok);
         messages.ExpectStartingWith("Folder done: ", "Next Recording");
         form->finished_Click();
       }},
      {"cannot be played",
       [&] {
         messages.Expect("talk.wav cannot be played.\r\nno audio decoder", "CANNOT PLAY FILE");
         player.FailToPlay("no audio decoder");
       }},
  };
  for (const auto& [ending, make] : endings) {
    SCOPED_TRACE(ending);
    OpenRecording(100);
    player.position = 40;
    form->BookmarkPos[1] = 20;
    ASSERT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
    form->Timer1_Timer();
    ASSERT_GT(waveformPixels(), 100);

    make();
    player.position = 0;
    form->Timer1_Timer();
    EXPECT_EQ(waveformPixels(), 0);
    EXPECT_DOUBLE_EQ(form->Waveform->length(), 0);
    EXPECT_EQ(form->Waveform->note(), "");
    player.calls.clear();
    QTest::mouseClick(form->Waveform, Qt::LeftButton, {}, At(Width() / 2));
    EXPECT_TRUE(player.calls.empty());
  }
}

// Opening another recording and closing the window cancel a computation under way, without the
// window waiting for it: neither half-read envelope reaches the cache, and the threads end.
TEST_F(WaveformWindow, OpeningAnotherAndClosingCancelTheComputation) {
  const QString cache = Path("cache");
  FormPlatform platform = PlatformIn(dir.path());
  platform.cacheFolder = cache;
  form = std::make_unique<Form1>(platform);
  form->Timer1->stop();

  ASSERT_TRUE(made_signals::WriteBurst(Path("long.wav"), 44100, 2, 180.0, 10, 11));
  ASSERT_TRUE(made_signals::Convert(Path("long.wav"), Path("long.mp3")));
  ASSERT_TRUE(made_signals::WriteBurst(Path("short.wav"), 8000, 1, 1.0, 0.5, 0.6));
  const waveform::EnvelopeCache cached(cache.toStdString());
  const auto cacheFile = [&](const char* name) {
    return cached.FileFor(*waveform::KeyOf(Path(name).toStdString()));
  };

  Open(Path("long.mp3"));
  Open(Path("short.wav"));
  ASSERT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
  EXPECT_TRUE(std::filesystem::exists(cacheFile("short.wav")));
  EXPECT_FALSE(std::filesystem::exists(cacheFile("long.mp3")));

  Open(Path("long.mp3"));
  form->close();
  form.reset();
  ASSERT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
  EXPECT_FALSE(std::filesystem::exists(cacheFile("long.mp3")));
}

}  // namespace
