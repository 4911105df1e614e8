#pragma once
// The time-of-day time code: a recorder closes its file when recording ends, so the file's
// last-modified time of day minus the recording's length is the clock time at which it started.
//
// Use from the window, when playback starts with the "Use File T.O.D. for TC" option set and the
// Duration caption not empty:
//   const timecode::TimeOfDayTimeCode tod = timecode::ReadTODTimeCode(
//       path, {STC, Framerate, ID3Duration, player duration in seconds});
//   switch (tod.outcome):
//     FileUnavailable:   change nothing.
//     StartTimeCodeKept: FDT = tod.fdt; TOD = tod.tod (a BWF or ID3 start stays active).
//     NoDuration:        FDT = tod.fdt; TOD = tod.tod; message box kNoDurationMessage with
//                        title kNoDurationTitle and an OK button. TCOffset stays as it was: the
//                        bare time of day under the current source's label would be a wrong
//                        time code; a later play, once the duration is known, sets the start.
//     StartSet:          FDT, TOD as above; STC = tod.stc; TCOffset = tod.tcOffset;
//                        TODStartTC = tod.todStartTC; TCSource = tod.tcSource (4);
//                        TCLabel = tod.tcLabel ("T.O.D. Time Code").

#include <filesystem>
#include <string>
#include <string_view>

#include "file_time.h"

namespace timecode {

inline constexpr std::string_view kNoDurationMessage =
    "You Must Briefly Play the file before Time code can be caluclated";
inline constexpr std::string_view kNoDurationTitle = "TC calculation Error!";
inline constexpr std::string_view kTimeOfDayTCLabel = "T.O.D. Time Code";
inline constexpr std::string_view kNoStartTC = "00:00:00:00";
inline constexpr int kTCSourceTimeOfDay = 4;

struct TimeOfDayInputs {
  std::string_view stc;        // the STC caption; anything but "00:00:00:00" keeps that start
  std::string_view framerate;  // the Framerate caption
  double id3Duration = 0;      // ID3Duration, used when not 0
  double playerDuration = 0;   // the player's duration of the current media item, in seconds
};

enum class TimeOfDayOutcome { FileUnavailable, StartTimeCodeKept, NoDuration, StartSet };

struct TimeOfDayTimeCode {
  TimeOfDayOutcome outcome = TimeOfDayOutcome::FileUnavailable;
  std::string fdt;              // "YYYY-MM-DD HH:MM:SS" of the modified time
  std::string tod;              // "HH:MM:SS:00"
  double timeOfDaySeconds = 0;  // the modified time of day in seconds
  // Set with StartSet only:
  std::string stc;              // the start as "HH:MM:SS:FF"; negative starts are not wrapped
  double tcOffset = 0;          // the start in seconds (time of day minus whole seconds of duration)
  double todStartTC = 0;        // the same value
  int tcSource = kTCSourceTimeOfDay;
  std::string tcLabel{kTimeOfDayTCLabel};
};

TimeOfDayTimeCode ReadTODTimeCode(const std::filesystem::path& path, const TimeOfDayInputs& in);

// The same for a known modified time.
TimeOfDayTimeCode TimeOfDayTimeCodeAt(const LocalDateTime& modified, const TimeOfDayInputs& in);

}  // namespace timecode
