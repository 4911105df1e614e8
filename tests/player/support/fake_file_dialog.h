#pragma once
// An Open dialog answered from a script; opening it with no answer scripted fails the test.

#include <gtest/gtest.h>

#include <QStringList>

#include "platform/file_dialog.h"

class FakeFileDialog : public FileDialog {
 public:
  ~FakeFileDialog() override {
    EXPECT_TRUE(answers.isEmpty()) << "Open dialog answers left unused";
  }

  QStringList answers;  // "" cancels
  int shown = 0;
  QString shownTitle;
  QString shownFilter;
  QString shownFolder;  // the folder it started in

 protected:
  QString AskOpenPath() override {
    ++shown;
    shownTitle = DialogTitle;
    shownFilter = Filter;
    shownFolder = InitDir;
    if (answers.isEmpty()) {
      ADD_FAILURE() << "Open dialog shown unexpectedly";
      return {};
    }
    return answers.takeFirst();
  }
};
