// The program as a shell starts it: help, version and a command line it cannot use, none of
// which needs a display; and the user's settings folder it reads.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "support/form_fixture.h"
#include "support/temporary_folder.h"
#include "support/test_media.h"

namespace {

struct ProgramRun {
  int status = -1;
  QString out;
  QString err;
};

// The program without any display or Qt platform in its environment.
ProgramRun RunProgram(const QStringList& arguments, const QString& configHome = {}) {
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (!configHome.isEmpty()) environment.insert("XDG_CONFIG_HOME", configHome);
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(name);
  }
  environment.insert("ASAN_OPTIONS", "detect_leaks=0");
  program.setProcessEnvironment(environment);
  program.start(QUILLMARK_PROGRAM, arguments);
  ProgramRun run;
  if (!program.waitForFinished(60000)) return run;
  run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
  run.out = QString::fromLocal8Bit(program.readAllStandardOutput());
  run.err = QString::fromLocal8Bit(program.readAllStandardError());
  return run;
}

TEST(Program, HelpAndVersionNeedNoDisplay) {
  const ProgramRun help = RunProgram({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: quillmark [OPTION]... [FILE]\n")) << help.out.toStdString();
  EXPECT_TRUE(help.out.contains("--probe")) << help.out.toStdString();
  EXPECT_EQ(help.err, "");

  const ProgramRun version = RunProgram({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "quillmark 1.040\n");
}

TEST(Program, AnUnusableCommandLineGivesTheUsageAndStatusTwo) {
  for (const QStringList& arguments : {QStringList{"--bogus"}, QStringList{"a.wav", "b.wav"}}) {
    const ProgramRun run = RunProgram(arguments);
    EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.startsWith("quillmark: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Usage: quillmark")) << run.err.toStdString();
  }
}

TEST(Program, ReadsTheSettingsInTheUsersConfigurationFolder) {
  testing_support::TemporaryFolder home;
  const auto folder = home / "config/quillmark";
  std::filesystem::create_directories(folder);
  testing_support::WriteWholeFile(folder / "Quillmark.inf", " 3 \r\n 1 \r\n");
  const QString tone = QString::fromStdString((home / "tone.wav").string());
  ASSERT_TRUE(test_media::WriteTone(tone, 1.0));

  const ProgramRun probe =
      RunProgram({"--probe", tone}, QString::fromStdString((home / "config").string()));
  EXPECT_EQ(probe.status, 0) << probe.err.toStdString();
  const QJsonObject record = QJsonDocument::fromJson(probe.out.toUtf8()).object();
  EXPECT_EQ(record["Framerate"].toString(), "25.000 DF") << probe.out.toStdString();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
      << "the probe writes nothing";
}

using AboutPanel = FormTest;

TEST_F(AboutPanel, ShowsTheNumberTheProgramPrints) {
  EXPECT_EQ(form->VersionLabel->text(), "Version: 1.040");
}

}  // namespace
