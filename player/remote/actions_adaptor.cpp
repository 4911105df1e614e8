#include "actions_adaptor.h"

#include <QSlider>

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
