#include "audio_settings.h"

#include <algorithm>
#include <charconv>

namespace audio {
namespace {

// The names of the lines in the settings file.
constexpr const char* kVolume = "Volume";
constexpr const char* kLevelSpeech = "LevelSpeech";
constexpr const char* kReduceNoise = "ReduceNoise";
constexpr const char* kCutRumble = "CutRumble";
constexpr const char* kChannel = "Channel";

// The position of `word` among the '|'-separated `words`.
std::optional<int> WordIndex(std::string_view words, std::string_view word) {
  int index = 0;
  while (true) {
    const std::size_t bar = words.find('|');
    if (words.substr(0, bar) == word) return index;
    if (bar == std::string_view::npos) return std::nullopt;
    words.remove_prefix(bar + 1);
    ++index;
  }
}

// The stored value as a whole number from `lowest` to `highest`; nothing for anything else.
std::optional<int> StoredNumber(const std::map<std::string, std::string>& values, const char* name,
                                int lowest, int highest) {
  const auto found = values.find(name);
  if (found == values.end()) return std::nullopt;
  const std::string& text = found->second;
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (number < lowest || number > highest) return std::nullopt;
  return number;
}

}  // namespace

int ClampedVolume(long long percent) {
  return static_cast<int>(std::clamp<long long>(percent, kMinVolumePercent, kMaxVolumePercent));
}

std::optional<NoiseReduction> NoiseReductionNamed(std::string_view word) {
  const auto index = WordIndex(kNoiseReductionWords, word);
  if (!index) return std::nullopt;
  return static_cast<NoiseReduction>(*index);
}

std::optional<Channel> ChannelNamed(std::string_view word) {
  const auto index = WordIndex(kChannelWords, word);
  if (!index) return std::nullopt;
  return static_cast<Channel>(*index);
}

std::map<std::string, std::string> SettingsValues(const AudioSettings& settings) {
  return {{kVolume, std::to_string(settings.volumePercent)},
          {kLevelSpeech, settings.levelSpeech ? "1" : "0"},
          {kReduceNoise, std::to_string(static_cast<int>(settings.noise))},
          {kCutRumble, settings.cutRumble ? "1" : "0"},
          {kChannel, std::to_string(static_cast<int>(settings.channel))}};
}

AudioSettings SettingsFromValues(const std::map<std::string, std::string>& values) {
  AudioSettings settings;
  // A value beyond its range is no setting this program wrote: the default is the safe reading
  // (a damaged volume line must not play at four times the level).
  if (const auto volume = StoredNumber(values, kVolume, kMinVolumePercent, kMaxVolumePercent)) {
    settings.volumePercent = *volume;
  }
  if (const auto on = StoredNumber(values, kLevelSpeech, 0, 1)) settings.levelSpeech = *on == 1;
  if (const auto level = StoredNumber(values, kReduceNoise, 0, 3)) {
    settings.noise = static_cast<NoiseReduction>(*level);
  }
  if (const auto on = StoredNumber(values, kCutRumble, 0, 1)) settings.cutRumble = *on == 1;
  if (const auto channel = StoredNumber(values, kChannel, 0, 3)) {
    settings.channel = static_cast<Channel>(*channel);
  }
  return settings;
}

}  // namespace audio
