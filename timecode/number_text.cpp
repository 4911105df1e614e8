#include "number_text.h"

#include <cmath>
#include <cstdio>

namespace timecode {

std::string NumberText(double value, NumberPrecision precision) {
  if (std::isnan(value)) return " NaN";
  if (std::isinf(value)) return value < 0 ? "-Infinity" : " Infinity";
  const int digits = precision == NumberPrecision::Single ? 7 : 15;
  if (precision == NumberPrecision::Single) value = static_cast<float>(value);
  if (value == 0) value = 0;  // no "-0"

  // snprintf's %g depends on LC_NUMERIC; swap a comma back to a point so the text is C locale.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*G", digits, std::fabs(value));
  std::string body(buffer);
  for (char& c : body) {
    if (c == ',') c = '.';
  }
  if (body.size() > 1 && body[0] == '0' && body[1] == '.') body.erase(0, 1);
  return (value < 0 ? "-" : " ") + body;
}

}  // namespace timecode
