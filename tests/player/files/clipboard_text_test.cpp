// Finding a time code inside other text, in every format the clipboard copy writes.

#include <gtest/gtest.h>

#include "clipboard_text.h"

namespace {

using quillmark::ClipboardText;
using quillmark::FindClipboardTimeCode;

TEST(FindClipboardTimeCode, FindsEveryCopiedFormatInsideOtherText) {
  for (int format = -1; format < 8; ++format) {
    const std::string text =
        "Q. Where?\r\n" + ClipboardText("12:34:56:07", format) + "A. 10:00 at the office.";
    EXPECT_EQ(FindClipboardTimeCode(text), format < 3 ? "12:34:56:07" : "12:34:56:00")
        << "format " << format;
  }
  EXPECT_EQ(FindClipboardTimeCode("01:02:03:04"), "01:02:03:04") << "alone, at both ends";
  EXPECT_EQ(FindClipboardTimeCode("(01:02:03)"), "01:02:03:00");
  EXPECT_EQ(FindClipboardTimeCode("x 1:02:03 then 11:22:33:44 y"), "11:22:33:44")
      << "the first one that stands alone";
}

TEST(FindClipboardTimeCode, LeavesTimesAndLongerRunsAlone) {
  for (const char* text : {"", "12:30", "at 9:30:15", "01:02:03:04:05", "101:02:03", "01:02:034",
                           "01:02:03:4", "0a:02:03", "01;02;03;04", "01:02:03:"}) {
    EXPECT_EQ(FindClipboardTimeCode(text), std::nullopt) << text;
  }
}

}  // namespace
