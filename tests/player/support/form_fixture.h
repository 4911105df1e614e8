#pragma once
// The real Form1 on fakes, with a temporary folder as its program folder and for its media.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "fake_clipboard.h"
#include "fake_file_dialog.h"
#include "fake_media_player.h"
#include "fake_message_boxes.h"
#include "fake_serial_control.h"
#include "form1.h"

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    form = std::make_unique<Form1>(Platform());
    // The tests drive the timers themselves.
    form->Timer1->stop();
    form->Timer2->stop();
  }
  void TearDown() override { form.reset(); }

  // The window's platform; a fixture may change a part.
  virtual FormPlatform Platform() { return PlatformIn(dir.path()); }

  // The fakes, with `programFolder` as the folder of the program and of the settings file.
  FormPlatform PlatformIn(const QString& programFolder) {
    FormPlatform platform(player, dialog, messages);
    platform.serial = &serial;
    platform.clipboard = &clipboard;
    platform.settingsFolder = programFolder;
    platform.programFolder = programFolder;
    platform.stateFolder = stateFolder;
    return platform;
  }

  // Opens `path` through the Open button.
  void Open(const QString& path) {
    dialog.answers << path;
    form->Fileopen_Click();
  }

  QString Path(const QString& name) const { return dir.filePath(name); }

  // The running time code as the four display fields show it.
  QString ShownTimeCode() const {
    return form->ShownTimeCode();
  }

  QTemporaryDir dir;
  // Where the window keeps where recordings were left off; empty: nowhere.
  QString stateFolder;
  FakeMediaPlayer player;
  FakeFileDialog dialog;
  FakeMessageBoxes messages;
  FakeSerialControl serial;
  FakeClipboard clipboard;
  std::unique_ptr<Form1> form;
};
