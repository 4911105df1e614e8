#include "settings_file.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>

#include "bounded_line.h"
#include "number_text.h"

namespace quillmark {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The whole trimmed line must be a number of the target type.
template <typename Integer>
std::optional<Integer> ParseInteger(std::string_view line) {
  line = Trimmed(line);
  if (!line.empty() && line.front() == '+') line.remove_prefix(1);
  long long value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (line.empty() || error != std::errc() || end != line.data() + line.size()) return {};
  if (value < std::numeric_limits<Integer>::min() || value > std::numeric_limits<Integer>::max()) {
    return {};
  }
  return static_cast<Integer>(value);
}

std::optional<float> ParseSingle(std::string_view line) {
  line = Trimmed(line);
  if (!line.empty() && line.front() == '+') line.remove_prefix(1);
  float value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (line.empty() || error != std::errc() || end != line.data() + line.size()) return {};
  return value;
}

// Longer lines are no settings file's: reading stops at one.
constexpr std::size_t kLongestLine = 4096;
// More named values than any version writes are not read.
constexpr std::size_t kMostNamedValues = 64;

bool ValidName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  for (const char c : name) {
    const bool letterOrDigit =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (!letterOrDigit) return false;
  }
  return true;
}

// The stored line, "Name=value" and its CR, must read back whole.
bool Storable(std::string_view name, std::string_view value) {
  return ValidName(name) && name.size() + value.size() + 2 <= kLongestLine &&
         value.find_first_of("\r\n") == std::string_view::npos;
}

void AppendLine(std::string& out, double value, timecode::NumberPrecision precision) {
  out += timecode::NumberText(value, precision);
  out += " \r\n";
}

}  // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& programFolder) {
  return programFolder / kSettingsFileName;
}

StoredSettings ReadSettingsFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return ReadSettings(in);
}

StoredSettings ReadSettings(std::istream& in) {
  StoredSettings values;
  std::string line;
  bool reading = true;
  // The next line without its CR LF; empty for every line from the end or a line too long on.
  const auto next = [&]() -> std::string_view {
    reading = reading && ReadBoundedLine(in, line, kLongestLine) == LineRead::Line;
    if (!reading) line.clear();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  };
  values.defaultRateIndex = ParseInteger<int16_t>(next());
  values.defaultModeIndex = ParseInteger<int16_t>(next());
  values.clipboardFormat = ParseInteger<int16_t>(next());
  values.clipboardMode = ParseInteger<int16_t>(next());
  values.pedalOn = ParseInteger<int16_t>(next());
  values.pedalPortIndex = ParseInteger<int16_t>(next());
  values.swapWind = ParseInteger<int16_t>(next());
  values.windStep = ParseInteger<int16_t>(next());
  values.onTop = ParseInteger<int16_t>(next());
  values.autoBackSeconds = ParseSingle(next());
  values.timeOfDay = ParseInteger<int16_t>(next());
  values.balance = ParseInteger<int32_t>(next());
  while (values.named.size() < kMostNamedValues && (next(), reading)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view name = Trimmed(std::string_view(line).substr(0, equals));
    if (ValidName(name)) values.named[std::string(name)] = line.substr(equals + 1);
  }
  return values;
}

std::string SettingsText(const StoredSettings& v) {
  using timecode::NumberPrecision;
  std::string out;
  for (const auto& value : {v.defaultRateIndex, v.defaultModeIndex, v.clipboardFormat,
                            v.clipboardMode, v.pedalOn, v.pedalPortIndex, v.swapWind, v.windStep,
                            v.onTop}) {
    AppendLine(out, value.value_or(0), NumberPrecision::Double);
  }
  AppendLine(out, v.autoBackSeconds.value_or(0), NumberPrecision::Single);
  AppendLine(out, v.timeOfDay.value_or(0), NumberPrecision::Double);
  AppendLine(out, v.balance.value_or(100), NumberPrecision::Double);
  for (const auto& [name, value] : v.named) {
    if (!Storable(name, value)) continue;
    out += name;
    out += '=';
    out += value;
    out += "\r\n";
  }
  return out;
}

WriteResult WriteSettingsFile(const std::filesystem::path& file, const StoredSettings& values) {
  return WriteFileAtomically(file, SettingsText(values));
}

}  // namespace quillmark
