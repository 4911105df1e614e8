// The typist's day through the real window on real files: a recording opened again waits, paused,
// where it was left off (in this window or the next one), except near its ends, when it changed or
// with the option off; File Finished offers the folder's next unfinished recording.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <filesystem>
#include <functional>

#include "resume_positions.h"
#include "support/form_fixture.h"
#include "support/temporary_folder.h"
#include "support/test_media.h"

namespace {

using Answer = MessageBoxes::Answer;
using Buttons = MessageBoxes::Buttons;

class Queue : public FormTest {
 protected:
  void SetUp() override {
    stateFolder = dir.filePath("state/quillmark");  // made by the first place kept
    player.loadsFromStart = true;
    FormTest::SetUp();
    Prepare();
  }
  // Counts 25 frames a second, so the note's time codes are easy to read.
  void Prepare() {
    form->Aboutscreen->hide();
    form->DEFAULTTC->setCurrentIndex(3);
    form->DEFAULTDF->setCurrentIndex(0);
  }
  // The window closed (as the typist closes it) and started again on the same folders.
  void Restart() {
    form->close();
    form = std::make_unique<Form1>(PlatformIn(dir.path()));
    form->Timer1->stop();
    form->Timer2->stop();
    Prepare();
  }
  // Opens `name` through the Open dialog (writing it first when missing); the player reports it
  // loaded, paused at 0, `duration` seconds long.
  void OpenLoaded(const QString& name, double duration = 600) {
    if (!QFile::exists(Path(name))) {
      ASSERT_TRUE(test_media::WriteAll(Path(name), QByteArray(64, 'x')));
    }
    player.calls.clear();
    player.state = MediaPlayer::kPaused;
    player.durationSeconds = duration;
    Open(Path(name));
  }
  // The player pauses at `seconds`, as when the pedal's play switch is released.
  void PauseAt(double seconds) {
    player.position = seconds;
    player.ChangeState(MediaPlayer::kPaused);
  }
  // The opening put the player at `seconds`, paused, and said so; or left it at its start.
  void ExpectResumedAt(double seconds, const QString& note) {
    EXPECT_DOUBLE_EQ(player.position, seconds);
    const std::vector<std::string> tail{"position " + std::to_string(seconds), "play", "pause"};
    ASSERT_GE(player.calls.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(player.calls.end() - 3, player.calls.end()), tail);
    EXPECT_EQ(form->HeadExt->text(), note);
  }
  void ExpectAtTheStart() {
    EXPECT_DOUBLE_EQ(player.position, 0);
    for (const std::string& call : player.calls) EXPECT_NE(call.rfind("position", 0), 0u) << call;
    EXPECT_EQ(form->HeadExt->text(), "Quillmark");
  }
  std::filesystem::path StateFile() const {
    return std::filesystem::path(stateFolder.toStdString()) / quillmark::kResumeFileName;
  }
};

TEST_F(Queue, ARecordingOpenedAgainWaitsPausedWhereItWasLeft) {
  const struct {
    const char* name;
    double left;
    std::function<void()> leave;  // how the typist leaves the recording at `left`
    QString note;
  } ways[] = {
      {"paused.wav", 61.2, [this] { PauseAt(61.2); }, "Resumed at 00:01:01:05"},
      {"replaced.wav", 75.5,
       [this] {
         player.position = 75.5;  // playing, no pause
         OpenLoaded("other.wav");
       },
       "Resumed at 00:01:15:12"},
      {"restarted.wav", 3599.96,
       [this] {
         player.position = 3599.96;
         Restart();
       },
       "Resumed at 00:59:59:24"},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    OpenLoaded(way.name, 7200);
    way.leave();
    OpenLoaded(way.name, 7200);
    ExpectResumedAt(way.left, way.note);
  }
  // The place is the recording's own: another one opens at its start.
  OpenLoaded("never played.wav");
  ExpectAtTheStart();
}

TEST_F(Queue, StartsAtTheStartNearItsEndsWhenChangedOrWithTheOptionOff) {
  using std::filesystem::last_write_time;
  const struct {
    const char* name;
    double left;
    std::function<void(const QString&)> between;  // before it is opened again
  } cases[] = {
      {"start.wav", 5.0, {}},
      {"end.wav", 595.0, {}},
      {"grown.wav", 61.2,
       [](const QString& path) { ASSERT_TRUE(test_media::WriteAll(path, "longer now")); }},
      {"touched.wav", 61.2,
       [](const QString& path) {
         const std::filesystem::path file = path.toStdString();
         last_write_time(file, last_write_time(file) + std::chrono::seconds(1));
       }},
      {"option off.wav", 61.2, [this](const QString&) { form->ResumeOn->setChecked(false); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form->ResumeOn->setChecked(true);
    OpenLoaded(c.name);
    PauseAt(c.left);
    if (c.between) c.between(Path(c.name));
    OpenLoaded(c.name);
    ExpectAtTheStart();
  }
  // Off, places are neither looked up nor kept, in this run or the next.
  Restart();
  const std::string kept = testing_support::ReadWholeFile(StateFile());
  ASSERT_FALSE(kept.empty());
  EXPECT_FALSE(form->ResumeOn->isChecked());
  OpenLoaded("start.wav");
  PauseAt(90);
  OpenLoaded("end.wav");
  ExpectAtTheStart();
  Restart();
  EXPECT_EQ(testing_support::ReadWholeFile(StateFile()), kept);
}

// A folder worked through: each finished recording is forgotten and the next offered; No opens
// nothing; the one last offered carries on where it was left; then the folder is done.
TEST_F(Queue, FileFinishedOffersTheNextUnfinishedRecordingUntilTheFolderIsDone) {
  const QString folder = Path("day");
  ASSERT_TRUE(QDir().mkpath(folder + "/Completed"));
  for (const char* name : {"talk 10.wav", "Talk 2.WAV", "talk 1.mp3", "notes.txt", "talk 0.wav.bak",
                           "Completed/talk 0.wav"}) {
    ASSERT_TRUE(test_media::WriteAll(folder + "/" + name, "x"));
  }
  const auto finish = [&](const QString& name, const QString& then, Answer answer) {
    messages.Expect("Move " + name + " into Completed Folder?", "Transcription Done",
                    Buttons::OkCancel);
    messages.Expect(then, "Next Recording", answer == Answer::Ok ? Buttons::OkOnly : Buttons::YesNo,
                    answer);
    player.calls.clear();
    form->finished_Click();
  };

  OpenLoaded("day/talk 10.wav");
  PauseAt(100);
  OpenLoaded("day/talk 1.mp3");
  PauseAt(30);
  finish("talk 1.mp3", "Open next: Talk 2.WAV?", Answer::No);
  EXPECT_EQ(form->windowTitle(), "Quillmark");
  EXPECT_EQ(player.url, "");

  OpenLoaded("day/Talk 2.WAV");
  finish("Talk 2.WAV", "Open next: talk 10.wav?", Answer::Yes);
  EXPECT_EQ(form->windowTitle(), "Quillmark - talk 10.wav");
  EXPECT_EQ(player.url, folder + "/talk 10.wav");
  ExpectResumedAt(100, "Resumed at 00:01:40:00");

  finish("talk 10.wav",
         "Folder done: no recording is left to transcribe in " + QDir::toNativeSeparators(folder) +
             ".",
         Answer::Ok);
  EXPECT_EQ(form->windowTitle(), "Quillmark");
  EXPECT_EQ(dialog.shown, 3) << "only the typist's own openings showed the dialog";

  // Finished recordings are forgotten: put back unchanged, in the next run, one starts at its
  // start.
  Restart();
  ASSERT_TRUE(QFile::rename(folder + "/Completed/talk 1.mp3", folder + "/talk 1.mp3"));
  OpenLoaded("day/talk 1.mp3");
  ExpectAtTheStart();
}

}  // namespace
