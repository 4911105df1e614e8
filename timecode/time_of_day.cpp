#include "time_of_day.h"

#include <cmath>

#include "time_code.h"

namespace timecode {

TimeOfDayTimeCode ReadTODTimeCode(const std::filesystem::path& path, const TimeOfDayInputs& in) {
  const std::optional<LocalDateTime> modified = FileModifiedLocalTime(path);
  if (!modified) return {};
  return TimeOfDayTimeCodeAt(*modified, in);
}

TimeOfDayTimeCode TimeOfDayTimeCodeAt(const LocalDateTime& modified, const TimeOfDayInputs& in) {
  TimeOfDayTimeCode result;
  result.fdt = ShortDateTimeText(modified);
  result.tod = TimeOfDayText(modified);
  if (in.stc != kNoStartTC) {
    result.outcome = TimeOfDayOutcome::StartTimeCodeKept;
    return result;
  }
  // The TOD text has frames "00", so any divisor gives the whole seconds of the day.
  result.timeOfDaySeconds = TCToSeconds(result.tod, 30);

  double duration = in.id3Duration != 0 ? in.id3Duration : in.playerDuration;
  if (!std::isfinite(duration)) duration = 0;
  if (duration == 0) {
    result.outcome = TimeOfDayOutcome::NoDuration;
    return result;
  }
  const double start = result.timeOfDaySeconds - std::trunc(duration);
  result.stc = FormatTC(SecondsToTC(start, in.framerate, kTimeOfDayStartTC));
  result.tcOffset = start;
  result.todStartTC = start;
  result.outcome = TimeOfDayOutcome::StartSet;
  return result;
}

}  // namespace timecode
