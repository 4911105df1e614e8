#pragma once
// The short numeric text used in captions, the settings file, the bookmark file and the
// diagnostic lines: a blank in place of a plus sign, no leading zero before the decimal point,
// no trailing zeros (" 3", " 2.5", " .5", "-1", " 100"). Always in the C locale.

#include <string>

namespace timecode {

enum class NumberPrecision { Single, Double };  // 7 or 15 significant digits

std::string NumberText(double value, NumberPrecision precision = NumberPrecision::Double);

}  // namespace timecode
