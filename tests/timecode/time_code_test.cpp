#include "time_code.h"

#include <gtest/gtest.h>

#include <cmath>

#include "frame_rate_caption.h"

namespace timecode {
namespace {

std::string Display(double playPosition, const char* caption, double offset = 0) {
  const double t = offset + RateCorrect(playPosition, caption, RateCorrection::Display);
  return FormatTC(SecondsToTC(t, caption, kDisplayTickTC));
}

TEST(FrameRateCaption, RateValueReadsTheLeadingNumberOfTheFirstCharacters) {
  EXPECT_DOUBLE_EQ(RateValue("29.970 DF"), 29.97);
  EXPECT_DOUBLE_EQ(RateValue("23.976 ND"), 23.976);
  EXPECT_DOUBLE_EQ(RateValue("29.97"), 29.97);
  EXPECT_DOUBLE_EQ(RateValue("  25.5.1"), 25.5);     // a second point ends the number
  EXPECT_DOUBLE_EQ(RateValue("23.9765", 6), 23.976);  // six characters only
  EXPECT_DOUBLE_EQ(RateValue("ND 30"), 0);
  EXPECT_DOUBLE_EQ(RateValue(""), 0);
  EXPECT_DOUBLE_EQ(RateValue("1234567890"), 1234567);
}

TEST(FrameRateCaption, ModesIgnoreLetterCaseAndFreeRunCountsOnlyWhereAsked) {
  EXPECT_TRUE(HasModeCode("29.970 nd", "ND"));
  EXPECT_TRUE(HasModeCode("xDfx", "DF"));
  EXPECT_FALSE(HasModeCode("29.970", "ND"));
  EXPECT_FALSE(IsNonDrop("29.970 FF", false));
  EXPECT_TRUE(IsNonDrop("29.970 ff", true));
  EXPECT_TRUE(IsRateFamily("29.970 DF", "29"));
  EXPECT_FALSE(IsRateFamily(" 29.970", "29"));
}

TEST(FrameRateCaption, StartDivisorFallsBackTo30BelowRate23) {
  EXPECT_DOUBLE_EQ(StartTCDivisor("25.000 ND"), 25);
  EXPECT_DOUBLE_EQ(StartTCDivisor("23.976 DF"), 23.976);
  EXPECT_DOUBLE_EQ(StartTCDivisor("22.9"), 30);
  EXPECT_DOUBLE_EQ(StartTCDivisor("garbage"), 30);
}

TEST(RateCorrect, DisplayEntryAndBroadcastWaveVariantsDiffer) {
  EXPECT_DOUBLE_EQ(RateCorrect(3600, "29.970 ND", RateCorrection::Display), 3596.4036);
  EXPECT_DOUBLE_EQ(RateCorrect(3600, "30.000 DF", RateCorrection::Display), 3603.6036);
  EXPECT_DOUBLE_EQ(RateCorrect(3600, "29.970 ND", RateCorrection::Entry), 3600 * 0.999);
  EXPECT_DOUBLE_EQ(RateCorrect(3600, "30.000 DF", RateCorrection::Entry), 3600 * 1.001);
  // "FF" counts as non-drop for the broadcast-wave and entry variants only.
  EXPECT_DOUBLE_EQ(RateCorrect(100, "29.97 FF", RateCorrection::Display), 100);
  EXPECT_DOUBLE_EQ(RateCorrect(100, "29.97 FF", RateCorrection::DisplayBwf), 100 - 100 * 0.000999);
  EXPECT_DOUBLE_EQ(RateCorrect(100, "23.98 FF", RateCorrection::Entry), 99.9);
  for (const char* realTime : {"29.970 DF", "23.976 DF", "24.000 ND", "24.000 DF", "25.000 DF",
                               "30.000 ND", "29.97"}) {
    EXPECT_DOUBLE_EQ(RateCorrect(1234.5, realTime, RateCorrection::Display), 1234.5) << realTime;
  }
}

TEST(DisplayTick, ShowsCorrectedPositionWithCarry) {
  EXPECT_EQ(Display(3661.5, "30.000 ND"), "01:01:01:15");
  EXPECT_EQ(Display(10.99, "25.000 ND"), "00:00:11:00");  // floor(25.25) > 24.995
  EXPECT_EQ(Display(10.97, "25.000 ND"), "00:00:10:24");
  EXPECT_EQ(Display(3600, "29.970 ND"), "00:59:56:12");
  EXPECT_EQ(Display(3600, "30.000 DF"), "01:00:03:18");
  EXPECT_EQ(Display(3600, "29.970 DF"), "01:00:00:00");
  EXPECT_EQ(Display(59.99, "25.000 ND"), "00:01:00:00");    // frames carry into the minute
  EXPECT_EQ(Display(3599.99, "25.000 ND"), "01:00:00:00");  // and on into the hour
  EXPECT_EQ(Display(12.5, "29.97"), "00:00:12:15");         // R = 29.97, no correction
}

TEST(DisplayTick, HourWrapDiffersBetweenVariants) {
  EXPECT_EQ(Display(90000, "25.000 ND"), "01:00:00:00");
  EXPECT_EQ(FormatTC(SecondsToTC(90000, "25.000 ND", kBookmarkLabelTC)), "25:00:00:00");
  EXPECT_EQ(FormatTC(SecondsToTC(90000, "25.000 ND", kTimeOfDayStartTC)), "25:00:00:00");
  EXPECT_EQ(FormatTC(SecondsToTC(86400, "25.000 ND", kTimeOfDayStartTC)), "00:00:00:00");
  EXPECT_EQ(FormatTC(SecondsToTC(90000, "25.000 ND", kBwfStartTC)), "01:00:00:00");
  // Display: 48 hours wraps once to 24, which then becomes 0.
  EXPECT_EQ(Display(172800, "25.000 ND"), "00:00:00:00");
  EXPECT_EQ(FormatTC(SecondsToTC(172800, "25.000 ND", kBwfStartTC)), "24:00:00:00");
}

TEST(DisplayTick, NegativeTotalsAreNotWrapped) {
  EXPECT_EQ(FormatTC(SecondsToTC(-600, "25.000 ND", kTimeOfDayStartTC)), "-01:50:00:00");
  EXPECT_EQ(Display(0, "25.000 ND", -600), "-01:50:00:00");
}

TEST(SecondsToTC, BookmarkTextsCarryAFrameThatWouldReadAsTheRate) {
  // 10.98 s at 25: F = 24.5, which would read as frame 25: it carries, as on the display.
  EXPECT_EQ(FormatTC(SecondsToTC(10.98, "25.000 ND", kBookmarkLabelTC)), "00:00:11:00");
  EXPECT_EQ(FormatTC(SecondsToTC(10.98, "25.000 ND", kDisplayTickTC)), "00:00:11:00");
  EXPECT_EQ(FormatTC(SecondsToTC(10.979, "25.000 ND", kBookmarkLabelTC)), "00:00:10:24");
  // At 29.97 the last frame is 29.
  EXPECT_EQ(FormatTC(SecondsToTC(10 + 29.6 / 29.97, "29.970 ND", kBookmarkLabelTC)),
            "00:00:11:00");
}

TEST(SecondsToTC, TextVariantsCarryOnTheRoundedFrameText) {
  // F = 24.5: its text "25" reaches the rate, so both text variants carry.
  EXPECT_EQ(FormatTC(SecondsToTC(10.98, "25.000 ND", kBwfStartTC)), "00:00:11:00");
  EXPECT_EQ(FormatTC(SecondsToTC(10.98, "25.000 ND", kUserSetStartTC)), "00:00:11:00");
  // F = 24.25 stays: the broadcast-wave variant keeps the fraction, the user-set one its text.
  const TCFields bwf = SecondsToTC(10.97, "25.000 ND", kBwfStartTC);
  const TCFields user = SecondsToTC(10.97, "25.000 ND", kUserSetStartTC);
  EXPECT_NEAR(bwf.frames, 24.25, 1e-9);
  EXPECT_EQ(user.frames, 24);
  // At 29.97 a text of 30 is at least 29.9695 / 29.965: carry.
  EXPECT_EQ(FormatTC(SecondsToTC(1.99, "29.970 ND", kBwfStartTC)), "00:00:02:00");
}

TEST(SecondsToTC, FieldsComeFromTheFractionOfHours) {
  // Each value is checked against the formulas written out step by step: whole-number division
  // gives other fields for some of these.
  for (double t : {0.1, 1.0 / 3.0, 59.999999, 3599.9999999, 7199.96, 4000.04, 86399.99, 123456.789}) {
    const double h = std::floor(t / 3600);
    const double m = std::floor((t / 3600 - h) * 60);
    const double sExact = ((t / 3600 - h) * 60 - m) * 60;
    const double s = std::floor(sExact);
    const double f = (sExact - s) * 30;
    const TCFields fields = SecondsToTC(t, "30.000", kTimeOfDayStartTC);
    if (f < 29.95 && s <= 59 && m <= 59) {
      EXPECT_EQ(fields.hours, h) << t;
      EXPECT_EQ(fields.minutes, m) << t;
      EXPECT_EQ(fields.seconds, s) << t;
      EXPECT_DOUBLE_EQ(fields.frames, f) << t;
    }
  }
  // 0.1 h in floating point is just below a whole minute count: 360 s is 00:05:59 plus frames
  // near the rate, which the display carries into 00:06:00:00.
  EXPECT_EQ(Display(360, "30.000 ND"), "00:06:00:00");
}

TEST(FormatTC, RoundsHalvesAwayFromZeroAndKeepsSignAndDigits) {
  EXPECT_EQ(FormatTCField(2.5), "03");
  EXPECT_EQ(FormatTCField(2.49), "02");
  EXPECT_EQ(FormatTCField(0), "00");
  EXPECT_EQ(FormatTCField(-1), "-01");
  EXPECT_EQ(FormatTCField(-12), "-12");
  EXPECT_EQ(FormatTCField(100), "100");
  EXPECT_EQ(FormatTCField(12345), "12345");
  EXPECT_EQ(FormatTC({1, 2, 3, 4.5}), "01:02:03:05");
}

TEST(TCToSeconds, ReadsFourFieldsWithTheDivisor) {
  EXPECT_DOUBLE_EQ(TCToSeconds("01:02:03:12", 25), 3723 + 12.0 / 25);
  EXPECT_DOUBLE_EQ(TCToSeconds("10:00:00:00", 30), 36000);
  EXPECT_DOUBLE_EQ(TCToSeconds("01x02y03z15", 30), 3723.5);  // separators are not checked
  EXPECT_DOUBLE_EQ(TCToSeconds("ab:02:03:15", 30), 123.5);   // a non-digit field counts 0
  EXPECT_DOUBLE_EQ(TCToSeconds("01:02", 30), 3720);          // a short text reads what is there
  EXPECT_DOUBLE_EQ(TCToSeconds("", 30), 0);
}

TEST(TCToSeconds, RoundTripsThroughTheDisplayAtEveryRate) {
  for (const char* caption : {"30.000 ND", "25.000 ND", "24.000 ND", "29.970 DF", "23.976 DF"}) {
    const std::string text = "09:59:58:10";
    const double seconds = TCToSeconds(text, StartTCDivisor(caption));
    EXPECT_EQ(FormatTC(SecondsToTC(seconds, caption, kUserSetStartTC)), text) << caption;
  }
}

}  // namespace
}  // namespace timecode
