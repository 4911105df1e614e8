// The window on the real libmpv player with its picture and sound outputs: a video plays in the
// compact window, whose player area has no height, and shows its picture once the area is
// shown; without a sound device a recording plays silently and the window says so.

#include <QImage>
#include <QLabel>
#include <algorithm>

#include "platform/mpv_video_widget.h"
#include "support/encoded_media.h"
#include "support/form_with_mpv.h"
#include "support/graphics_driver.h"
#include "support/test_media.h"

namespace {

// Video drawn through mpv's render API (OpenGL on the test's X display), no sound.
class FormWithVideo : public FormWithMpv {
 protected:
  MpvMediaPlayer::Output Output() const override { return {true, false, {}}; }
  void SetUp() override {
    FormWithMpv::SetUp();
    const auto* video = dynamic_cast<const MpvVideoWidget*>(player->view());
    ASSERT_NE(video, nullptr);
    if (!video->Ready()) GTEST_SKIP() << "no OpenGL here: scripts/test runs this on an X display";
    testing_support::KeepGraphicsDriverLoaded();
  }
};

// The grey value of a pixel.
int Grey(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)); }

TEST_F(FormWithVideo, PlaysInTheCompactWindowAndShowsItsPictureWhenTheAreaIs) {
  form->show();
  EXPECT_EQ(player->view()->height(), 0) << "the compact window has no room for the picture";
  ASSERT_TRUE(test_media::WriteVideo(Path("scene.avi"), 4.0));
  ASSERT_TRUE(OpenLoaded(Path("scene.avi")));
  player->play();
  ASSERT_TRUE(WaitUntil([&] { return TimeCodeNow() >= "00:00:01:00"; }, 8000))
      << "the time code stays at " << TimeCodeNow().toStdString();
  player->pause();

  // Shown, the area draws the paused frame: the bright band at the top of the picture, the grey
  // field below it (the picture is letterboxed in black).
  form->Videosize_Click();
  QImage shot;
  int top = -1, bottom = -1;
  ASSERT_TRUE(WaitUntil([&] {
    shot = player->view()->grab().toImage();
    const int x = shot.width() / 2;
    top = bottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
      if (Grey(shot, x, y) > 40) {
        if (top < 0) top = y;
        bottom = y;
      }
    }
    return top >= 0 && bottom - top > 40;
  })) << "the area stays black";
  const int height = bottom - top + 1;
  EXPECT_GT(Grey(shot, shot.width() / 2, top + height / 8), 180) << "the band is at the top";
  int darkest = 255;
  for (int x = 0; x < shot.width(); ++x) {
    const int grey = Grey(shot, x, top + height * 3 / 4);
    if (grey > 40) darkest = std::min(darkest, grey);
  }
  EXPECT_GT(darkest, 50);
  EXPECT_LT(darkest, 120) << "the grey field is below the band";
}

// A sound device that cannot be opened on any machine.
class FormWithoutSoundDevice : public FormWithMpv {
 protected:
  MpvMediaPlayer::Output Output() const override {
    return {false, true, "alsa/quillmark-no-such-device"};
  }
};

TEST_F(FormWithoutSoundDevice, PlaysSilentlyAndSaysSoOnce) {
  EXPECT_TRUE(form->NoSound->isHidden());
  ASSERT_TRUE(test_media::WriteTone(Path("speech.wav"), 3.0));
  ASSERT_TRUE(OpenLoaded(Path("speech.wav")));
  player->play();
  ASSERT_TRUE(WaitUntil([&] { return TimeCodeNow() >= "00:00:01:00"; }))
      << "the time code stays at " << TimeCodeNow().toStdString();
  EXPECT_FALSE(form->NoSound->isHidden());
  EXPECT_EQ(form->NoSound->text(), "No sound device");
  EXPECT_TRUE(form->isAncestorOf(form->NoSound));
  EXPECT_EQ(messages.shown, 0) << "the notice is no message box";
}

}  // namespace
