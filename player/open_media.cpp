// Opening a recording, and the events of the player.

#include <QComboBox>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QLabel>
#include <QSlider>
#include <QCheckBox>

#include "form1.h"
#include "platform/file_dialog.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"

const char* const Form1::kOpenFilter =
    "All Media Files |*.WAV;*.BWF;*.MP3;*.WMA;*.WMV;*.AVI;*.FLAC;*.MP2;*.vob|"
    "Wav File (*.wav)|*.wav|MP3 File (*.Mp3)|*.Mp3|WMA Files (*.wma)|*.wma|"
    "AVI Files (*.Avi)|*.AVI|All Files (*.*)|*.*";

namespace {
constexpr const char* kOpenTitle = "Open Media File";

// Only these spellings of the extension have their tag area read.
bool ReadsID3(const QString& mediaExt) {
  return mediaExt == "Mp3" || mediaExt == "MP3" || mediaExt == "mp3";
}
}  // namespace

void Form1::Fileopen_Click() {
  cdlg1->DialogTitle = kOpenTitle;
  cdlg1->Filter = kOpenFilter;
  Bookmark->hide();
  // The recording being replaced is still loaded: its place is kept first.
  if (!cdlg1->FileName().isEmpty()) RememberPosition();
  cdlg1->ShowOpen();
  if (!cdlg1->FileName().isEmpty()) {
    ClearStatus();
    // The next Open starts in this recording's folder.
    cdlg1->InitDir = QFileInfo(cdlg1->FileName()).absolutePath();
    FailedFile.clear();
    setWindowTitle("Quillmark - " + cdlg1->FileTitle());
    ResetRecordingValues();
    ScanChunks();
    Duration->setText("");
    if (!NoBext) ReadBWFTimeCode();
    MP1->setURL(cdlg1->FileName());
    PlayThenPause();  // loaded, waiting paused at the start
    if (ReadsID3(MediaExt)) ReadID3TimeCode();
    // The bookmark file may restore the bookmarks and a user-set time code.
    LoadBookmarks();
    if (UserTCValue != 0) {
      TCSource = 5;
      TCLabel->setText("User Set TIME CODE");
      TCOffset = UserTCValue;
    }
    SpeedSlide->setValue(100);
    emit RecordingChanged();
    ResumeWhereLeftOff();
  }
  Logo->setFocus();
}

void Form1::ResetRecordingValues() {
  TCOffset = 0;
  ID3Duration = 0;
  for (int i = 1; i <= 12; ++i) {
    Bookmark->setItemText(i - 1, QString("F%1 = 00:00:00:00").arg(i));
    BookmarkPos[i] = 0;
  }
  BookmarkFile = "";
  BWFStartTC = 0;
  TODStartTC = 0;
  ID3StartTC = 0;
  UserTCValue = 0;
  TCOffset = 0;
  TCSource = 1;
  DEFAULTTC_Click();  // the default frame rate, in red
  TCLabel->setText("ELAPSED TIME");
  TCLabelTag = "ELAPSED TIME";
  STC->setText("00:00:00:00");
  // What the readers found in the last recording must not be taken for this one's.
  Duration->setText("");
  Samplerate->setText("");
  FDT->setText("00-00-00");
  UB->setText("");
  TOD->setText("");
}

void Form1::ShowNothingOpen() {
  cdlg1->SetFileName("");
  setWindowTitle("Quillmark");
  ResetRecordingValues();
  Bookmark->hide();
  for (QLabel* field : {TCHour, TCMin, TCSecond, TCFrame}) field->setText("00");
  emit RecordingChanged();
}

void Form1::MP1_MediaError(const QString& reason) {
  // Only a recording the window opened is reported; a finished or released one is not open.
  if (cdlg1->FileName().isEmpty()) return;
  // What the readers found in the file belongs to a recording that is not open: the window goes
  // back to having nothing open, so no bookmark file is written beside it and File Finished has
  // nothing to move. The diagnostic lines stay, with the reason.
  FailedFile = cdlg1->FileTitle();
  ShowNothingOpen();
  Dbugtxt->appendPlainText("Cannot play: " + reason);
  ReportCannotPlay(FailedFile, reason);
}

void Form1::ReportCannotPlay(const QString& name, const QString& reason) {
  MsgBox->Show(name + " cannot be played.\r\n" + reason, "CANNOT PLAY FILE",
               MessageBoxes::Buttons::OkOnly);
  Logo->setFocus();
}

void Form1::MP1_NoSoundDevice(bool missing) { NoSound->setVisible(missing); }

void Form1::MP1_PlayStateChange(int /*newState*/) {
  if (MP1->playState() != MediaPlayer::kPlaying) return;
  if (Duration->text().isEmpty()) Duration->setText(MP1->durationString());
  if (TODTC->isChecked() && !Duration->text().isEmpty()) ReadTODTimeCode();
}

void Form1::MP1_KeyDown(int /*keyCode*/, int /*shift*/) { Logo->setFocus(); }

void Form1::MP1_MouseUp(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) { Logo->setFocus(); }

void Form1::Label1_Click(int index) {
  if (index == 2) Duration->setText(MP1->durationString());
}
