#pragma once
// The text the time code goes to the clipboard as, by the index of the chosen format.

#include <string>
#include <string_view>

namespace quillmark {

// displayed: the display's "HH:MM:SS:FF". formatIndex: 0..7 as listed in `TCFormat`, -1 for none.
std::string ClipboardText(std::string_view displayed, int formatIndex);

}  // namespace quillmark
