#pragma once
// Reading numbers and frame-rate captions such as "30.000 ND" or "29.97".
//
// The frame rate is never held as a typed value: it is the caption text, read again by every
// conversion. These helpers read that text.

#include <string_view>

namespace timecode {

// The leading number of a text: leading blanks skipped, an optional sign, digits with at most one
// decimal point, reading stops at the first other character. No number gives 0.
double LeadingNumber(std::string_view text);

// The rate value R: the leading number of the first `characters` characters of the caption
// (7 for most callers, 6 for the bookmark labels and the time-of-day start).
double RateValue(std::string_view caption, int characters = 7);

// The rate family: the caption starts with "29", "23" or "30".
bool IsRateFamily(std::string_view caption, std::string_view family);

// Whether the mode code occurs anywhere in the caption, ignoring letter case.
bool HasModeCode(std::string_view caption, std::string_view code);

// A caption counting non-drop. Where `freeRunCountsAsNonDrop` is set, "FF" counts like "ND".
bool IsNonDrop(std::string_view caption, bool freeRunCountsAsNonDrop);

// The frame divisor D for a start time code typed or read as text: the numeric value of the whole
// caption, or 30 when that value is below 23.
double StartTCDivisor(std::string_view caption);

}  // namespace timecode
