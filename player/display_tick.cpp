// The display tick: winds while a pedal wind switch is held, and shows the running time code.
// It runs sixteen times a second, so it allocates nothing: the caption is read into a fixed
// buffer and the two-digit texts come from a table made once.

#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <array>
#include <cmath>

#include "accessibility/readout.h"
#include "form1.h"
#include "platform/media_player.h"
#include "platform/serial_control.h"
#include "time_code.h"

namespace {

const std::array<QString, 100>& TwoDigitTexts() {
  static const std::array<QString, 100> texts = [] {
    std::array<QString, 100> t;
    for (int i = 0; i < 100; ++i) t[i] = QString::asprintf("%02d", i);
    return t;
  }();
  return texts;
}

// The caption as plain characters; its readers look at the first few only.
std::string_view CaptionChars(const QString& caption, std::array<char, 48>& buffer) {
  const qsizetype n = std::min<qsizetype>(caption.size(), buffer.size());
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = caption[i].unicode();
    buffer[i] = c < 128 ? static_cast<char>(c) : '?';
  }
  return {buffer.data(), static_cast<size_t>(n)};
}

}  // namespace

void Form1::ShowField(QLabel* label, double value, bool always) {
  const double rounded = std::round(value);
  if (rounded >= 0 && rounded <= 99) {
    const QString& text = TwoDigitTexts()[static_cast<int>(rounded)];
    if (always || label->text() != text) label->setText(text);
    return;
  }
  // Hours past 99 or below 0: rare enough to format on the spot.
  const QString text = QString::fromStdString(timecode::FormatTCField(value));
  if (always || label->text() != text) label->setText(text);
}

timecode::TCFields Form1::DisplayFields(double position, std::string_view caption) const {
  const double corrected =
      timecode::RateCorrect(position, caption, timecode::RateCorrection::Display);
  return timecode::SecondsToTC(TCOffset + corrected, caption, timecode::kDisplayTickTC);
}

QString Form1::DisplayTimeCode(double position) const {
  std::array<char, 48> buffer;
  return QString::fromStdString(
      timecode::FormatTC(DisplayFields(position, CaptionChars(Framerate->text(), buffer))));
}

void Form1::Timer1_Timer() {
  const double position = MP1->currentPosition();

  // Wind while a switch is held: forward on CD, back on CTS, the other way round when swapped.
  const double step = WindStepSeconds();
  const bool swapped = SWAPFFRW->isChecked();
  if (MSComm1 && MSComm1->CDHolding()) {
    MP1->setCurrentPosition(MP1->currentPosition() + (swapped ? -step : step));
  }
  if (MSComm1 && MSComm1->CTSHolding()) {
    MP1->setCurrentPosition(MP1->currentPosition() + (swapped ? step : -step));
  }

  std::array<char, 48> buffer;
  const timecode::TCFields fields =
      DisplayFields(position, CaptionChars(Framerate->text(), buffer));

  ShowField(TCHour, fields.hours, false);
  ShowField(TCMin, fields.minutes, false);
  ShowField(TCSecond, fields.seconds, false);
  ShowField(TCFrame, fields.frames, true);
  // A screen reader hears the time code as one text, once per change of the display.
  timeCodeReadout_->AnnounceChange();

  Waveform_Tick(position);
}
