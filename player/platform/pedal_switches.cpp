#include "pedal_switches.h"

#include <libevdev/libevdev.h>
#include <linux/input.h>

#include <charconv>

namespace platform {
namespace {

struct KnownPedal {
  std::uint16_t vendor;
  std::uint16_t product;
  PedalSwitches switches;
};

// Pedals whose switches send fixed codes on every unit. The udev rule in dist/udev gives the
// logged-in user access to these and to the other pedals listed there (which are learned).
constexpr KnownPedal kKnownPedals[] = {
    // VEC Infinity IN-USB-1 and IN-USB-2 and their relabelled twins: HID buttons 1 to 3, left
    // to right, which the kernel's generic HID driver sends as BTN_0 to BTN_2.
    {0x05f3, 0x00ff, {BTN_0, BTN_1, BTN_2}},
};

}  // namespace

bool PedalSwitches::Complete() const {
  return left >= 0 && middle >= 0 && right >= 0 && left != middle && left != right &&
         middle != right;
}

std::optional<PedalSwitches> KnownPedalSwitches(std::uint16_t vendor, std::uint16_t product) {
  for (const KnownPedal& pedal : kKnownPedals) {
    if (pedal.vendor == vendor && pedal.product == product) return pedal.switches;
  }
  return {};
}

std::string KeyCodeName(int code) {
  if (code >= 0 && code <= KEY_MAX) {
    if (const char* name = libevdev_event_code_get_name(EV_KEY, static_cast<unsigned>(code))) {
      return name;
    }
  }
  return std::to_string(code);
}

std::optional<int> KeyCodeFromText(std::string_view text) {
  int code = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
  if (!text.empty() && error == std::errc() && end == text.data() + text.size()) {
    if (code >= 0 && code <= KEY_MAX) return code;
    return {};
  }
  code = libevdev_event_code_from_name_n(EV_KEY, text.data(), text.size());
  if (code >= 0) return code;
  return {};
}

}  // namespace platform
