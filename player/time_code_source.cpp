// Which time code the display counts from: a click on TCLabel steps through the five sources;
// SetTC opens the entry box, where a typed time code becomes the user-set start. The bookmark
// list counts as the display does, so its texts follow every change of the start.

#include <QLabel>
#include <QLineEdit>

#include "form1.h"
#include "form_text.h"
#include "frame_rate_caption.h"
#include "platform/media_player.h"
#include "platform/message_boxes.h"
#include "time_code.h"

namespace {
constexpr int kEnter = 13;
constexpr int kEsc = 27;
constexpr int kEntryLength = 11;  // "HH:MM:SS:FF"
constexpr char kSettingCaption[] = "SET TIME CODE";

// Two digits 0-9 at each field of "HH:MM:SS:FF"; the separators may be any character.
bool FieldsAreDigits(const QString& text) {
  const auto digit = [&](int at) { return text[at] >= u'0' && text[at] <= u'9'; };
  for (int field : {0, 3, 6, 9}) {
    if (!digit(field) || !digit(field + 1)) return false;
  }
  return true;
}

// The box closed without a new time code: the label names the source the display counts from
// again, unless a click on it has chosen another meanwhile.
void CloseEntryUnchanged(Form1& form) {
  form.TCEntry->hide();
  if (form.TCLabel->text() == kSettingCaption) form.TCLabel->setText(form.TCLabelTag);
  form.Logo->setFocus();
}
}  // namespace

void Form1::TCLabel_Click() {
  TCSource = static_cast<qint16>(TCSource + 1);
  if (TCSource > 5) TCSource = 1;
  // An absent source has offset 0 and so counts like the elapsed time.
  switch (TCSource) {
    case 1:
      TCLabel->setText("ELAPSED TIME");
      TCOffset = 0;
      break;
    case 2:
      TCLabel->setText("ID3 TIME CODE");
      TCOffset = ID3StartTC;
      break;
    case 3:
      TCLabel->setText("BWF TIME CODE");
      TCOffset = BWFStartTC;
      break;
    case 4:
      TCLabel->setText("T.O.D. TIME CODE");
      TCOffset = TODStartTC;
      break;
    default:
      TCLabel->setText("User Set TIME CODE");
      TCOffset = UserTCValue;
      break;
  }
  RemakeBookmarkTexts();
}

void Form1::SetTC_Click() {
  if (TCEntry->isHidden()) {
    TCLabelTag = TCLabel->text();
    TCLabel->setText(kSettingCaption);
    TCEntry->show();
    TCEntry->raise();
    MP1->pause();
    // The box starts with the time code on screen.
    TCEntry->setText(ShownTimeCode());
    TCEntry->setFocus();
  } else {
    CloseEntryUnchanged(*this);
  }
}

void Form1::TCEntry_KeyPress(int& KeyAscii) {
  if (KeyAscii == kEsc) {
    KeyAscii = 0;
    CloseEntryUnchanged(*this);
    return;
  }
  if (KeyAscii != kEnter) return;

  // Letters where a field's digits belong would count as 0 and replace the recording's time
  // code with a wrong one: they are refused like a wrong length.
  if (TCEntry->text().size() != kEntryLength || !FieldsAreDigits(TCEntry->text())) {
    MsgBox->Show("ENTRY Must Be formated as HH:MM:SS:FF", "Entry Format Error",
                 MessageBoxes::Buttons::OkOnly);
    KeyAscii = 0;
    return;
  }
  // The typed text names the time code of the present play position; the start offset is what
  // puts it there.
  const std::string caption = CaptionText(Framerate);
  const double typed = TimeCodeSeconds(TCEntry->text());
  const double position =
      timecode::RateCorrect(MP1->currentPosition(), caption, timecode::RateCorrection::Entry);
  TCOffset = typed - position;
  UserTCValue = TCOffset;

  RemakeBookmarkTexts();
  SaveBookmarkFile();

  // The start time code is the time code of play position 0.
  STC->setText(QString::fromStdString(
      timecode::FormatTC(timecode::SecondsToTC(TCOffset, caption, timecode::kUserSetStartTC))));
  TCEntry->hide();
  KeyAscii = 0;
  Logo->setFocus();
  TCLabel->setText("User Set Time Code");
  TCSource = 5;
}

double Form1::TimeCodeSeconds(const QString& text) const {
  return timecode::TCToSeconds(CaptionText(text), timecode::StartTCDivisor(CaptionText(Framerate)));
}

// The typed time code's conversion run backwards: the offset comes off, and the counting mode's
// correction of the play position is undone.
double Form1::PositionOfTimeCode(const QString& text) const {
  const double perSecond =
      timecode::RateCorrect(1.0, CaptionText(Framerate), timecode::RateCorrection::Entry);
  return (TimeCodeSeconds(text) - TCOffset) / perSecond;
}
