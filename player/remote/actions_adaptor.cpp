#include "actions_adaptor.h"

#include <QSlider>

#include "audio/audio_settings.h"
#include "form1.h"
#include "remote_control.h"
#include "remote_names.h"

namespace {

constexpr int kBookmarks = 12;

// True when `number` names no bookmark; the caller then has its error.
bool NoSuchBookmark(RemoteControl* remote, int number, const QDBusMessage& call) {
  if (number >= 1 && number <= kBookmarks) return false;
  remote->Refuse(call, remote_names::kErrorInvalidArgs,
                 QString("There is no bookmark %1: bookmarks are 1 to 12").arg(number));
  return true;
}

// True when no recording is open, as after File Finished; the caller then has its error.
bool NoRecording(RemoteControl* remote, const QDBusMessage& call) {
  if (remote->HasRecording()) return false;
  remote->Refuse(call, remote_names::kErrorNoRecording, "No recording is open");
  return true;
}

// Answers `call` with the words `setting` takes.
void RefuseWord(RemoteControl* remote, const QDBusMessage& call, const char* setting,
                const QString& word, std::string_view words) {
  remote->Refuse(call, remote_names::kErrorInvalidArgs,
                 QString("There is no %1 \"%2\": it is one of %3")
                     .arg(setting, word,
                          QString::fromLatin1(words.data(), static_cast<qsizetype>(words.size()))
                              .replace('|', ", ")));
}

}  // namespace

ActionsAdaptor::ActionsAdaptor(RemoteControl* remote)
    : QDBusAbstractAdaptor(remote), remote_(remote) {}

void ActionsAdaptor::CopyTimeCode(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || NoRecording(remote_, call)) return;
  Form1& form = remote_->form();
  remote_->AnswerBeforeAnyBox(call, remote_names::kErrorNotCopied,
                              [&form] { form.CopyTCToClipboard(); });
}

void ActionsAdaptor::Back(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || NoRecording(remote_, call)) return;
  remote_->form().StepBack();
}

void ActionsAdaptor::SetBookmark(int Number, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || NoSuchBookmark(remote_, Number, call) ||
      NoRecording(remote_, call)) {
    return;
  }
  Form1& form = remote_->form();
  remote_->AnswerBeforeAnyBox(call, remote_names::kErrorNotSaved,
                              [&form, Number] { form.SetBookmark(Number); });
}

void ActionsAdaptor::GoToBookmark(int Number, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || NoSuchBookmark(remote_, Number, call) ||
      NoRecording(remote_, call)) {
    return;
  }
  remote_->form().JumpToBookmark(Number);
}

void ActionsAdaptor::Rewind(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || NoRecording(remote_, call)) return;
  remote_->form().WindStep(-1);
}

void ActionsAdaptor::Forward(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || NoRecording(remote_, call)) return;
  remote_->form().WindStep(+1);
}

void ActionsAdaptor::FileFinished(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call) || NoRecording(remote_, call)) return;
  // The question it asks is answered in the window.
  Form1& form = remote_->form();
  remote_->RunAfterReply([&form] {
    form.RaiseWindow();
    form.finished_Click();
  });
}

QString ActionsAdaptor::GoToSelectedTimeCode(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return {};
  QString found;
  switch (remote_->form().GoToSelectedTimeCode(&found)) {
    case Form1::TimeCodeJump::Moved:
      return found;
    case Form1::TimeCodeJump::NoTimeCode:
      remote_->Refuse(call, remote_names::kErrorNoTimeCode,
                      "No time code in the selection or on the clipboard");
      return {};
    case Form1::TimeCodeJump::NoRecording:
      remote_->Refuse(call, remote_names::kErrorNoRecording, "No recording is open");
      return {};
    case Form1::TimeCodeJump::OutsideRecording:
      remote_->Refuse(call, remote_names::kErrorInvalidArgs,
                      "The time code " + found + " is outside the recording");
      return {};
  }
  return {};
}

QString ActionsAdaptor::OpenNext(const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return {};
  Form1& form = remote_->form();
  const QString next = form.NextRecordingPath();
  if (next.isEmpty()) {
    remote_->Refuse(call, remote_names::kErrorNoneLeft,
                    "No unfinished recording is left in the folder");
    return {};
  }
  // Opening may end in a box (a recording that cannot be played): the reply goes first.
  remote_->RunAfterReply([&form, next] { form.OpenRecording(next); });
  return next;
}

void ActionsAdaptor::SetSpeed(int Percent, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  QSlider* slider = remote_->form().SpeedSlide;
  if (Percent < slider->minimum() || Percent > slider->maximum()) {
    remote_->Refuse(call, remote_names::kErrorInvalidArgs,
                    QString("The speed is %1 to %2 percent, not %3")
                        .arg(slider->minimum())
                        .arg(slider->maximum())
                        .arg(Percent));
    return;
  }
  slider->setValue(Percent);
}

int ActionsAdaptor::VolumeUp(const QDBusMessage& call) {
  return StepVolume(audio::kVolumeStepPercent, call);
}

int ActionsAdaptor::VolumeDown(const QDBusMessage& call) {
  return StepVolume(-audio::kVolumeStepPercent, call);
}

int ActionsAdaptor::StepVolume(int percent, const QDBusMessage& call) {
  if (!remote_->RefusedWhileBusy(call)) {
    remote_->ChangeAudio([percent](audio::AudioSettings& settings) {
      settings.volumePercent = audio::ClampedVolume(settings.volumePercent + percent);
    });
  }
  return remote_->form().AudioSettingsNow().volumePercent;
}

void ActionsAdaptor::SetVolume(int Percent, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  if (Percent != audio::ClampedVolume(Percent)) {
    remote_->Refuse(call, remote_names::kErrorInvalidArgs,
                    QString("The volume is %1 to %2 percent, not %3")
                        .arg(audio::kMinVolumePercent)
                        .arg(audio::kMaxVolumePercent)
                        .arg(Percent));
    return;
  }
  remote_->ChangeAudio([Percent](audio::AudioSettings& settings) { settings.volumePercent = Percent; });
}

void ActionsAdaptor::SetLevelSpeech(bool On, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  remote_->ChangeAudio([On](audio::AudioSettings& settings) { settings.levelSpeech = On; });
}

void ActionsAdaptor::SetCutRumble(bool On, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  remote_->ChangeAudio([On](audio::AudioSettings& settings) { settings.cutRumble = On; });
}

void ActionsAdaptor::SetNoiseReduction(const QString& Level, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  const auto level = audio::NoiseReductionNamed(Level.toStdString());
  if (!level) {
    RefuseWord(remote_, call, "noise reduction", Level, audio::kNoiseReductionWords);
    return;
  }
  remote_->ChangeAudio([level](audio::AudioSettings& settings) { settings.noise = *level; });
}

void ActionsAdaptor::SetChannel(const QString& Channel, const QDBusMessage& call) {
  if (remote_->RefusedWhileBusy(call)) return;
  const auto channel = audio::ChannelNamed(Channel.toStdString());
  if (!channel) {
    RefuseWord(remote_, call, "channel", Channel, audio::kChannelWords);
    return;
  }
  remote_->ChangeAudio([channel](audio::AudioSettings& settings) { settings.channel = *channel; });
}
