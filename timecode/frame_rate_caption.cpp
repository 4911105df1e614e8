#include "frame_rate_caption.h"

#include <algorithm>
#include <cctype>

namespace timecode {

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  double sign = 1.0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') sign = -1.0;
    ++i;
  }
  double value = 0.0;
  double scale = 0.0;  // 0 before the decimal point, then 0.1, 0.01, ...
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (scale == 0.0) {
        value = value * 10.0 + (c - '0');
      } else {
        value += (c - '0') * scale;
        scale /= 10.0;
      }
    } else if (c == '.' && scale == 0.0) {
      scale = 0.1;
    } else {
      break;
    }
  }
  return sign * value;
}

double RateValue(std::string_view caption, int characters) {
  return LeadingNumber(caption.substr(0, static_cast<std::size_t>(std::max(characters, 0))));
}

bool IsRateFamily(std::string_view caption, std::string_view family) {
  return caption.substr(0, 2) == family;
}

bool HasModeCode(std::string_view caption, std::string_view code) {
  const auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
  const auto found = std::search(caption.begin(), caption.end(), code.begin(), code.end(),
                                 [&](char a, char b) { return upper(a) == upper(b); });
  return !code.empty() && found != caption.end();
}

bool IsNonDrop(std::string_view caption, bool freeRunCountsAsNonDrop) {
  return HasModeCode(caption, "ND") || (freeRunCountsAsNonDrop && HasModeCode(caption, "FF"));
}

double StartTCDivisor(std::string_view caption) {
  const double d = LeadingNumber(caption);
  return d < 23.0 ? 30.0 : d;
}

}  // namespace timecode
