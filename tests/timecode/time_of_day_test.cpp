#include "time_of_day.h"

#include <gtest/gtest.h>

#include "support/media_files.h"

namespace timecode {
namespace {

constexpr LocalDateTime kHalfPastTwo{2026, 12, 7, 14, 30, 0};

TEST(TimeOfDay, StartIsTheModifiedTimeLessTheWholeSecondsOfTheDuration) {
  const TimeOfDayTimeCode tod = TimeOfDayTimeCodeAt(kHalfPastTwo, {"00:00:00:00", "25.000 ND", 0, 1800.6});
  EXPECT_EQ(tod.outcome, TimeOfDayOutcome::StartSet);
  EXPECT_EQ(tod.fdt, "2026-12-07 14:30:00");
  EXPECT_EQ(tod.tod, "14:30:00:00");
  EXPECT_EQ(tod.timeOfDaySeconds, 52200);
  EXPECT_EQ(tod.tcOffset, 50400);
  EXPECT_EQ(tod.todStartTC, 50400);
  EXPECT_EQ(tod.stc, "14:00:00:00");
  EXPECT_EQ(tod.tcSource, 4);
  EXPECT_EQ(tod.tcLabel, "T.O.D. Time Code");
}

TEST(TimeOfDay, TagDurationWinsAndNegativeStartsAreNotWrapped) {
  EXPECT_EQ(TimeOfDayTimeCodeAt(kHalfPastTwo, {"00:00:00:00", "25.000 ND", 600, 1800}).tcOffset,
            51600);
  const TimeOfDayTimeCode early =
      TimeOfDayTimeCodeAt({2026, 1, 2, 0, 10, 0}, {"00:00:00:00", "30.000 ND", 0, 3600});
  EXPECT_EQ(early.tcOffset, -3000);
  EXPECT_EQ(early.stc, "-01:10:00:00");
}

TEST(TimeOfDay, ExistingStartOrUnknownDurationStopEarly) {
  const TimeOfDayTimeCode kept =
      TimeOfDayTimeCodeAt(kHalfPastTwo, {"01:00:00:00", "25.000 ND", 0, 1800});
  EXPECT_EQ(kept.outcome, TimeOfDayOutcome::StartTimeCodeKept);
  EXPECT_EQ(kept.tod, "14:30:00:00");
  EXPECT_EQ(kept.stc, "");
  const TimeOfDayTimeCode none = TimeOfDayTimeCodeAt(kHalfPastTwo, {"00:00:00:00", "25.000 ND", 0, 0});
  EXPECT_EQ(none.outcome, TimeOfDayOutcome::NoDuration);
  EXPECT_EQ(none.timeOfDaySeconds, 52200);
  EXPECT_EQ(none.stc, "");
  EXPECT_EQ(kNoDurationTitle, "TC calculation Error!");
}

TEST(TimeOfDay, ReadsTheModifiedTimeOfARealFile) {
  testing::TempDir dir;
  const auto path = dir.Write("call.wav", testing::Bytes(10, 0));
  testing::SetModifiedLocalTime(path, 2026, 6, 1, 9, 15, 30);
  const TimeOfDayTimeCode tod = ReadTODTimeCode(path, {"00:00:00:00", "25.000 ND", 0, 930.9});
  EXPECT_EQ(tod.fdt, "2026-06-01 09:15:30");
  EXPECT_EQ(tod.stc, "09:00:00:00");
  EXPECT_EQ(ReadTODTimeCode(dir.path() / "gone.wav", {}).outcome,
            TimeOfDayOutcome::FileUnavailable);
}

}  // namespace
}  // namespace timecode
