#pragma once
// The time code model: a time code is a number of seconds (a double), cut into hours, minutes,
// seconds and frames only for display. The frame rate comes from the frame-rate caption text.
//
// Several callers convert seconds to fields with small differences of detail; those differences
// are the parameters of one conversion (`TCVariant`), with a named constant per caller.

#include <string>
#include <string_view>

namespace timecode {

// How a non-drop count at 29.97/23.976, or a drop-frame count at 30, scales real-time seconds.
enum class RateCorrection {
  Display,     // "ND" only; t * 0.999001 or t * 1.001001 (display tick, bookmark labels)
  DisplayBwf,  // as Display, but "FF" counts like "ND" (broadcast-wave sample count)
  Entry,       // "ND" or "FF"; t * 0.999 or t * 1.001 (a typed time code)
};

// Real-time seconds corrected for the caption's counting mode.
double RateCorrect(double t, std::string_view caption, RateCorrection variant);

// When the frame field carries into the seconds.
enum class FrameCarry {
  RoundedAbove,    // floor(F + 0.5) > R - tolerance
  Unrounded,       // F >= R - tolerance, F keeps its fraction
  TextAtLeast,     // the two-digit text of F, read back, >= R - tolerance; F keeps its fraction
  TextReplaces,    // F becomes its two-digit text's value first; carry when F >= R - tolerance
};

// How hours at or above 24 are shown.
enum class HourWrap {
  Display,      // if H > 23 then H - 24; then if H = 24 then 0
  Only24,       // only: if H = 24 then 0
  Above23,      // if H > 23 then H - 24
};

struct TCVariant {
  int rateCharacters;  // how many characters of the caption give R
  FrameCarry carry;
  double carryTolerance;
  HourWrap wrap;
};

inline constexpr TCVariant kDisplayTickTC{7, FrameCarry::RoundedAbove, 0.005, HourWrap::Display};
// A bookmark's text carries when its frame would read as the rate: there is no frame 30 at 30.
inline constexpr TCVariant kBookmarkLabelTC{6, FrameCarry::TextAtLeast, 0.05, HourWrap::Only24};
inline constexpr TCVariant kBwfStartTC{7, FrameCarry::TextAtLeast, 0.0005, HourWrap::Above23};
inline constexpr TCVariant kUserSetStartTC{7, FrameCarry::TextReplaces, 0.005, HourWrap::Above23};
inline constexpr TCVariant kTimeOfDayStartTC{6, FrameCarry::Unrounded, 0.05, HourWrap::Only24};

// Time code fields. H, M and S are whole numbers; F keeps its fraction until it is formatted.
struct TCFields {
  double hours = 0;
  double minutes = 0;
  double seconds = 0;
  double frames = 0;
};

// Seconds to fields, taking each field from the fraction of T / 3600 in turn.
TCFields SecondsToTC(double totalSeconds, std::string_view caption, const TCVariant& variant);

// A field as at least two digits: rounded half away from zero, all digits kept at 100 and above,
// a negative value keeps its sign ("-01").
std::string FormatTCField(double value);

// "HH:MM:SS:FF".
std::string FormatTC(const TCFields& fields);

// "HH:MM:SS:FF" to seconds with frame divisor D. Fields are the leading numbers of characters
// 1-2, 4-5, 7-8 and 10-11; separators are not checked.
double TCToSeconds(std::string_view text, double frameDivisor);

}  // namespace timecode
