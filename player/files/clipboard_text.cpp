#include "clipboard_text.h"

namespace quillmark {

std::string ClipboardText(std::string_view displayed, int formatIndex) {
  std::string_view prefix;
  std::string_view suffix = " ";
  std::string_view code = displayed;
  if (formatIndex >= 3) code = displayed.substr(0, 8);  // "HH:MM:SS"
  switch (formatIndex) {
    case 1:
    case 4:
      suffix = "\t";
      break;
    case 2:
    case 5:
      suffix = "\r\n\r\n";
      break;
    case 6:
      prefix = "[";
      suffix = "]\t";
      break;
    case 7:
      prefix = "[";
      suffix = "]\r\n";
      break;
    default:
      break;
  }
  std::string text;
  text.reserve(prefix.size() + code.size() + suffix.size());
  text.append(prefix).append(code).append(suffix);
  return text;
}

}  // namespace quillmark
