#pragma once
// The text the time code goes to the clipboard as, by the index of the chosen format; and the
// way back: a time code in any of those formats found inside other text.

#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

// displayed: the display's "HH:MM:SS:FF". formatIndex: 0..7 as listed in `TCFormat`, -1 for none.
std::string ClipboardText(std::string_view displayed, int formatIndex);

// The first time code in `text` written as "HH:MM:SS:FF" or "HH:MM:SS" (bracketed or not), as
// "HH:MM:SS:FF"; a short one gets frame 00. It must stand on its own: no digit or colon directly
// before or after it, so "12:30" or "1:02:03:04:05" are not taken for one.
std::optional<std::string> FindClipboardTimeCode(std::string_view text);

}  // namespace quillmark
