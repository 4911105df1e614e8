// The twelve options in the settings file beside the program: applied to their controls at
// start-up, written when the options panel's Close button closes it.
//
// A value that is missing, unreadable or beyond what its control takes leaves the control as
// it was; a missing file leaves every control at its design value, and the first save creates
// it. Applying a value is a user's choice: the control's handler runs.

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QSlider>
#include <cmath>
#include <optional>

#include "form1.h"
#include "form_text.h"
#include "platform/message_boxes.h"
#include "settings_file.h"

namespace {

std::filesystem::path SettingsPath(const QString& programFolder) {
  return quillmark::SettingsFilePath(LocalPath(programFolder));
}

void Apply(QComboBox* list, std::optional<int16_t> index) {
  if (index && *index >= -1 && *index < list->count()) list->setCurrentIndex(*index);
}

void Apply(QCheckBox* check, std::optional<int16_t> state) {
  if (state && (*state == 0 || *state == 1)) check->setChecked(*state == 1);
}

template <typename Slider>
void Apply(Slider* slider, std::optional<int32_t> value) {
  if (value && *value >= slider->minimum() && *value <= slider->maximum()) {
    slider->setValue(*value);
  }
}

}  // namespace

void Form1::LoadSettings() {
  const quillmark::StoredSettings stored =
      quillmark::ReadSettingsFile(SettingsPath(platform_.programFolder));
  Apply(DEFAULTTC, stored.defaultRateIndex);
  Apply(DEFAULTDF, stored.defaultModeIndex);
  Apply(TCFormat, stored.clipboardFormat);
  Apply(TCPaste, stored.clipboardMode);
  // The port is chosen before the pedal is switched on.
  Apply(PedalPort, stored.pedalPortIndex);
  Apply(PEDALON, stored.pedalOn);
  Apply(SWAPFFRW, stored.swapWind);
  Apply(RWScroll, stored.windStep);
  Apply(Ontop, stored.onTop);
  if (stored.autoBackSeconds && std::isfinite(*stored.autoBackSeconds)) {
    AutoBackSeconds = *stored.autoBackSeconds;
  }
  Apply(TODTC, stored.timeOfDay);
  Apply(Bal, stored.balance);
}

void Form1::SaveSettings() {
  const auto checked = [](const QCheckBox* check) -> int16_t { return check->isChecked() ? 1 : 0; };
  quillmark::StoredSettings values;
  values.defaultRateIndex = DEFAULTTC->currentIndex();
  values.defaultModeIndex = DEFAULTDF->currentIndex();
  values.clipboardFormat = TCFormat->currentIndex();
  values.clipboardMode = TCPaste->currentIndex();
  values.pedalOn = checked(PEDALON);
  values.pedalPortIndex = PedalPort->currentIndex();
  values.swapWind = checked(SWAPFFRW);
  values.windStep = RWScroll->value();
  values.onTop = checked(Ontop);
  values.autoBackSeconds = AutoBackSeconds;
  values.timeOfDay = checked(TODTC);
  values.balance = Bal->value();
  // The file is replaced whole or not at all; only a refused folder is worth telling.
  if (quillmark::WriteSettingsFile(SettingsPath(platform_.programFolder), values) ==
      quillmark::WriteResult::PermissionDenied) {
    MsgBox->Show("Settings Not Saved \r\n Folder Permission Denied", "ERROR SAVING SETTINGS",
                 MessageBoxes::Buttons::OkOnly);
  }
}
