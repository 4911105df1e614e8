#include "input_device_info.h"

#include <charconv>
#include <cstdio>

namespace platform {

bool KeyCapabilitiesPresent(std::string_view hexWords) {
  for (const char c : hexWords) {
    const bool hexDigit =
        (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (hexDigit && c != '0') return true;
  }
  return false;
}

std::optional<std::uint16_t> ParseHexId(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  if (text.empty() || text.size() > 4) return {};
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return {};
  return static_cast<std::uint16_t>(value);
}

std::string HexId(std::uint16_t id) {
  char text[5];
  std::snprintf(text, sizeof text, "%04x", id);
  return text;
}

}  // namespace platform
