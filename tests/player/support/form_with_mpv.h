#pragma once
// The real Form1 on the real libmpv player, with a scripted Open dialog and message boxes and a
// temporary folder for its recordings and settings. The output is headless unless a test suite
// asks for another.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "fake_file_dialog.h"
#include "fake_message_boxes.h"
#include "form1.h"
#include "platform/mpv_media_player.h"
#include "wait.h"

class FormWithMpv : public ::testing::Test {
 protected:
  virtual MpvMediaPlayer::Output Output() const { return MpvMediaPlayer::Headless(); }

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    MakeWindow();
  }
  // A new player and a window on it, as when the program starts.
  void MakeWindow() {
    player = std::make_unique<MpvMediaPlayer>(Output());
    ASSERT_TRUE(player->Ready());
    FormPlatform platform(*player, dialog, messages);
    platform.programFolder = dir.path();
    platform.saveSettings = false;
    platform.stateFolder = stateFolder;
    form = std::make_unique<Form1>(platform);
    form->Timer2->stop();
    form->Aboutscreen->hide();
  }
  // The window closed as the typist closes it, and the program started again.
  void Restart() {
    form->close();
    form.reset();
    player.reset();
    MakeWindow();
  }
  void TearDown() override {
    if (form) form->close();
    form.reset();
    player.reset();
  }

  QString Path(const QString& name) const { return dir.filePath(name); }

  // Opens `path` through the Open button, without waiting for the player.
  void Open(const QString& path) {
    dialog.answers << path;
    form->Fileopen_Click();
  }
  // Opens `path` and waits until the player holds it, paused at its start.
  bool OpenLoaded(const QString& path) {
    Open(path);
    return WaitUntil([&] {
      return player->playState() == MediaPlayer::kPaused && player->duration() > 0;
    });
  }
  // The time code the display shows after a tick.
  QString TimeCodeNow() {
    form->Timer1_Timer();
    return form->ShownTimeCode();
  }

  QTemporaryDir dir;
  QString stateFolder;  // where places are kept; empty: nowhere
  FakeFileDialog dialog;
  FakeMessageBoxes messages;
  std::unique_ptr<MpvMediaPlayer> player;
  std::unique_ptr<Form1> form;
};
