// The sound controls: "Audio..." on the options panel opens a page over the panel's box with
// the volume (0 to 400 %), speech levelling, noise reduction, the rumble cut and the channel
// heard. Every change reaches the player at once, also while the recording plays; the keyboard
// focus stays with Logo. The settings follow the twelve lines of the settings file.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "form1.h"
#include "platform/media_player.h"
#include "settings_file.h"
#include "twips.h"

namespace {

// The row the options panel gains below its own for the "Audio..." button.
constexpr int kAudioRowHeight = 390;

template <typename T>
T* Named(T* widget, const char* name, const char* accessibleName) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(QString::fromLatin1(accessibleName));
  return widget;
}

QString VolumeText(int percent) { return QString("%1 %").arg(percent); }

}  // namespace

void Form1::CreateAudioControls() {
  PlaceTwips(Options, LeftTwips(Options), TopTwips(Options), WidthTwips(Options),
             HeightTwips(Options) + kAudioRowHeight);
  AudioBtn = Named(new QPushButton("Audio...", Options), "AudioBtn", "Audio settings");
  PlaceTwips(AudioBtn, 120, TopTwips(DEFAULTTC) + HeightTwips(DEFAULTTC) + 60, 1200, 330);
  AudioBtn->setToolTip("Volume, speech levelling, noise reduction and channel");

  // The page takes the place of the box of the two columns; the row below it stays in reach.
  AudioPanel = Named(new PictureBox(Options), "AudioPanel", "Audio settings page");
  PlaceTwips(AudioPanel, LeftTwips(Shape1), TopTwips(Shape1), WidthTwips(Shape1),
             HeightTwips(Shape1));
  AudioPanel->setAutoFillBackground(true);
  // An etched box, drawn in the panel's shades: its text colour stays the panel's.
  AudioPanel->setFrameShape(QFrame::Box);
  AudioPanel->setFrameShadow(QFrame::Sunken);
  AudioPanel->hide();

  VolumeCaption = Named(new QLabel("Volume", AudioPanel), "VolumeCaption", "Volume");
  PlaceTwips(VolumeCaption, 120, 150, 900, 240);
  VolumeSlide = Named(new QSlider(Qt::Horizontal, AudioPanel), "VolumeSlide", "Volume");
  PlaceTwips(VolumeSlide, 1050, 120, 3000, 300);
  VolumeSlide->setRange(audio::kMinVolumePercent, audio::kMaxVolumePercent);
  VolumeSlide->setValue(audio::kNormalVolumePercent);
  VolumeSlide->setSingleStep(5);
  VolumeSlide->setPageStep(audio::kVolumeStepPercent);
  VolumeSlide->setTickPosition(QSlider::TicksBelow);
  VolumeSlide->setTickInterval(audio::kNormalVolumePercent);
  VolumeSlide->setToolTip("Above 100 % a limiter keeps peaks from clipping");
  VolumeLbl = Named(new ClickLabel(VolumeText(audio::kNormalVolumePercent), AudioPanel),
                    "VolumeLbl", "Volume in percent");
  PlaceTwips(VolumeLbl, 4140, 150, 960, 240);
  VolumeLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  VolumeLbl->setToolTip("Double-click for 100 %");

  NoiseCaption = Named(new QLabel("Reduce noise", AudioPanel), "NoiseCaption", "Reduce noise");
  PlaceTwips(NoiseCaption, 120, 645, 1290, 240);
  ReduceNoise = Named(new QComboBox(AudioPanel), "ReduceNoise", "Reduce noise");
  PlaceTwips(ReduceNoise, 1440, 600, 1380, 330);
  ReduceNoise->addItems({"Off", "Low", "Medium", "High"});
  CutRumble = Named(new QCheckBox("Cut rumble", AudioPanel), "CutRumble", "Cut rumble");
  PlaceTwips(CutRumble, 3060, 622, 2040, 285);
  CutRumble->setToolTip("Takes out the hum and rumble below speech");

  ChannelCaption = Named(new QLabel("Channel", AudioPanel), "ChannelCaption", "Channel");
  PlaceTwips(ChannelCaption, 120, 1095, 1290, 240);
  Channel = Named(new QComboBox(AudioPanel), "Channel", "Channel");
  PlaceTwips(Channel, 1440, 1050, 2280, 330);
  Channel->addItems({"Both", "Left only", "Right only", "Both mixed to mono"});
  Channel->setToolTip("One channel is heard in both ears");

  LevelSpeech = Named(new QCheckBox("Level speech", AudioPanel), "LevelSpeech", "Level speech");
  PlaceTwips(LevelSpeech, 120, 1507, 2400, 285);
  LevelSpeech->setToolTip("Brings quiet and loud talkers to one level");

  AudioDone = Named(new QPushButton("Done", AudioPanel), "AudioDone", "Close audio settings");
  PlaceTwips(AudioDone, 3900, 1485, 1200, 330);

  // A screen reader says what each list is by the caption beside it (a list's own name is the
  // row it shows).
  VolumeCaption->setBuddy(VolumeSlide);
  NoiseCaption->setBuddy(ReduceNoise);
  ChannelCaption->setBuddy(Channel);
}

void Form1::ConnectAudioHandlers() {
  connect(AudioBtn, &QPushButton::clicked, this, &Form1::AudioBtn_Click);
  connect(AudioDone, &QPushButton::clicked, this, &Form1::AudioDone_Click);
  connect(VolumeSlide, &QSlider::valueChanged, this, &Form1::Audio_Change);
  connect(VolumeLbl, &ClickLabel::DblClick, this, &Form1::VolumeLbl_DblClick);
  connect(ReduceNoise, &QComboBox::currentIndexChanged, this, &Form1::Audio_Change);
  connect(Channel, &QComboBox::currentIndexChanged, this, &Form1::Audio_Change);
  for (QCheckBox* check : {CutRumble, LevelSpeech}) {
    connect(check, &QCheckBox::toggled, this, &Form1::Audio_Change);
  }
}

audio::AudioSettings Form1::AudioSettingsNow() const {
  audio::AudioSettings settings;
  settings.volumePercent = VolumeSlide->value();
  settings.levelSpeech = LevelSpeech->isChecked();
  settings.noise = static_cast<audio::NoiseReduction>(std::max(0, ReduceNoise->currentIndex()));
  settings.cutRumble = CutRumble->isChecked();
  settings.channel = static_cast<audio::Channel>(std::max(0, Channel->currentIndex()));
  return settings;
}

void Form1::SetAudioSettings(const audio::AudioSettings& settings) {
  if (settings == AudioSettingsNow()) return;
  {
    // One change for the whole set, not one for each control.
    const QSignalBlocker volume(VolumeSlide), level(LevelSpeech), noise(ReduceNoise),
        rumble(CutRumble), channel(Channel);
    VolumeSlide->setValue(audio::ClampedVolume(settings.volumePercent));
    LevelSpeech->setChecked(settings.levelSpeech);
    ReduceNoise->setCurrentIndex(static_cast<int>(settings.noise));
    CutRumble->setChecked(settings.cutRumble);
    Channel->setCurrentIndex(static_cast<int>(settings.channel));
  }
  ApplyAudioSettings();
}

void Form1::ApplyAudioSettings() {
  const audio::AudioSettings settings = AudioSettingsNow();
  VolumeLbl->setText(VolumeText(settings.volumePercent));
  MP1->setAudioSettings(settings);
  emit AudioSettingsChanged();
}

void Form1::Audio_Change() {
  ApplyAudioSettings();
  Logo->setFocus();
}

void Form1::AudioBtn_Click() {
  if (AudioPanel->isHidden()) {
    // The page takes the place of the box: what lies in it is put away until the page closes.
    for (QWidget* control : Options->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (control != AudioPanel && !control->isHidden() &&
          AudioPanel->geometry().contains(control->geometry())) {
        control->hide();
        AudioCovered << control;
      }
    }
    AudioPanel->show();
  }
  Logo->setFocus();
}

void Form1::AudioDone_Click() {
  AudioPanel->hide();
  for (QWidget* control : AudioCovered) control->show();
  AudioCovered.clear();
  Logo->setFocus();
}

void Form1::VolumeLbl_DblClick() { VolumeSlide->setValue(audio::kNormalVolumePercent); }

void Form1::RestoreAudioSettings(const quillmark::StoredSettings& stored) {
  SetAudioSettings(audio::SettingsFromValues(stored.named));
}

void Form1::StoreAudioSettings(quillmark::StoredSettings& values) const {
  // Only what differs from the defaults: the file of a typist who never changed the sound stays
  // as it was.
  const auto defaults = audio::SettingsValues({});
  for (auto& [name, value] : audio::SettingsValues(AudioSettingsNow())) {
    if (defaults.at(name) != value) values.named[name] = value;
  }
}
