#pragma once
// Runs an outside program (a second quillmark, playerctl, pactl) as a test's helper.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "support/wait.h"

// What a program run printed and how it ended.
struct ProgramRun {
  int exitCode = -1;
  QString out;
  QString err;
};

// Runs `program` to its end while the event loop keeps turning, so the window can answer it.
inline ProgramRun RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForStarted(10000)) << program.toStdString();
  EXPECT_TRUE(WaitUntil([&] { return process.state() == QProcess::NotRunning; }, 30000))
      << program.toStdString() << " did not end";
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished();
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}
