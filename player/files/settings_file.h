#pragma once
// The twelve-line settings file "Quillmark.inf" beside the program: one number per line, each
// written in the short numeric form followed by one blank and CR LF.
//
// Reading keeps every line on its own: a value that is missing or cannot be read is absent, and
// the window then keeps the control's own value for it.
//
// Options that came after the twelve follow them as "Name=value" lines (UTF-8 text, one line
// each). A file without them reads exactly as before, and a reader that knows only the twelve
// lines never looks past them. Lines are read with a length limit, so any file can be given.

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>

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
  // The later options by name; names are letters and digits, values hold no line break.
  std::map<std::string, std::string> named;
};

inline constexpr const char* kSettingsFileName = "Quillmark.inf";

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder);

// The values of the file's lines; all absent when the file cannot be opened.
StoredSettings ReadSettingsFile(const std::filesystem::path& file);
// The same from any stream of the file's bytes.
StoredSettings ReadSettings(std::istream& in);

// The file's text for `values`: what WriteSettingsFile writes.
std::string SettingsText(const StoredSettings& values);

// Every value of the twelve must be present; named values whose name or text cannot be stored
// are left out. The file is replaced as a whole or not at all.
WriteResult WriteSettingsFile(const std::filesystem::path& file, const StoredSettings& values);

}  // namespace quillmark
