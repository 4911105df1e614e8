#pragma once
// Which key or button code each switch of a USB pedal sends, the pedals whose codes are known
// from their makers, and the code names the settings file keeps. No Qt here.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct PedalSwitches {
  int left = -1;    // rewinds
  int middle = -1;  // plays while held
  int right = -1;   // fast forwards

  // Three distinct codes.
  bool Complete() const;
  bool operator==(const PedalSwitches&) const = default;
};

// The switches of a pedal model that sends fixed codes; none for any other device.
std::optional<PedalSwitches> KnownPedalSwitches(std::uint16_t vendor, std::uint16_t product);

// The kernel's name of a key or button code ("KEY_B", "BTN_0"); the number for a code without
// one.
std::string KeyCodeName(int code);
// A code from its name or its number; none for anything else.
std::optional<int> KeyCodeFromText(std::string_view text);

}  // namespace platform
