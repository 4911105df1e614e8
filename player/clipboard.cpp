// The time code onto the clipboard: on demand from the copy button, and for the pedal.

#include <QComboBox>
#include <QLabel>

#include "clipboard_text.h"
#include "form1.h"
#include "platform/clipboard.h"
#include "platform/message_boxes.h"

namespace {

// Runs one clipboard step. While another program holds the clipboard the typist may retry it;
// Abort and Ignore skip the step. Other failures skip it without a word.
template <typename Step>
void RunClipboardStep(MessageBoxes* boxes, Step step) {
  while (step() == Clipboard::Result::HeldByAnotherProgram) {
    if (boxes->Show("Can't Access Clipboard", "Clipboard error",
                    MessageBoxes::Buttons::AbortRetryIgnore) != MessageBoxes::Answer::Retry) {
      return;
    }
  }
}

}  // namespace

void Form1::CopyTCToClipboard() {
  Clipboard* clipboard = platform_.clipboard;
  if (clipboard == nullptr) return;
  const QString text = QString::fromStdString(
      quillmark::ClipboardText(ShownTimeCode().toStdString(), TCFormat->currentIndex()));
  RunClipboardStep(MsgBox, [&] { return clipboard->Clear(); });
  RunClipboardStep(MsgBox, [&] { return clipboard->SetText(text); });
}

QString Form1::ShownTimeCode() const {
  return TCHour->text() + ":" + TCMin->text() + ":" + TCSecond->text() + ":" + TCFrame->text();
}

void Form1::CopyTC_Click() {
  CopyTCToClipboard();
  Logo->setFocus();
}

void Form1::CopyTC_MouseDown() { TChilight->show(); }

void Form1::CopyTC_MouseUp() { TChilight->hide(); }

void Form1::TCFormat_Click() {
  // The chosen format takes effect at the next copy; the keys go back to the hot keys.
  if (!Options->isHidden()) Logo->setFocus();
}
