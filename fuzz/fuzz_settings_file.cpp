// Any bytes as the settings file. Whatever is read must survive a save: when the twelve values
// were all read, the text written for them reads back as the same values (the seconds to the
// seven digits they are written with), and so does every named value that can be stored.
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

#include "settings_file.h"

namespace {

bool Storable(const std::string& value) {
  return value.size() < 4096 && value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const quillmark::StoredSettings first = quillmark::ReadSettings(in);
  const auto& f = first;
  const bool complete = f.defaultRateIndex && f.defaultModeIndex && f.clipboardFormat &&
                        f.clipboardMode && f.pedalOn && f.pedalPortIndex && f.swapWind &&
                        f.windStep && f.onTop && f.autoBackSeconds && f.timeOfDay && f.balance;
  if (!complete) return 0;

  std::istringstream written(quillmark::SettingsText(first));
  const quillmark::StoredSettings s = quillmark::ReadSettings(written);
  if (s.defaultRateIndex != f.defaultRateIndex || s.defaultModeIndex != f.defaultModeIndex ||
      s.clipboardFormat != f.clipboardFormat || s.clipboardMode != f.clipboardMode ||
      s.pedalOn != f.pedalOn || s.pedalPortIndex != f.pedalPortIndex ||
      s.swapWind != f.swapWind || s.windStep != f.windStep || s.onTop != f.onTop ||
      s.timeOfDay != f.timeOfDay || s.balance != f.balance) {
    std::abort();
  }
  const float seconds = *f.autoBackSeconds;
  if (std::isfinite(seconds)) {
    if (!s.autoBackSeconds) std::abort();
    if (std::fabs(*s.autoBackSeconds - seconds) > 1e-6f * std::fabs(seconds)) std::abort();
  }
  for (const auto& [name, value] : f.named) {
    if (!Storable(value)) continue;
    const auto found = s.named.find(name);
    if (found == s.named.end() || found->second != value) std::abort();
  }
  return 0;
}
