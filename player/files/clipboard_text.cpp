#include "clipboard_text.h"

namespace quillmark {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Two digits and a colon, `fields` times over, the last without its colon.
bool FieldsAt(std::string_view text, size_t at, int fields) {
  const size_t length = static_cast<size_t>(fields) * 3 - 1;
  if (at + length > text.size()) return false;
  for (size_t i = 0; i < length; ++i) {
    const char c = text[at + i];
    if (i % 3 == 2 ? c != ':' : !IsDigit(c)) return false;
  }
  return true;
}

bool StandsAlone(std::string_view text, size_t at, size_t length) {
  const auto joins = [](char c) { return IsDigit(c) || c == ':'; };
  if (at > 0 && joins(text[at - 1])) return false;
  return at + length >= text.size() || !joins(text[at + length]);
}

}  // namespace

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

std::optional<std::string> FindClipboardTimeCode(std::string_view text) {
  for (size_t at = 0; at + 8 <= text.size(); ++at) {
    if (FieldsAt(text, at, 4) && StandsAlone(text, at, 11)) return std::string(text.substr(at, 11));
    if (FieldsAt(text, at, 3) && StandsAlone(text, at, 8)) {
      return std::string(text.substr(at, 8)) + ":00";
    }
  }
  return std::nullopt;
}

}  // namespace quillmark
