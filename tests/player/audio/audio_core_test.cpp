// The sound settings without the player: their lines in the settings file and the words the
// remote takes, and the filter chain built from them, which every change of a setting alters in
// place (option commands, never a new list) and which takes no value it did not make itself.

#include <gtest/gtest.h>

#include "audio/audio_settings.h"
#include "audio/filter_chain.h"

namespace {

using audio::AudioSettings;
using audio::Channel;
using audio::NoiseReduction;

// One setting away from the defaults, each in turn, and all of them at once.
std::vector<AudioSettings> EveryKindOfChange() {
  std::vector<AudioSettings> all;
  for (const int volume : {0, 50, 101, 400}) {
    AudioSettings s;
    s.volumePercent = volume;
    all.push_back(s);
  }
  for (const auto noise : {NoiseReduction::Low, NoiseReduction::Medium, NoiseReduction::High}) {
    AudioSettings s;
    s.noise = noise;
    all.push_back(s);
  }
  for (const auto channel : {Channel::LeftOnly, Channel::RightOnly, Channel::MonoMix}) {
    AudioSettings s;
    s.channel = channel;
    all.push_back(s);
  }
  AudioSettings level, rumble, everything;
  level.levelSpeech = true;
  rumble.cutRumble = true;
  everything = {250, true, NoiseReduction::High, true, Channel::RightOnly};
  all.insert(all.end(), {level, rumble, everything});
  return all;
}

TEST(AudioSettings, StoredLinesReadBackAndDamagedOnesFallBackOnTheirOwn) {
  for (const AudioSettings& settings : EveryKindOfChange()) {
    EXPECT_EQ(audio::SettingsFromValues(audio::SettingsValues(settings)), settings);
  }
  // A file from before these settings.
  EXPECT_EQ(audio::SettingsFromValues({{"LastFolder", "/home/a"}}), AudioSettings{});

  const AudioSettings stored{180, true, NoiseReduction::Medium, true, Channel::MonoMix};
  for (const auto& [name, damaged] : std::initializer_list<std::pair<const char*, const char*>>{
           {"Volume", "401"}, {"Volume", "-1"}, {"Volume", "1.5"}, {"Volume", " 150"},
           {"Volume", ""}, {"LevelSpeech", "2"}, {"LevelSpeech", "yes"},
           {"ReduceNoise", "4"}, {"ReduceNoise", "high"}, {"CutRumble", "-1"},
           {"Channel", "9"}, {"Channel", "0x1"}}) {
    SCOPED_TRACE(std::string(name) + "=" + damaged);
    auto values = audio::SettingsValues(stored);
    values[name] = damaged;
    const AudioSettings read = audio::SettingsFromValues(values);
    AudioSettings expected = stored;
    const std::string field = name;
    const AudioSettings defaults;
    if (field == "Volume") expected.volumePercent = defaults.volumePercent;
    if (field == "LevelSpeech") expected.levelSpeech = defaults.levelSpeech;
    if (field == "ReduceNoise") expected.noise = defaults.noise;
    if (field == "CutRumble") expected.cutRumble = defaults.cutRumble;
    if (field == "Channel") expected.channel = defaults.channel;
    EXPECT_EQ(read, expected);
  }
}

TEST(AudioSettings, RemoteWordsNameEveryChoiceAndNothingElse) {
  EXPECT_EQ(audio::NoiseReductionNamed("off"), NoiseReduction::Off);
  EXPECT_EQ(audio::NoiseReductionNamed("medium"), NoiseReduction::Medium);
  EXPECT_EQ(audio::NoiseReductionNamed("high"), NoiseReduction::High);
  EXPECT_EQ(audio::ChannelNamed("both"), Channel::Both);
  EXPECT_EQ(audio::ChannelNamed("right"), Channel::RightOnly);
  EXPECT_EQ(audio::ChannelNamed("mono"), Channel::MonoMix);
  for (const char* wrong : {"", "High", "hig", "highx", "off|low", "|", "left only"}) {
    EXPECT_FALSE(audio::NoiseReductionNamed(wrong)) << wrong;
    EXPECT_FALSE(audio::ChannelNamed(wrong)) << wrong;
  }
}

TEST(FilterChain, EveryChangeOfASettingIsMadeInPlace) {
  const AudioSettings defaults;
  const auto chainOf = [](const AudioSettings& settings, int balance = 0, bool mono = false) {
    return audio::BuildFilterChain({settings, balance, false, mono});
  };
  for (const AudioSettings& changed : EveryKindOfChange()) {
    for (const auto& [from, to] : {std::pair{defaults, changed}, std::pair{changed, defaults}}) {
      const auto commands = audio::CommandsBetween(chainOf(from), chainOf(to));
      ASSERT_TRUE(commands.has_value()) << "a new filter list would drop the sound it holds";
      EXPECT_FALSE(commands->empty());
      // Applied in order, the commands give the chain the new settings would build.
      audio::FilterChain applied = chainOf(from);
      for (const audio::FilterCommand& command : *commands) {
        for (audio::Filter& filter : applied) {
          for (audio::FilterOption& option : filter.options) {
            if (filter.label == command.label && option.name == command.option) {
              option.value = command.value;
            }
          }
        }
      }
      EXPECT_EQ(applied, chainOf(to));
    }
  }
  // The balance and a recording found to be mono change in place too; the speed's tempo filter
  // comes and goes, which only a new list can do.
  EXPECT_TRUE(audio::CommandsBetween(chainOf(defaults), chainOf(defaults, -60)));
  EXPECT_TRUE(audio::CommandsBetween(chainOf(defaults), chainOf(defaults, 0, true)));
  EXPECT_FALSE(audio::CommandsBetween(audio::BuildFilterChain({defaults, 0, false, false}),
                                      audio::BuildFilterChain({defaults, 0, true, false})));
  EXPECT_EQ(audio::CommandsBetween(chainOf(defaults), chainOf(defaults)),
            std::vector<audio::FilterCommand>{});
}

TEST(FilterChain, AFilterIsSwitchedOffBeforeAndOnAfterItsOptions) {
  AudioSettings high;
  high.noise = NoiseReduction::High;
  const auto on = audio::CommandsBetween(audio::BuildFilterChain({}),
                                         audio::BuildFilterChain({high}));
  ASSERT_TRUE(on && !on->empty());
  EXPECT_EQ(on->back(), (audio::FilterCommand{"qm-noise", "enable", "1"}));
  const auto off = audio::CommandsBetween(audio::BuildFilterChain({high}),
                                          audio::BuildFilterChain({}));
  ASSERT_TRUE(off && !off->empty());
  EXPECT_EQ(off->front(), (audio::FilterCommand{"qm-noise", "enable", "0"}));
}

TEST(FilterChain, ValuesBeyondTheirRangeNeverReachTheEngine) {
  AudioSettings wild;
  wild.volumePercent = 100000;
  const std::string loud = audio::FilterListText(audio::BuildFilterChain({wild, 9999}));
  EXPECT_NE(loud.find("volume=volume=4]"), std::string::npos) << loud;
  EXPECT_NE(loud.find("balance_out=1]"), std::string::npos) << loud;
  wild.volumePercent = -7;
  const std::string silent = audio::FilterListText(audio::BuildFilterChain({wild, -9999}));
  EXPECT_NE(silent.find("volume=volume=0]"), std::string::npos) << silent;
  EXPECT_NE(silent.find("balance_out=-1]"), std::string::npos) << silent;
}

}  // namespace
