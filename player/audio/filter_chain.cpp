#include "filter_chain.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace audio {
namespace {

// The generic option every libavfilter filter with a timeline has: "0" passes the sound on
// untouched while the filter keeps its place, its delay and its state.
constexpr const char* kEnable = "enable";

std::string Number(double value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

std::string Flag(bool on) { return on ? "1" : "0"; }

// Noise reduction: how many dB the noise is taken down, and the level below which a band counts
// as noise. A higher level reduces louder hiss; it also takes more from faint speech, so the
// typist chooses it for the recording at hand.
struct NoiseStrength {
  double reductionDb;
  double floorDb;
};
NoiseStrength StrengthOf(NoiseReduction level) {
  switch (level) {
    case NoiseReduction::Medium:
      return {24, -40};
    case NoiseReduction::High:
      return {30, -35};
    case NoiseReduction::Off:
    case NoiseReduction::Low:
      break;
  }
  return {12, -50};
}

// The stereo tool's channel routings.
const char* RoutingOf(Channel channel) {
  switch (channel) {
    case Channel::LeftOnly:
      return "3";  // left to both
    case Channel::RightOnly:
      return "4";  // right to both
    case Channel::MonoMix:
      return "5";  // (left + right) / 2 to both
    case Channel::Both:
      break;
  }
  return "0";  // left to left, right to right
}

// Below speech: rumble of traffic, air conditioning and handling noise.
constexpr double kRumbleCutHz = 90;
// Speech levelling: frames of 100 ms, gains smoothed over five of them (a quarter second looked
// ahead, so a new talker is met at once), at most 30 times up, the talk towards -20 dBFS within
// peaks of 0.9 (which holds speech near -23 dBFS); each channel on its own, so a faint party on
// one side is raised too; frames whose peaks stay below -40 dBFS are pauses and keep their gain,
// so hiss is not pumped up.
constexpr double kLevellerFrameMs = 100;
constexpr const char* kLevellerOptions[][2] = {
    {"gausssize", "5"}, {"maxgain", "30"},  {"peak", "0.9"},       {"targetrms", "0.1"},
    {"coupling", "0"},  {"threshold", "0.01"}};
// The mono recording's one channel arrives on both at 3 dB less; this restores its level.
constexpr double kMonoToStereoGain = 1.4142135623730951;
// Above the normal volume the limiter keeps peaks 1 dB below full scale; at or below it, only
// what would clip is touched.
constexpr double kBoostedCeiling = 0.891;
constexpr double kFullScale = 1.0;

Filter Lavfi(const char* label, const char* name, std::vector<FilterOption> options) {
  return Filter{label, name, true, std::move(options)};
}

}  // namespace

std::string Filter::Entry() const {
  std::string text = "@" + label + ":";
  text += lavfi ? "lavfi=[" + name : name;
  for (std::size_t i = 0; i < options.size(); ++i) {
    text += i == 0 ? "=" : ":";
    text += options[i].name + "=" + options[i].value;
  }
  if (lavfi) text += "]";
  return text;
}

FilterChain BuildFilterChain(const ChainSettings& settings) {
  const AudioSettings& audio = settings.audio;
  const int volume = ClampedVolume(audio.volumePercent);
  const NoiseStrength strength = StrengthOf(audio.noise);

  FilterChain chain;
  if (settings.pace > 0) chain.push_back(Lavfi("qm-pace", "arealtime", {{"speed", Number(settings.pace)}}));
  chain.push_back(Lavfi("qm-rumble", "highpass",
                        {{"f", Number(kRumbleCutHz)}, {"p", "2"}, {kEnable, Flag(audio.cutRumble)}}));
  chain.push_back(Lavfi("qm-noise", "afftdn",
                        {{"nr", Number(strength.reductionDb)},
                         {"nf", Number(strength.floorDb)},
                         {kEnable, Flag(audio.noise != NoiseReduction::Off)}}));
  // The leveller of FFmpeg 5.1 reads past its buffer when the sound since the last start or seek
  // ends before its first frame is full (a seek into the last tenth of a second): such a short
  // stretch is padded with silence to one frame first, whether levelling is on or off.
  chain.push_back(Lavfi("qm-pad", "apad", {{"whole_dur", Number(kLevellerFrameMs / 1000.0)}}));
  std::vector<FilterOption> leveller{{"framelen", Number(kLevellerFrameMs)}};
  for (const auto& [name, value] : kLevellerOptions) leveller.push_back({name, value});
  leveller.push_back({kEnable, Flag(audio.levelSpeech)});
  chain.push_back(Lavfi("qm-level", "dynaudnorm", std::move(leveller)));
  // Speed with the pitch kept, down to a tenth; the engine's own tempo filter.
  if (settings.tempo) chain.push_back(Filter{"qm-tempo", "scaletempo2", false, {{"min-speed", "0.05"}}});
  chain.push_back(Lavfi("qm-channel", "stereotools",
                        {{"mode", RoutingOf(audio.channel)},
                         {"level_in", Number(settings.monoSource ? kMonoToStereoGain : 1.0)}}));
  chain.push_back(Lavfi("qm-balance", "stereotools",
                        {{"balance_out", Number(std::clamp(settings.balance, -100, 100) / 100.0)}}));
  chain.push_back(Lavfi("qm-volume", "volume", {{"volume", Number(volume / 100.0)}}));
  // The limiter's own delay is taken out again (latency), and it never raises the level (level).
  chain.push_back(Lavfi("qm-limit", "alimiter",
                        {{"level", "0"},
                         {"latency", "1"},
                         {"limit", Number(volume > kNormalVolumePercent ? kBoostedCeiling : kFullScale)}}));
  return chain;
}

std::string FilterListText(const FilterChain& chain) {
  std::string text;
  for (const Filter& filter : chain) {
    if (!text.empty()) text += ",";
    text += filter.Entry();
  }
  return text;
}

std::optional<std::vector<FilterCommand>> CommandsBetween(const FilterChain& from,
                                                          const FilterChain& to) {
  if (from.size() != to.size()) return std::nullopt;
  std::vector<FilterCommand> commands;
  for (std::size_t f = 0; f < from.size(); ++f) {
    const Filter& before = from[f];
    const Filter& after = to[f];
    if (before.label != after.label || before.name != after.name ||
        before.lavfi != after.lavfi || before.options.size() != after.options.size()) {
      return std::nullopt;
    }
    std::vector<FilterCommand> changes;
    std::optional<FilterCommand> enable;
    for (std::size_t o = 0; o < before.options.size(); ++o) {
      if (before.options[o].name != after.options[o].name) return std::nullopt;
      if (before.options[o].value == after.options[o].value) continue;
      FilterCommand command{after.label, after.options[o].name, after.options[o].value};
      if (command.option == kEnable) {
        enable = std::move(command);
      } else {
        changes.push_back(std::move(command));
      }
    }
    if (enable && enable->value == "0") commands.push_back(*enable);
    commands.insert(commands.end(), changes.begin(), changes.end());
    if (enable && enable->value != "0") commands.push_back(*enable);
  }
  return commands;
}

}  // namespace audio
