#pragma once
// The twelve-line settings file "Quillmark.inf" beside the program: one number per line, each
// written in the short numeric form followed by one blank and CR LF.
//
// Reading keeps every line on its own: a value that is missing or cannot be read is absent, and
// the window then keeps the control's own value for it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "atomic_file.h"

namespace quillmark {

struct StoredSettings {
  std::optional<int16_t> defaultRateIndex;   // DEFAULTTC selection
  std::optional<int16_t> defaultModeIndex;   // DEFAULTDF selection
  std::optional<int16_t> clipboardFormat;    // TCFormat selection
  std::optional<int16_t> clipboardMode;      // TCPaste selection
  std::optional<int16_t> pedalOn;            // PEDALON check state
  std::optional<int16_t> pedalPortIndex;     // PedalPort selection
  std::optional<int16_t> swapWind;           // SWAPFFRW check state
  std::optional<int16_t> windStep;           // RWScroll value
  std::optional<int16_t> onTop;              // Ontop check state
  std::optional<float> autoBackSeconds;      // AutoBackSeconds
  std::optional<int16_t> timeOfDay;          // TODTC check state
  std::optional<int32_t> balance;            // Bal value
};

inline constexpr const char* kSettingsFileName = "Quillmark.inf";

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder);

// The values of the file's lines; all absent when the file cannot be opened.
StoredSettings ReadSettingsFile(const std::filesystem::path& file);

// Every value must be present. The file is replaced as a whole or not at all.
WriteResult WriteSettingsFile(const std::filesystem::path& file, const StoredSettings& values);

}  // namespace quillmark
