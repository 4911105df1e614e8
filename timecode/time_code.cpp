#include "time_code.h"

#include <cmath>
#include <cstdio>

#include "frame_rate_caption.h"

namespace timecode {

double RateCorrect(double t, std::string_view caption, RateCorrection variant) {
  const bool nonDrop = IsNonDrop(caption, variant != RateCorrection::Display);
  const bool entry = variant == RateCorrection::Entry;
  if ((IsRateFamily(caption, "29") || IsRateFamily(caption, "23")) && nonDrop) {
    return entry ? t * 0.999 : t - t * 0.000999;
  }
  if (IsRateFamily(caption, "30") && HasModeCode(caption, "DF")) {
    return entry ? t * 1.001 : t + t * 0.001001;
  }
  return t;
}

namespace {

// The value of a field's two-digit text: F rounded half away from zero.
double TextValue(double frames) { return std::round(frames); }

bool FrameCarries(TCFields& f, double rate, const TCVariant& v) {
  const double limit = rate - v.carryTolerance;
  switch (v.carry) {
    case FrameCarry::RoundedAbove:
      return std::floor(f.frames + 0.5) > limit;
    case FrameCarry::Unrounded:
      return f.frames >= limit;
    case FrameCarry::TextAtLeast:
      return TextValue(f.frames) >= limit;
    case FrameCarry::TextReplaces:
      f.frames = TextValue(f.frames);
      return f.frames >= limit;
  }
  return false;
}

void WrapHours(double& hours, HourWrap wrap) {
  switch (wrap) {
    case HourWrap::Display:
      if (hours > 23) hours -= 24;
      if (hours == 24) hours = 0;
      break;
    case HourWrap::Only24:
      if (hours == 24) hours = 0;
      break;
    case HourWrap::Above23:
      if (hours > 23) hours -= 24;
      break;
  }
}

}  // namespace

TCFields SecondsToTC(double totalSeconds, std::string_view caption, const TCVariant& variant) {
  const double rate = RateValue(caption, variant.rateCharacters);
  const double hourFraction = totalSeconds / 3600.0;
  TCFields f;
  f.hours = std::floor(hourFraction);
  const double minutesExact = (hourFraction - f.hours) * 60.0;
  f.minutes = std::floor(minutesExact);
  const double secondsExact = (minutesExact - f.minutes) * 60.0;
  f.seconds = std::floor(secondsExact);
  f.frames = (secondsExact - f.seconds) * rate;

  if (FrameCarries(f, rate, variant)) {
    f.seconds += 1;
    f.frames = 0;
  }
  if (f.seconds > 59) {
    f.minutes += 1;
    f.seconds = 0;
  }
  if (f.minutes > 59) {
    f.minutes = 0;
    f.hours += 1;
  }
  WrapHours(f.hours, variant.wrap);
  return f;
}

std::string FormatTCField(double value) {
  const double rounded = std::round(value);  // halves away from zero
  char text[40];
  if (!std::isfinite(rounded) || std::fabs(rounded) >= 1e18) {
    std::snprintf(text, sizeof text, "%.0f", rounded);
  } else {
    const long long whole = static_cast<long long>(rounded);
    std::snprintf(text, sizeof text, whole < 0 ? "-%02lld" : "%02lld", whole < 0 ? -whole : whole);
  }
  return text;
}

std::string FormatTC(const TCFields& f) {
  return FormatTCField(f.hours) + ":" + FormatTCField(f.minutes) + ":" +
         FormatTCField(f.seconds) + ":" + FormatTCField(f.frames);
}

double TCToSeconds(std::string_view text, double frameDivisor) {
  const auto field = [&](std::size_t start) {
    return start < text.size() ? LeadingNumber(text.substr(start, 2)) : 0.0;
  };
  return field(0) * 3600.0 + field(3) * 60.0 + field(6) + field(9) / frameDivisor;
}

}  // namespace timecode
