#pragma once
// Quillmark's one window. Every control keeps its name on the form; the state several handlers
// share lives in the form-level variables below and in the captions of labels. The handlers are
// grouped by concern, each group in its own source file (named beside it).

#include <QString>
#include <QWidget>
#include <array>
#include <memory>

#include <filesystem>
#include <optional>
#include <string_view>

#include "audio/audio_settings.h"
#include "chunk_scanner.h"
#include "envelope_decoder.h"
#include "form_widgets.h"
#include "kept_places.h"
#include "platform/announcing_message_boxes.h"
#include "time_code.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QSlider;
class QTimer;
class QToolButton;
class FileDialog;
class MediaPlayer;
class MessageBoxes;
class SerialControl;
struct CommNotice;
class UsbPedalControl;
class Clipboard;
class WaveformStrip;
namespace quillmark {
struct StoredSettings;
}
namespace accessibility {
class Readout;
}
namespace waveform {
class EnvelopeJob;
}

// What the window talks to outside itself.
struct FormPlatform {
  FormPlatform() = default;
  // The three parts every window needs; the others stay unset (nothing to reach, nothing written)
  // until the caller sets them.
  FormPlatform(MediaPlayer& mediaPlayer, FileDialog& dialog, MessageBoxes& boxes)
      : player(&mediaPlayer), fileDialog(&dialog), messageBoxes(&boxes) {}
  // As the program runs: the settings in the user's folder, an older file taken from the
  // program's own folder.
  static FormPlatform ForUser(MediaPlayer& mediaPlayer, FileDialog& dialog, MessageBoxes& boxes);

  MediaPlayer* player = nullptr;         // MP1
  FileDialog* fileDialog = nullptr;      // cdlg1
  MessageBoxes* messageBoxes = nullptr;
  // MSComm1. Null on a run that must not touch the serial ports (the probe): then no port opens
  // and no pedal line counts as held.
  SerialControl* serial = nullptr;
  // The USB pedals that MSComm1 reaches from port UsbPedalControl::kFirstPort on; offered after
  // "COM 8". Null: no USB pedals.
  UsbPedalControl* usbPedals = nullptr;
  // The system clipboard; null on a run that must not touch it (the probe).
  Clipboard* clipboard = nullptr;
  // The user's settings folder (~/.config/quillmark, UserSettingsFolder()): the settings file is
  // read there and written there; the first save makes the folder. Empty: nothing is written.
  QString settingsFolder;
  // The program's own folder, only read: a settings file there is taken once, while the user's
  // folder has none.
  QString programFolder;
  // False for a run that must leave the user's settings as they are (the probe): they are read
  // but never written.
  bool saveSettings = true;
  // Where the window keeps what it learns while used (where each recording was left off):
  // UserStateFolder(). Empty: nothing is kept or looked up.
  QString stateFolder;
  // Where computed waveforms are kept between runs (WaveformCacheFolder()); empty: not kept.
  QString cacheFolder;
};

// Where the user's settings live: QStandardPaths' configuration folder for this application,
// ~/.config/quillmark (under $XDG_CONFIG_HOME when that is set). The application's name must be
// set first (SetApplicationIdentity).
QString UserSettingsFolder();
// The name and version the configuration folder and the desktop know the program by.
void SetApplicationIdentity();
// $XDG_STATE_HOME/quillmark, or ~/.local/state/quillmark when that is not set.
QString UserStateFolder();
// Where computed waveforms are kept: ~/.cache/quillmark (under $XDG_CACHE_HOME when that is set).
QString WaveformCacheFolder();

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(const FormPlatform& platform, QWidget* parent = nullptr);
  ~Form1() override;

  // ---- Window geometry in twips, frame included (twips.h) ----
  int Width() const;
  int Height() const;
  void SetSize(int width, int height);
  void SetHeight(int height);
  // 0 normal, 1 minimised, 2 maximised.
  int WindowState() const;

  // ---- Start-up and shut-down (form_lifecycle.cpp) ----
  void Form_Load();
  void Form_Unload();
  void Closemenu_Click();
  void Timer2_Timer();
  // The auto-backup setting on the AutoBack label, as start-up shows it.
  void ShowAutoBackSetting();

  // ---- Options panel, layout, clipboard, speed, wind, auto-backup and the settings file
  //      (layout.cpp, clipboard.cpp, speed_wind_backup.cpp, settings.cpp; connected in
  //      options_connections.cpp) ----
  // The layout rules; runs on every size change of the window.
  void Form_Resize();
  void Settings_Click();
  void Videosize_Click();
  void Ontop_Click();
  void Bal_Change();
  // A row chosen in DEFAULTTC or DEFAULTDF: the frame-rate caption, in red.
  void DEFAULTTC_Click();
  void Dbgshow_MouseDown(int button, int shift, int x, int y);
  void Aboutbtn_Click();
  void Closebtn_Click();
  // The time code display as one text, "HH:MM:SS:FF".
  QString ShownTimeCode() const;
  // The displayed time code onto the clipboard in the format TCFormat names.
  void CopyTCToClipboard();
  void CopyTC_Click();
  void CopyTC_MouseDown();
  void CopyTC_MouseUp();
  void TCFormat_Click();
  void SpeedSlide_Change();
  void SPlbl_DblClick();
  void Image2_Click();
  void RWScroll_Change();
  void SWAPFFRW_Click();
  void AutoBack_Click();
  void AutoBack_DblClick();
  // After the play switch is released: a paused player steps back AutoBackSeconds.
  void AutoBackup();
  // A pedal wind switch let go: the player ends paused where the wind took it, and PositionJumped
  // tells of the jump once (the wind's own steps on the display tick are not told one by one).
  void WindReleased();
  // The settings file onto the option controls, and back (FormPlatform says where it lives).
  void LoadSettings();
  void SaveSettings();

  // ---- Opening media and player events (open_media.cpp) ----
  // The Open dialog's filter: "description|patterns" pairs, the first shown first.
  static const char* const kOpenFilter;
  void Fileopen_Click();
  void MP1_PlayStateChange(int newState);
  void MP1_KeyDown(int keyCode, int shift);
  void MP1_MouseUp(int button, int shift, int x, int y);
  // The player cannot play the recording just opened: the typist is told why, and the window
  // has nothing open.
  void MP1_MediaError(const QString& reason);
  // No sound device: the recording plays silently, and NoSound says so.
  void MP1_NoSoundDevice(bool missing);
  // The box that tells the typist the recording `name` cannot be played, and why.
  void ReportCannotPlay(const QString& name, const QString& reason);
  void Label1_Click(int index);

  // ---- Display tick (display_tick.cpp) ----
  void Timer1_Timer();
  // The time code the display shows for the play position `position`, "HH:MM:SS:FF".
  QString DisplayTimeCode(double position) const;

  // ---- Foot pedal (pedal.cpp) ----
  void ProbePedalPorts();
  void EnablePedal();
  void PedalPort_Click();
  void MSComm1_OnComm(const CommNotice& notice);
  // The play switch: pressed, the player plays; released, it pauses and steps back. Each copies
  // the time code when TCPaste says so. Anything standing in for the switch calls these.
  void PlaySwitchPressed();
  void PlaySwitchReleased();

  // ---- USB pedals (usb_pedal.cpp) ----
  // The USB pedals' entries after "COM 8", for pedals not yet listed.
  void AddUsbPedalPorts();
  // A USB pedal's turn: unplugged, back, or not readable by this user.
  void UsbPedalTurn(int event);
  void LearnPedal_Click();

  // ---- Time code readers of the open recording (media_readers.cpp) ----
  void ScanChunks();
  void ReadBWFTimeCode();
  void ReadID3TimeCode();
  void ReadTODTimeCode();

  // ---- Transcription workflow: time code source, typed time code, hot keys, bookmarks,
  //      finishing (time_code_source.cpp, hot_keys.cpp, bookmarks.cpp,
  //      finish_transcription.cpp; connected in workflow_connections.cpp) ----
  void TCLabel_Click();
  void SetTC_Click();
  // A key typed into TCEntry, as its character code: Enter (13) accepts the typed time code,
  // Esc (27) closes the box; both are swallowed (set to 0). Other keys go into the box.
  void TCEntry_KeyPress(int& KeyAscii);
  // Keys on Logo as virtual-key codes and shift mask; a consumed key comes back as code 0.
  void Logo_KeyDown(int& KeyCode, int& Shift);
  void Logo_KeyUp(int KeyCode, int Shift);
  void SetBookmark(int n);
  void JumpToBookmark(int n);
  void Bookmark_Click();
  void LoadBookmarks();
  void finished_Click();
  void Waitbox_DblClick();

  // ---- Reached from other programs too (outside_control.cpp) ----
  // Moves the player to `seconds`; a paused player shows the new place, and PositionJumped tells
  // of the move. Every jump in the recording goes through here (bookmarks, the step back, wind
  // steps, a selected time code, the remote), except three that announce their jump themselves:
  // the hot keys' frame and second steps (the picture follows on the key's release), the end of
  // a pedal wind (WindReleased) and StopPlayer. A new way of moving (a click in a position bar,
  // opening where the typist left off) calls MoveTo.
  void MoveTo(double seconds);

  // Back by the auto-backup amount, playing or paused; nothing while auto-backup is off.
  void StepBack();
  // Stops, back at the start, as Esc and S do.
  void StopPlayer();
  // One wind step (RWScroll / 10 seconds), back for a negative direction, else forward.
  void WindStep(int direction);
  // Opens `path` as if the typist had chosen it in the Open dialog.
  void OpenRecording(const QString& path);
  // Brings the window to the front, restored when it was minimised.
  void RaiseWindow();
  // Goes to the time code the typist has selected in any program, or else to the one on the
  // clipboard, in any of the clipboard formats; tells the typist in the main strip when there is
  // none or it lies outside the recording. The time code found goes to `found`.
  enum class TimeCodeJump { Moved, NoTimeCode, NoRecording, OutsideRecording };
  TimeCodeJump GoToSelectedTimeCode(QString* found = nullptr);
  // A short note in the main strip, in place of the program's name for a few seconds.
  void ShowStatus(const QString& text);
  // Tells `listener` of the next message box just before it shows (text, title, buttons); an
  // empty listener hears none. A caller outside answers there, so that it never waits on the
  // typist closing the box.
  void AnnounceNextBox(AnnouncingMessageBoxes::Listener listener);
  // The program's name back at once: the note was about what the window showed before.
  void ClearStatus();
  // Where the play position must be for the display to show the time code `text`
  // ("HH:MM:SS:FF"), with the active time code start (time_code_source.cpp).
  double PositionOfTimeCode(const QString& text) const;

  // ---- Where the typist left off, and the next recording (recording_queue.cpp) ----
  // Keeps where the open recording is now, to carry on from there when it is opened again. The
  // place belongs to the file as it was when opened: one replaced on disk since is another.
  void RememberPosition();
  // Notes which file was just opened; puts it where it was left off, paused, and says so in the
  // main strip.
  void ResumeWhereLeftOff();
  // File Finished has moved the recording at `finishedPath` into Completed: its place is
  // forgotten, and the next unfinished recording of its folder offered (or the folder is done).
  void AfterFinishing(const QString& finishedPath);
  // The first unfinished recording, in natural name order, of the open recording's folder (or,
  // with none open, of the folder last opened from), other than the open one; "" when none.
  QString NextRecordingPath() const;
  // On the options panel: "Resume where I left off", kept in the settings file.
  QCheckBox* ResumeOn;

  // ---- Sound: volume, speech levelling, noise reduction, rumble cut, channel
  //      (audio_controls.cpp) ----
  // The settings as the audio page's controls hold them.
  audio::AudioSettings AudioSettingsNow() const;
  // Onto the controls, whose handler applies them as a typist's change would.
  void SetAudioSettings(const audio::AudioSettings& settings);
  // Any control of the audio page changed: the player gets the settings at once, and the keys
  // go back to Logo.
  void Audio_Change();
  void AudioBtn_Click();
  // Also when the options panel closes.
  void AudioDone_Click();
  void VolumeLbl_DblClick();
  // ---- Position bar with the recording's waveform (waveform_connections.cpp) ----
  // Shows or hides the bar; the window grows or shrinks by its band.
  void ShowWaveform_Click();
  // The open recording's envelope, computed afresh or taken from the cache; none while nothing
  // is open or the bar is hidden. Any computation under way is cancelled, without waiting.
  void StartWaveform();
  // From the display tick: the bar's length, play position, bookmarks and progress.
  void Waveform_Tick(double position);
  // A click, drag or assistive tool chose `seconds`: the player moves there.
  void Waveform_PositionChosen(double seconds);
  // Up and Down zoom the bar in and out; true when the key was one of them.
  bool Waveform_KeyDown(int keyCode, int shift);
  // The twips the bar adds to the window's height; 0 while it is hidden.
  int WaveformHeight() const;
  WaveformStrip* Waveform;
  QCheckBox* ShowWaveform;

  // ---- Platform components ----
  MediaPlayer* const MP1;
  FileDialog* const cdlg1;
  MessageBoxes* const MsgBox;  // the platform's boxes, announced (AnnounceNextBox)
  SerialControl* const MSComm1;
  UsbPedalControl* const UsbPedals;

  // ---- Form-level state ----
  QString MediaExt;
  double BWFStartTC = 0;
  double TODStartTC = 0;
  double ID3StartTC = 0;
  double ID3Duration = 0;
  qint16 TCSource = 0;
  double UserTCValue = 0;
  std::array<double, 13> BookmarkPos{};
  QString BookmarkFile;
  double TCOffset = 0;
  bool NoBext = false;
  float AutoBackSeconds = 0;
  QString Timer2Tag;   // the splash countdown, as text
  QString TCLabelTag;  // the time code name kept while the entry box is open
  QString FailedFile;  // the name of the file last opened when the player could not play it
  timecode::ChunkScan Chunks;  // the chunk table of the open recording

  // ---- Main strip ----
  PictureBox* Logo;
  QToolButton* Fileopen;
  QToolButton* Settings;
  QToolButton* Videosize;
  QToolButton* SetTC;
  QComboBox* Bookmark;
  QToolButton* finished;
  QToolButton* Aboutbtn;
  QSlider* SpeedSlide;
  ClickLabel* SPlbl;
  ClickLabel* Image2;
  std::array<ClickLabel*, 6> Label1;
  QLabel* Framerate;
  QLabel* STC;
  QLabel* Duration;
  QLabel* Samplerate;
  QLabel* FDT;
  QLabel* UB;
  ClickLabel* TCLabel;
  QFrame* TChilight;
  QLabel* HeadExt;
  QLabel* NoSound;  // shown while the recording plays silently for want of a sound device
  QTimer* Timer1;
  QTimer* Timer2;

  // ---- Time code window ----
  PictureBox* TCWin;
  QLabel* TCHour;
  QLabel* TCMin;
  QLabel* TCSecond;
  QLabel* TCFrame;
  std::array<QLabel*, 3> Colon;
  QLineEdit* TCEntry;

  // ---- Clipboard button ----
  PictureBox* CopyTC;

  // ---- Options panel ----
  PictureBox* Options;
  QComboBox* PedalPort;
  QCheckBox* PEDALON;
  QPushButton* LearnPedal;  // "Learn pedal...": teaches Quillmark a USB pedal's switches
  QLabel* Pedalstat;
  QComboBox* DEFAULTTC;
  QComboBox* DEFAULTDF;
  QScrollBar* RWScroll;
  QLabel* BACKSEC;
  QCheckBox* SWAPFFRW;
  QComboBox* TCFormat;
  QComboBox* TCPaste;
  QCheckBox* Ontop;
  QCheckBox* TODTC;
  QSlider* Bal;
  QLabel* Label2;
  QLabel* Label3;
  std::array<QLabel*, 3> LGND;
  ClickLabel* AutoBack;
  QPushButton* Closemenu;
  ClickLabel* Dbgshow;
  QPlainTextEdit* Dbugtxt;
  QLabel* TmpLbl;
  QLabel* TOD;
  QLabel* Label4;
  QLabel* Label5;
  QFrame* Shape1;

  // ---- Audio page, over the options panel's box (audio_controls.cpp) ----
  QPushButton* AudioBtn;  // "Audio..." on the options panel
  PictureBox* AudioPanel;
  QLabel* VolumeCaption;
  QSlider* VolumeSlide;    // percent, 0 to 400
  ClickLabel* VolumeLbl;   // "150 %"; a double click goes back to 100 %
  QLabel* NoiseCaption;
  QComboBox* ReduceNoise;  // Off, Low, Medium, High
  QCheckBox* CutRumble;
  QLabel* ChannelCaption;
  QComboBox* Channel;      // Both, Left only, Right only, Both mixed to mono
  QCheckBox* LevelSpeech;
  QPushButton* AudioDone;
  QList<QWidget*> AudioCovered;  // the box's own controls, put away while the page shows

  // ---- About panel ----
  PictureBox* Aboutscreen;
  QGroupBox* ABOUTFrame;
  QPushButton* Closebtn;
  QLabel* Image1;
  QLabel* VersionLabel;
  QLabel* AboutLbl;

  // ---- Wait panel ----
  PictureBox* Waitbox;
  QLabel* Indicator;
  QLabel* Label6;

 signals:
  // A recording was opened, or released by File Finished.
  void RecordingChanged();
  // The play position jumped: any move that is not playback running on (see MoveTo). `seconds`
  // is where the player reports it now, within the recording. Sent once per jump; a recording
  // just opened starts at 0 and is no jump.
  void PositionJumped(double seconds);
  // A sound setting changed, from the audio page, the settings file or outside.
  void AudioSettingsChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;  // options panel and layout part
  void changeEvent(QEvent* event) override;        // layout.cpp: the smallest size per state

 private:
  // layout.cpp: the smallest size the window can be dragged to
  void FitMinimumSize();

  // form_controls.cpp
  void CreateControls();
  void CreateMainStrip();
  void CreateTimeCodeWindow();
  void CreateOptionsPanel();
  void CreateAboutPanel();
  void CreateWaitPanel();
  void ConnectHandlers();
  void ConnectOptionsHandlers();  // options_connections.cpp
  void ConnectPedalHandlers();    // pedal.cpp
  void ConnectUsbPedalHandlers();  // usb_pedal.cpp
  // audio_controls.cpp: the audio page and its button, their handlers, and the settings-file
  // lines after the twelve.
  void CreateAudioControls();
  void ConnectAudioHandlers();
  void RestoreAudioSettings(const quillmark::StoredSettings& stored);
  void StoreAudioSettings(quillmark::StoredSettings& values) const;
  // The controls' settings to the player and the remote's listeners; the focus stays where it
  // is, so a change from outside never takes the keys from a field the typist is in.
  void ApplyAudioSettings();
  // settings.cpp: the chosen or taught USB pedal, after the twelve lines, and back.
  void RestoreUsbPedal(const quillmark::StoredSettings& stored);

  // ---- What screen readers see (accessible_names.cpp) ----
  // Every control's accessible name, and the running time code as one text.
  void NameControlsForScreenReaders();
  // The time code window's one text; the display tick announces its changes.
  std::unique_ptr<accessibility::Readout> timeCodeReadout_;

  // waveform_connections.cpp: the bar and its option made, connected and laid out; the option's
  // line after the twelve, read and written.
  void CreateWaveform();
  void ConnectWaveformHandlers();
  void PlaceWaveform();
  void RestoreWaveformSetting(const quillmark::StoredSettings& stored);
  void StoreWaveformSetting(quillmark::StoredSettings& values) const;
  std::shared_ptr<waveform::EnvelopeJob> waveformJob_;
  waveform::Outcome waveformOutcome_ = waveform::Outcome::Running;
  bool waveformShown_ = true;
  // What the pointer's time code was last counted with.
  double waveformOffset_ = 0;
  QString waveformCaption_;

  // open_media.cpp: every per-recording value back to its value before a recording is read, and
  // every caption that describes a recording emptied
  void ResetRecordingValues();
  // open_media.cpp: the window with no recording open, after a recording failed or was finished:
  // no media path, the program's name as title, the values and captions reset, the bookmark list
  // hidden and the time code at 00:00:00:00. The remote's actions that need a recording are
  // refused from here on.
  void ShowNothingOpen();

  // media_readers.cpp: adds reader lines to Dbugtxt
  void AppendDebug(std::string_view text);

  // display_tick.cpp: writes a two-digit field only when its text changed
  static void ShowField(QLabel* label, double value, bool always);
  // display_tick.cpp: the display's fields for `position` under the frame-rate caption `caption`
  timecode::TCFields DisplayFields(double position, std::string_view caption) const;

  // recording_queue.cpp
  void ConnectQueueHandlers();
  QString NextRecordingIn(const QString& folder, const QString& skipName) const;
  std::unique_ptr<quillmark::KeptPlaces> places_;  // none without a state folder
  bool placesTold_ = false;  // the note that places cannot be kept was shown
  std::optional<quillmark::RecordingIdentity> openRecording_;  // as it was when opened

  // ---- Transcription workflow, private part ----
  void ConnectWorkflowHandlers();
  // After moving a paused player: play and pause at once, so it shows the new position.
  void RefreshIfPaused();
  // Play and pause at once, whatever the state: the player ends paused and shows its position.
  void PlayThenPause();
  // Tells PositionJumped where the player is now.
  void AnnounceJump();
  // The text of a bookmark at `position`, with the active time code start.
  QString BookmarkTimeCode(double position) const;
  // The active time code start has changed: the list texts of the bookmarks set are made again
  // from their positions, so that they count as the display does (the bookmark file is not
  // written for it). Nothing while no recording is open.
  void RemakeBookmarkTexts();
  // Writes the thirteen lines beside the open recording; tells the typist when that fails.
  void SaveBookmarkFile();
  // Timer2 while the wait panel shows.
  void AnimateWaitIndicator();
  // A time code as typed or selected, "HH:MM:SS:FF", in seconds (time_code_source.cpp).
  double TimeCodeSeconds(const QString& text) const;
  // How far one wind step moves the position, in seconds.
  double WindStepSeconds() const;

  const FormPlatform platform_;
  AnnouncingMessageBoxes announcedBoxes_;  // what MsgBox shows through
  bool unloaded_ = false;
  bool pedalAccessTold_ = false;  // the box about a USB pedal this user may not read
  QTimer* statusTimer_ = nullptr;  // puts the program's name back after ShowStatus
};
