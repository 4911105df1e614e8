#include "reader_text.h"

namespace timecode {

std::string BytesAsCharacters(std::span<const std::uint8_t> bytes) {
  std::string text(bytes.size(), ' ');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != 0) text[i] = static_cast<char>(bytes[i]);
  }
  return text;
}

std::string_view Characters(std::string_view text, std::size_t start, std::size_t count) {
  if (start >= text.size()) return {};
  return text.substr(start, count);
}

}  // namespace timecode
