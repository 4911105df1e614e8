// The twelve options in the settings file: applied to their controls at start-up, written when
// the options panel's Close button closes it.
//
// The file lives in the user's settings folder. While that folder has none, a file left in the
// program's folder by an older version is read instead; the program's folder is never written,
// so the next save creates the user's file and from then on that one is used.
//
// A value that is missing, unreadable or beyond what its control takes leaves the control as
// it was; with no file anywhere every control keeps its design value, and the first save
// creates the file. Applying a value is a user's choice: the control's handler runs.

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QScrollBar>
#include <QSlider>
#include <QStandardPaths>
#include <cmath>
#include <optional>

#include "form1.h"
#include "form_text.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/usb_pedal_control.h"
#include "settings_file.h"
#include "version.h"

namespace {

// The folder the Open dialog starts in, after the twelve lines.
constexpr const char* kLastFolder = "LastFolder";
// "Resume where I left off": written only when off ("0"), so the file of a typist who keeps the
// option on stays as an older version wrote it; a file without the line leaves it on.
constexpr const char* kResume = "ResumeWhereLeftOff";

// The user's file when there is one, else the program folder's; empty for neither.
std::filesystem::path SettingsFileToRead(const FormPlatform& platform) {
  std::error_code ignored;
  if (!platform.settingsFolder.isEmpty()) {
    const auto users = quillmark::SettingsFilePath(LocalPath(platform.settingsFolder));
    if (std::filesystem::exists(users, ignored)) return users;
  }
  if (platform.programFolder.isEmpty()) return {};
  return quillmark::SettingsFilePath(LocalPath(platform.programFolder));
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

// Line 6 chooses among "COM 1" to "COM 8" only; the USB pedals after them are named by the lines
// after the twelve.
constexpr int kSerialPortEntries = 8;

std::optional<int16_t> SerialPortIndex(std::optional<int16_t> index) {
  if (index && *index >= kSerialPortEntries) return {};
  return index;
}

}  // namespace

QString UserSettingsFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

void SetApplicationIdentity() {
  // No organisation: the folder is ~/.config/quillmark rather than ~/.config/<org>/quillmark.
  QCoreApplication::setOrganizationName(QString());
  QCoreApplication::setApplicationName("quillmark");
  QCoreApplication::setApplicationVersion(kQuillmarkVersion);
}

void Form1::LoadSettings() {
  const quillmark::StoredSettings stored =
      quillmark::ReadSettingsFile(SettingsFileToRead(platform_));
  Apply(DEFAULTTC, stored.defaultRateIndex);
  Apply(DEFAULTDF, stored.defaultModeIndex);
  Apply(TCFormat, stored.clipboardFormat);
  Apply(TCPaste, stored.clipboardMode);
  // The port is chosen before the pedal is switched on.
  Apply(PedalPort, SerialPortIndex(stored.pedalPortIndex));
  RestoreUsbPedal(stored);
  Apply(PEDALON, stored.pedalOn);
  Apply(SWAPFFRW, stored.swapWind);
  Apply(RWScroll, stored.windStep);
  Apply(Ontop, stored.onTop);
  if (stored.autoBackSeconds && std::isfinite(*stored.autoBackSeconds)) {
    AutoBackSeconds = *stored.autoBackSeconds;
  }
  Apply(TODTC, stored.timeOfDay);
  Apply(Bal, stored.balance);
  if (const auto folder = stored.named.find(kLastFolder); folder != stored.named.end()) {
    cdlg1->InitDir = QString::fromStdString(folder->second);
  }
  if (const auto resume = stored.named.find(kResume); resume != stored.named.end()) {
    if (resume->second == "0" || resume->second == "1") ResumeOn->setChecked(resume->second == "1");
  }
  RestoreAudioSettings(stored);
  RestoreWaveformSetting(stored);
}

void Form1::SaveSettings() {
  const auto checked = [](const QCheckBox* check) -> int16_t { return check->isChecked() ? 1 : 0; };
  quillmark::StoredSettings values;
  values.defaultRateIndex = DEFAULTTC->currentIndex();
  values.defaultModeIndex = DEFAULTDF->currentIndex();
  values.clipboardFormat = TCFormat->currentIndex();
  values.clipboardMode = TCPaste->currentIndex();
  values.pedalOn = checked(PEDALON);
  // A USB pedal chosen leaves line 6 at -1 (no serial port), which an older version reads as
  // nothing chosen; the pedal itself follows the twelve lines.
  const int portIndex = PedalPort->currentIndex();
  const bool usbChosen = portIndex >= kSerialPortEntries;
  values.pedalPortIndex = usbChosen ? -1 : portIndex;
  if (UsbPedals) {
    const auto pedal = UsbPedals->SettingsValues(usbChosen ? PedalPort->itemData(portIndex).toInt() : 0);
    values.named.insert(pedal.begin(), pedal.end());
  }
  values.swapWind = checked(SWAPFFRW);
  values.windStep = RWScroll->value();
  values.onTop = checked(Ontop);
  values.autoBackSeconds = AutoBackSeconds;
  values.timeOfDay = checked(TODTC);
  values.balance = Bal->value();
  if (!cdlg1->InitDir.isEmpty()) values.named[kLastFolder] = cdlg1->InitDir.toStdString();
  if (!ResumeOn->isChecked()) values.named[kResume] = "0";
  StoreAudioSettings(values);
  StoreWaveformSetting(values);
  if (platform_.settingsFolder.isEmpty()) return;
  // The file is replaced whole or not at all; only a refused folder is worth telling, and the
  // box names it.
  const std::filesystem::path folder = LocalPath(platform_.settingsFolder);
  quillmark::WriteResult result = quillmark::MakePrivateFolders(folder);
  if (result == quillmark::WriteResult::Written) {
    result = quillmark::WriteSettingsFile(quillmark::SettingsFilePath(folder), values);
  }
  if (result == quillmark::WriteResult::PermissionDenied) {
    MsgBox->Show("Settings Not Saved \r\n Folder Permission Denied\r\n" +
                     QDir::toNativeSeparators(platform_.settingsFolder),
                 "ERROR SAVING SETTINGS", MessageBoxes::Buttons::OkOnly);
  }
}

void Form1::RestoreUsbPedal(const quillmark::StoredSettings& stored) {
  if (!UsbPedals) return;
  // The pedal is offered (its entry is added as it joins); it is the port chosen when line 6
  // chose none. One that is not plugged in is marked as the probe marks a missing port.
  const int port = UsbPedals->RestoreSettings(stored.named);
  const int index = port ? PedalPort->findData(port) : -1;
  if (index < 0) return;
  if (!UsbPedals->Present(port) && !PedalPort->itemText(index).endsWith(" NA")) {
    PedalPort->setItemText(index, PedalPort->itemText(index) + " NA");
  }
  if (stored.pedalPortIndex.value_or(-1) < 0) PedalPort->setCurrentIndex(index);
}
