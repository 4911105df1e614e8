// The settings file through the real window: saved by the options panel's Close button, applied
// at start-up, a folder that refuses the file, and the move from the program's folder into the
// user's.

#include <QCheckBox>
#include <QDir>
#include <QComboBox>
#include <QScrollBar>
#include <QSlider>

#include "support/form_fixture.h"
#include "support/read_only_folder.h"
#include "support/temporary_folder.h"
#include "support/test_media.h"

namespace {

using testing_support::ReadWholeFile;
using testing_support::WriteWholeFile;

class SettingsOnDisk : public FormTest {
 protected:
  std::filesystem::path File() const { return Path("Quillmark.inf").toStdString(); }
  std::unique_ptr<Form1> Restart() {
    auto next = std::make_unique<Form1>(PlatformIn(dir.path()));
    next->Timer1->stop();
    next->Timer2->stop();
    return next;
  }
};

TEST_F(SettingsOnDisk, RoundTripThroughTheFile) {
  EXPECT_FALSE(std::filesystem::exists(File())) << "a first run finds no file";
  form->DEFAULTTC->setCurrentIndex(3);
  form->DEFAULTDF->setCurrentIndex(1);
  form->TCFormat->setCurrentIndex(6);
  form->TCPaste->setCurrentIndex(2);
  form->PedalPort->setCurrentIndex(4);
  form->PEDALON->setChecked(true);
  form->SWAPFFRW->setChecked(true);
  form->ResumeOn->setChecked(false);
  form->RWScroll->setValue(12);
  form->Ontop->setChecked(true);
  for (int click = 0; click < 5; ++click) form->AutoBack_Click();
  form->TODTC->setChecked(true);
  form->Bal->setValue(150);
  form->Closemenu_Click();
  EXPECT_EQ(ReadWholeFile(File()),
            " 3 \r\n 1 \r\n 6 \r\n 2 \r\n 1 \r\n 4 \r\n 1 \r\n 12 \r\n 1 \r\n 2.5 \r\n 1 \r\n"
            " 150 \r\nResumeWhereLeftOff=0\r\n");

  player.balance = 0;
  const auto next = Restart();
  EXPECT_EQ(next->DEFAULTTC->currentIndex(), 3);
  EXPECT_EQ(next->DEFAULTDF->currentIndex(), 1);
  EXPECT_EQ(next->Framerate->text(), "25.000 DF");
  EXPECT_EQ(ForeColor(next->Framerate), 0x0000FF);
  EXPECT_EQ(next->TCFormat->currentIndex(), 6);
  EXPECT_EQ(next->TCPaste->currentIndex(), 2);
  EXPECT_EQ(next->PedalPort->currentIndex(), 4);
  EXPECT_TRUE(next->PEDALON->isChecked());
  EXPECT_TRUE(next->SWAPFFRW->isChecked());
  EXPECT_EQ(next->SWAPFFRW->text(), "   Swap Rew<Play>Fwd");
  EXPECT_EQ(next->RWScroll->value(), 12);
  EXPECT_EQ(next->BACKSEC->text(), "12");
  EXPECT_TRUE(next->Ontop->isChecked());
  EXPECT_TRUE(next->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(next->AutoBackSeconds, 2.5f);
  EXPECT_EQ(next->AutoBack->text(), "AutoBackup = 2.5 Sec");
  EXPECT_TRUE(next->TODTC->isChecked());
  EXPECT_EQ(next->Bal->value(), 150);
  EXPECT_FALSE(next->ResumeOn->isChecked());
  EXPECT_EQ(player.balance, 50);
}

TEST_F(SettingsOnDisk, OpenStartsInTheFolderOfTheLastRecordingAcrossRuns) {
  const QString folder = Path("recordings");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString media = folder + "/talk.wav";
  ASSERT_TRUE(test_media::WriteAll(media, "RIFF"));
  Open(media);
  EXPECT_EQ(dialog.shownFolder, "") << "a first run starts in the working folder";
  dialog.answers << "";  // cancelled: the folder stays
  form->Fileopen_Click();
  EXPECT_EQ(dialog.shownFolder, folder);
  Open(media);
  EXPECT_EQ(dialog.shownFolder, folder);

  // Remembered after the twelve lines, which read as before.
  form->Closemenu_Click();
  const std::string saved = ReadWholeFile(File());
  EXPECT_TRUE(saved.ends_with(" 100 \r\nLastFolder=" + folder.toStdString() + "\r\n")) << saved;
  dialog.InitDir.clear();
  const auto next = Restart();
  EXPECT_EQ(dialog.InitDir, folder);
}

TEST_F(SettingsOnDisk, ThePedalPortIsChosenBeforeThePedalIsSwitchedOn) {
  WriteWholeFile(File(), " 0 \r\n 0 \r\n 1 \r\n 0 \r\n 1 \r\n 6 \r\n 0 \r\n 5 \r\n 0 \r\n 0 \r\n"
                         " 0 \r\n 100 \r\n");
  std::vector<int> portWhenSwitched;
  QObject::connect(form->PEDALON, &QCheckBox::toggled,
                   [&] { portWhenSwitched.push_back(form->PedalPort->currentIndex()); });
  form->LoadSettings();
  EXPECT_EQ(portWhenSwitched, std::vector<int>{6});
}

TEST_F(SettingsOnDisk, UnreadableValuesKeepTheDesignValues) {
  // An index beyond its list, a word, a check state of 2, a wind step past the scroll bar, and
  // the file ending after line 10.
  WriteWholeFile(File(), " 4 \r\n 2 \r\nabc\r\n 1 \r\n 2 \r\n 8 \r\n 1 \r\n 101 \r\n 0 \r\n 1.5 ");
  const auto next = Restart();
  EXPECT_EQ(next->DEFAULTTC->currentIndex(), 4);
  EXPECT_EQ(next->DEFAULTDF->currentIndex(), -1);
  EXPECT_EQ(next->Framerate->text(), "23.976 ND");
  EXPECT_EQ(next->TCFormat->currentIndex(), 1);
  EXPECT_EQ(next->TCPaste->currentIndex(), 1);
  EXPECT_FALSE(next->PEDALON->isChecked());
  EXPECT_EQ(next->PedalPort->currentIndex(), -1);
  EXPECT_TRUE(next->SWAPFFRW->isChecked());
  EXPECT_EQ(next->RWScroll->value(), 5);
  EXPECT_EQ(next->AutoBackSeconds, 1.5f);
  EXPECT_FALSE(next->TODTC->isChecked());
  EXPECT_EQ(next->Bal->value(), 100);
  EXPECT_TRUE(next->ResumeOn->isChecked()) << "a file from before the option leaves it on";
}

// The sound settings follow the twelve lines; a file from before them reads and saves as it did.
TEST_F(SettingsOnDisk, SoundSettingsFollowTheTwelveLinesAndOlderFilesReadTheSame) {
  const std::string older =
      " 3 \r\n 1 \r\n 6 \r\n 2 \r\n 0 \r\n 4 \r\n 1 \r\n 12 \r\n 0 \r\n 2.5 \r\n 1 \r\n"
      " 150 \r\nLastFolder=/home/typist/recordings\r\n";
  WriteWholeFile(File(), older);
  auto next = Restart();
  EXPECT_EQ(next->AudioSettingsNow(), audio::AudioSettings{});
  EXPECT_EQ(next->TCFormat->currentIndex(), 6);
  next->Closemenu_Click();
  EXPECT_EQ(ReadWholeFile(File()), older);

  const audio::AudioSettings chosen{175, true, audio::NoiseReduction::Medium, true,
                                    audio::Channel::LeftOnly};
  next->SetAudioSettings(chosen);
  next->Closemenu_Click();
  EXPECT_EQ(ReadWholeFile(File()),
            older.substr(0, older.find("LastFolder")) +
                "Channel=1\r\nCutRumble=1\r\nLastFolder=/home/typist/recordings\r\n"
                "LevelSpeech=1\r\nReduceNoise=2\r\nVolume=175\r\n");
  next.reset();
  player.audio = {};
  next = Restart();
  EXPECT_EQ(next->AudioSettingsNow(), chosen);
  EXPECT_EQ(player.audio, chosen) << "the player has them from the start";
  EXPECT_EQ(next->VolumeLbl->text(), "175 %");
  EXPECT_EQ(next->Bal->value(), 150);

  // A line that cannot be read leaves that one setting at its default.
  WriteWholeFile(File(), older + "Volume=loud\r\nReduceNoise=3\r\nChannel=7\r\n");
  next = Restart();
  EXPECT_EQ(next->AudioSettingsNow(),
            (audio::AudioSettings{100, false, audio::NoiseReduction::High, false,
                                  audio::Channel::Both}));
}

TEST_F(SettingsOnDisk, ProbeRunsNeverWriteTheFile) {
  FormPlatform platform = PlatformIn(dir.path());
  platform.saveSettings = false;
  Form1 probe(platform);
  probe.Closemenu_Click();
  EXPECT_FALSE(std::filesystem::exists(File()));
}

TEST_F(SettingsOnDisk, AFolderThatRefusesTheFileGivesOneBoxPerSave) {
  testing_support::TemporaryFolder folder;
  const auto file = folder / "Quillmark.inf";
  WriteWholeFile(file, " 2 \r\n");
  Form1 window(PlatformIn(QString::fromStdString(folder.path().string())));
  EXPECT_EQ(window.DEFAULTTC->currentIndex(), 2);
  testing_support::MakeReadOnly(folder.path());
  {
    testing_support::WithoutRootPrivileges unprivileged;
    const QString text = "Settings Not Saved \r\n Folder Permission Denied\r\n" +
                         QString::fromStdString(folder.path().string());
    messages.Expect(text, "ERROR SAVING SETTINGS");
    window.Settings_Click();
    window.DEFAULTTC->setCurrentIndex(4);
    window.Closemenu_Click();
    EXPECT_EQ(messages.shown, 1);

    // The options still apply for the rest of the run; the next save tries again.
    EXPECT_EQ(window.Framerate->text(), "23.976 ND");
    window.RWScroll->setValue(20);
    EXPECT_EQ(window.BACKSEC->text(), "20");
    messages.Expect(text, "ERROR SAVING SETTINGS");
    window.Closemenu_Click();
    EXPECT_EQ(messages.shown, 2);
  }
  EXPECT_EQ(ReadWholeFile(file), " 2 \r\n") << "the old file stays whole";
}

TEST_F(SettingsOnDisk, OtherSaveFailuresPassQuietly) {
  // The settings folder would have to be made inside a plain file.
  WriteWholeFile(Path("plain").toStdString(), "x");
  Form1 window(PlatformIn(dir.filePath("plain/quillmark")));
  window.Closemenu_Click();
  EXPECT_EQ(messages.shown, 0);
}

// The installed program: the user's settings folder under a home folder, and the program's
// folder beside it.
class SettingsInTheUsersFolder : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    std::filesystem::create_directory(Program());
  }
  std::filesystem::path Program() const { return Path("usr-bin").toStdString(); }
  std::filesystem::path UserFolder() const {
    return Path("home/.config/quillmark").toStdString();
  }
  std::unique_ptr<Form1> Start() {
    FormPlatform platform = PlatformIn(dir.path());
    platform.programFolder = QString::fromStdString(Program().string());
    platform.settingsFolder = QString::fromStdString(UserFolder().string());
    auto window = std::make_unique<Form1>(platform);
    window->Timer1->stop();
    window->Timer2->stop();
    return window;
  }
};

TEST_F(SettingsInTheUsersFolder, AFreshUserStartsWithTheDesignValuesAndTheFirstSaveMakesTheFolder) {
  const auto window = Start();
  EXPECT_EQ(window->DEFAULTTC->currentIndex(), -1);
  EXPECT_EQ(window->TCFormat->currentIndex(), 1);
  EXPECT_FALSE(window->PEDALON->isChecked());
  EXPECT_EQ(window->Bal->value(), 100);
  EXPECT_EQ(window->AutoBack->text(), "AutoBackup= OFF");
  window->Closemenu_Click();
  // The same bytes as the window whose settings live in its own folder (the fixture's) saves.
  form->Closemenu_Click();
  const std::string saved = ReadWholeFile(UserFolder() / "Quillmark.inf");
  EXPECT_EQ(saved, ReadWholeFile(Path("Quillmark.inf").toStdString()));
  EXPECT_EQ(saved, "-1 \r\n-1 \r\n 1 \r\n-1 \r\n 0 \r\n-1 \r\n 0 \r\n 5 \r\n 0 \r\n 0 \r\n 0 \r\n"
                   " 100 \r\n");
  // Made for the user alone, like the configuration folder it sits in.
  for (const auto& made : {UserFolder(), UserFolder().parent_path()}) {
    EXPECT_EQ(std::filesystem::status(made).permissions(), std::filesystem::perms::owner_all)
        << made;
  }
  EXPECT_TRUE(std::filesystem::is_empty(Program()));
}

TEST_F(SettingsInTheUsersFolder, AnOldFileInTheProgramFolderIsReadUntilTheUserHasOne) {
  const std::string old = " 3 \r\n 1 \r\n 6 \r\n 2 \r\n 0 \r\n 4 \r\n 1 \r\n 12 \r\n 0 \r\n 2.5 \r\n 0 \r\n"
                          " 150 \r\n";
  WriteWholeFile(Program() / "Quillmark.inf", old);
  {
    const auto first = Start();
    EXPECT_EQ(first->Framerate->text(), "25.000 DF");
    EXPECT_EQ(first->AutoBackSeconds, 2.5f);
    EXPECT_EQ(first->Bal->value(), 150);
    first->Closemenu_Click();
  }
  EXPECT_EQ(ReadWholeFile(UserFolder() / "Quillmark.inf"), old) << "its values are kept";

  // From now on the user's file is the one: a change saved there shows at the next start, and
  // the old file stays as it was.
  {
    const auto second = Start();
    second->DEFAULTTC->setCurrentIndex(4);
    second->Closemenu_Click();
  }
  const auto third = Start();
  EXPECT_EQ(third->Framerate->text(), "23.976 DF");
  EXPECT_EQ(ReadWholeFile(Program() / "Quillmark.inf"), old);
}

TEST_F(SettingsInTheUsersFolder, AReadOnlyProgramFolderIsNeverTouched) {
  WriteWholeFile(Program() / "Quillmark.inf", " 2 \r\n");
  testing_support::MakeReadOnly(Program());
  const auto before = std::filesystem::last_write_time(Program());
  // Run with the privileges the tests have (root on a build machine): a write into the
  // program's folder would go through there and show.
  {
    const auto window = Start();
    EXPECT_EQ(window->DEFAULTTC->currentIndex(), 2);
    window->Closemenu_Click();
    window->Closemenu_Click();
  }
  EXPECT_EQ(messages.shown, 0);
  EXPECT_EQ(ReadWholeFile(Program() / "Quillmark.inf"), " 2 \r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Program()), {}), 1);
  EXPECT_EQ(std::filesystem::last_write_time(Program()), before);
  EXPECT_TRUE(std::filesystem::exists(UserFolder() / "Quillmark.inf"));
}

TEST_F(SettingsInTheUsersFolder, AConfigurationFolderThatCannotBeMadeIsNamedInTheBox) {
  // Everyone may look into the test's folder; nobody may write into the home folder.
  std::filesystem::permissions(dir.path().toStdString(),
                               std::filesystem::perms::others_read |
                                   std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add);
  std::filesystem::create_directory(Path("home").toStdString());
  testing_support::MakeReadOnly(Path("home").toStdString());
  const auto window = Start();
  testing_support::WithoutRootPrivileges unprivileged;
  messages.Expect("Settings Not Saved \r\n Folder Permission Denied\r\n" +
                      QString::fromStdString(UserFolder().string()),
                  "ERROR SAVING SETTINGS");
  window->Closemenu_Click();
  EXPECT_EQ(messages.shown, 1);
}

}  // namespace
