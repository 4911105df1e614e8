// Outside programs against the window on the private bus: `quillmark --remote`, a second
// `quillmark FILE`, and playerctl. Each runs as its own process while the window's event loop
// keeps turning.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QUrl>

#include "remote_fixture.h"
#include "remote_listener.h"
#include "support/test_media.h"

namespace {

const QString kQuillmark = QUILLMARK_PROGRAM;

class OutsidePrograms : public RemoteFormTest {
 protected:
  static ProgramRun Remote(const QStringList& arguments) {
    return RunProgram(kQuillmark, QStringList{"--remote"} + arguments);
  }
};

TEST_F(OutsidePrograms, RemoteSendsActionsToTheRunningWindow) {
  OpenPaused("talk.wav", 60, 10);
  ProgramRun run = Remote({"play-pause"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(player.calls.back(), "play");
  EXPECT_EQ(form->Pedalstat->text(), " Play");

  run = Remote({"speed", "75"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(form->SpeedSlide->value(), 75);

  // A refusal prints the window's reason and nothing else.
  run = Remote({"bookmark", "13"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "quillmark: There is no bookmark 13: bookmarks are 1 to 12\n");
  EXPECT_EQ(form->Bookmark->itemText(11), "F12 = 00:00:00:00");

  // Once File Finished has moved the recording away, there is no recording to act on.
  messages.Expect("Move talk.wav into Completed Folder?", "Transcription Done",
                  MessageBoxes::Buttons::OkCancel, MessageBoxes::Answer::Ok);
  messages.Expect("Folder done: no recording is left to transcribe in " + dir.path() + ".",
                  "Next Recording");
  form->finished_Click();
  for (const QStringList& action : {QStringList{"bookmark", "5"}, QStringList{"goto", "5"}}) {
    run = Remote(action);
    EXPECT_EQ(run.exitCode, 1) << action.join(' ').toStdString();
    EXPECT_EQ(run.err, "quillmark: No recording is open\n");
  }
  EXPECT_TRUE(form->Bookmark->isHidden());
}

TEST_F(OutsidePrograms, RemoteSetsTheSound) {
  for (const QStringList& action :
       {QStringList{"volume-up"}, QStringList{"volume-up"}, QStringList{"volume-down"},
        QStringList{"level-speech", "on"}, QStringList{"noise", "high"},
        QStringList{"cut-rumble", "on"}, QStringList{"channel", "mono"},
        QStringList{"cut-rumble", "off"}}) {
    const ProgramRun run = Remote(action);
    EXPECT_EQ(run.exitCode, 0) << action.join(' ').toStdString() << ": " << run.err.toStdString();
  }
  const audio::AudioSettings set{110, true, audio::NoiseReduction::High, false,
                                 audio::Channel::MonoMix};
  EXPECT_EQ(player.audio, set);
  EXPECT_EQ(Remote({"volume", "400"}).exitCode, 0);
  EXPECT_EQ(player.audio.volumePercent, 400);

  for (const QStringList& wrong : {QStringList{"noise", "loud"}, QStringList{"noise"},
                                   QStringList{"level-speech", "yes"},
                                   QStringList{"channel", "left", "right"}}) {
    const ProgramRun run = Remote(wrong);
    EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains(" takes one of ")) << run.err.toStdString();
  }
  EXPECT_TRUE(Remote({"noise", "loud"}).err.contains("noise off|low|medium|high"))
      << "the usage names the words";
  const ProgramRun loud = Remote({"volume", "500"});
  EXPECT_EQ(loud.exitCode, 1);
  EXPECT_TRUE(loud.err.contains("The volume is 0 to 400 percent, not 500")) << loud.err.toStdString();
  EXPECT_EQ(player.audio.volumePercent, 400);
}

TEST_F(OutsidePrograms, RemoteSaysWhatIsWrongWithTheCommand) {
  for (const QStringList& wrong : {QStringList{"jump"}, QStringList{}, QStringList{"bookmark"},
                                   QStringList{"goto", "three"}, QStringList{"play", "now"}}) {
    const ProgramRun run = Remote(wrong);
    EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
    EXPECT_TRUE(run.err.startsWith("quillmark: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Usage: quillmark --remote ACTION [ARG]"));
    EXPECT_TRUE(run.err.contains("goto-selection")) << "the usage lists the actions";
  }
  EXPECT_TRUE(player.calls.empty());

  remote.reset();  // no window on the bus now
  const ProgramRun run = Remote({"play"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("quillmark: no Quillmark window is running\n"))
      << run.err.toStdString();
}

TEST_F(OutsidePrograms, ASecondQuillmarkHandsItsFileOver) {
  ASSERT_TRUE(test_media::WriteAll(Path("next.wav"), QByteArray(64, 'x')));
  ProgramRun run = RunProgram(kQuillmark, {Path("next.wav")});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  ASSERT_TRUE(WaitUntil([&] { return form->windowTitle() == "Quillmark - next.wav"; }));
  EXPECT_EQ(player.url, Path("next.wav"));

  // A file that is not there: said by the second one, which fails, and by the window, which
  // stays as it was.
  messages.Expect("gone.wav cannot be played.\r\nNo such file: " + Path("gone.wav"),
                  "CANNOT PLAY FILE");
  run = RunProgram(kQuillmark, {Path("gone.wav")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("quillmark: No such file: " + Path("gone.wav") + "\n"))
      << run.err.toStdString();
  ASSERT_TRUE(WaitUntil([&] { return messages.shown == 1; }));
  EXPECT_EQ(form->windowTitle(), "Quillmark - next.wav");
}

TEST_F(OutsidePrograms, PlayerctlReadsAndDrivesTheWindow) {
  OpenPaused("talk.wav", 60, 12.5);
  ProgramRun run = Playerctl({"status"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "Paused\n");
  EXPECT_EQ(Playerctl({"position"}).out, "12.500000\n");
  EXPECT_EQ(Playerctl({"metadata", "xesam:title"}).out, "talk.wav\n");
  EXPECT_EQ(Playerctl({"metadata", "mpris:length"}).out, "60000000\n");

  run = Playerctl({"play-pause"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(player.calls.back(), "play");
  Playerctl({"position", "2.5+"});
  EXPECT_DOUBLE_EQ(player.position, 15);
  Playerctl({"position", "40"});
  EXPECT_DOUBLE_EQ(player.position, 40);
  Playerctl({"position", "1000"});
  EXPECT_DOUBLE_EQ(player.position, 40) << "past the end is refused";
}

class OutsideProgramsKeepingPlaces : public OutsidePrograms {
 protected:
  void SetUp() override {
    stateFolder = dir.filePath("state");
    player.loadsFromStart = true;
    OutsidePrograms::SetUp();
    form->DEFAULTTC->setCurrentIndex(3);  // 25 frames
  }
};

TEST_F(OutsideProgramsKeepingPlaces, AHandedOverRecordingResumesAndOpenNextTakesTheFoldersNext) {
  PropertiesListener listener(client.bus());
  OpenPaused("talk 1.wav", 600, 0);
  player.position = 42.4;
  player.ChangeState(MediaPlayer::kPaused);
  ProgramRun run = RunProgram(kQuillmark, {Path("talk 1.wav")});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  ASSERT_TRUE(WaitUntil([&] { return form->HeadExt->text() == "Resumed at 00:00:42:10"; }));
  EXPECT_DOUBLE_EQ(player.position, 42.4);
  // Listeners follow the jump to the place as to any other.
  ASSERT_TRUE(WaitUntil([&] { return !listener.seeked.empty(); }));
  EXPECT_EQ(listener.seeked, std::vector<qlonglong>{42400000});
  // Opened again through MPRIS, from where it was paused since.
  player.position = 50.2;
  player.ChangeState(MediaPlayer::kPaused);
  const QDBusMessage reply =
      client.CallPlayer("OpenUri", {QUrl::fromLocalFile(Path("talk 1.wav")).toString()});
  EXPECT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
  ASSERT_TRUE(WaitUntil([&] { return form->HeadExt->text() == "Resumed at 00:00:50:05"; }));
  EXPECT_DOUBLE_EQ(player.position, 50.2);

  // The open recording finished by hand; two wait in its folder.
  ASSERT_TRUE(QDir().mkpath(Path("Completed")));
  ASSERT_TRUE(QFile::rename(Path("talk 1.wav"), Path("Completed/talk 1.wav")));
  for (const char* name : {"talk 10.wav", "talk 2.wav", "notes.txt"}) {
    ASSERT_TRUE(test_media::WriteAll(Path(name), QByteArray(64, 'x')));
  }
  for (const char* next : {"talk 2.wav", "talk 10.wav"}) {
    run = Remote({"open-next"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return form->windowTitle() == QString("Quillmark - ") + next; }));
    EXPECT_EQ(player.url, Path(next));
  }
  ASSERT_TRUE(QFile::remove(Path("talk 2.wav")));
  run = Remote({"open-next"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains("quillmark: No unfinished recording is left in the folder\n"))
      << run.err.toStdString();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->windowTitle(), "Quillmark - talk 10.wav");
}

}  // namespace
