#include "reader_text.h"

namespace timecode {

std::string BytesAsCharacters(std::span<const std::uint8_t> bytes) {
  std::string text(bytes.size(), ' ');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != 0) text[i] = static_cast<char>(bytes[i]);
  }
  return text;
}

std::string CharactersToUtf8(std::string_view characters) {
  std::string utf8;
  utf8.reserve(characters.size());
  for (const char c : characters) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

std::string_view Characters(std::string_view text, std::size_t start, std::size_t count) {
  if (start >= text.size()) return {};
  return text.substr(start, count);
}

}  // namespace timecode
