#pragma once
// The sound's way through the engine's audio filters, built from typed settings in this one
// place: which filters, in which order, with which options. Every option value is a number or
// a fixed word formatted here, so no text a user typed ever reaches the engine.
//
// The filters are always there, each labelled, and a setting that is off only disables its
// filter: a change while the sound runs then alters options of filters already in place, which
// the engine applies at once without dropping or delaying a sample. Adding or removing a filter
// while the sound runs would lose the samples it holds or insert silence for its delay.

#include <optional>
#include <string>
#include <vector>

#include "audio_settings.h"

namespace audio {

struct FilterOption {
  std::string name;
  std::string value;
  friend bool operator==(const FilterOption&, const FilterOption&) = default;
};

struct Filter {
  std::string label;  // unique in the chain, "qm-noise"
  std::string name;   // "afftdn"
  bool lavfi = true;  // a libavfilter filter rather than one of the engine's own
  std::vector<FilterOption> options;

  // The filter as an entry of the engine's list: "@qm-noise:lavfi=[afftdn=nr=12:nf=-50]".
  std::string Entry() const;
  friend bool operator==(const Filter&, const Filter&) = default;
};

using FilterChain = std::vector<Filter>;

// Everything the chain is built from.
struct ChainSettings {
  AudioSettings audio;
  int balance = 0;          // -100 left only .. 100 right only
  bool tempo = false;       // the speed is not the normal one: the tempo filter keeps the pitch
  bool monoSource = false;  // the recording has one channel, which becomes two on the way
  // Held to this many times real time, for an output that is a file; 0: as fast as it goes.
  double pace = 0;
};

FilterChain BuildFilterChain(const ChainSettings& settings);

// The engine's list of entries, separated by commas.
std::string FilterListText(const FilterChain& chain);

// One option of one filter changed in place.
struct FilterCommand {
  std::string label;
  std::string option;
  std::string value;
  friend bool operator==(const FilterCommand&, const FilterCommand&) = default;
};

// The option changes that turn `from` into `to`, in the order to send them: a filter is
// disabled before its options change and enabled after, so it never runs with half of them.
// Nothing when the two chains do not hold the same filters in the same order.
std::optional<std::vector<FilterCommand>> CommandsBetween(const FilterChain& from,
                                                          const FilterChain& to);

}  // namespace audio
