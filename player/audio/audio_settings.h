#pragma once
// What the typist chooses to make a poor recording clear: the volume (up to four times the
// normal level), speech levelling, noise reduction, a cut below speech, and which channel is
// heard. Plain values; the settings file keeps them as named lines after the older ones, and
// the remote names the choices by the words below.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace audio {

enum class NoiseReduction { Off, Low, Medium, High };
// One channel is heard in both ears; MonoMix is both channels mixed.
enum class Channel { Both, LeftOnly, RightOnly, MonoMix };

inline constexpr int kMinVolumePercent = 0;
inline constexpr int kNormalVolumePercent = 100;
inline constexpr int kMaxVolumePercent = 400;
// One step of the remote's volume up and down.
inline constexpr int kVolumeStepPercent = 10;

struct AudioSettings {
  int volumePercent = kNormalVolumePercent;  // kMinVolumePercent..kMaxVolumePercent
  bool levelSpeech = false;
  NoiseReduction noise = NoiseReduction::Off;
  bool cutRumble = false;
  Channel channel = Channel::Both;

  friend bool operator==(const AudioSettings&, const AudioSettings&) = default;
};

// `percent` taken into kMinVolumePercent..kMaxVolumePercent.
int ClampedVolume(long long percent);

// The words for the choices, in the order of their enumerators, separated by '|': what
// `quillmark --remote` takes and its usage text shows.
inline constexpr std::string_view kNoiseReductionWords = "off|low|medium|high";
inline constexpr std::string_view kChannelWords = "both|left|right|mono";
std::optional<NoiseReduction> NoiseReductionNamed(std::string_view word);
std::optional<Channel> ChannelNamed(std::string_view word);

// The settings as named values of the settings file ("Volume" = "150", ...), and back: a value
// that is missing or cannot be read leaves that setting at its default.
std::map<std::string, std::string> SettingsValues(const AudioSettings& settings);
AudioSettings SettingsFromValues(const std::map<std::string, std::string>& values);

}  // namespace audio
