#pragma once
// Texts the file readers take from file bytes and the diagnostic text they write.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace timecode {

// The line break the readers write into the diagnostic text box.
inline constexpr std::string_view kDebugLineBreak = "\n";

// File bytes as characters, one byte to one character: a zero byte becomes a blank. The result
// keeps one byte per character, so character positions are byte positions.
std::string BytesAsCharacters(std::span<const std::uint8_t> bytes);

// A text of file characters (one byte each, as above) as UTF-8 for a caption or the diagnostic
// box: bytes 0x80..0xFF are taken as Latin-1, so the result is always valid UTF-8.
std::string CharactersToUtf8(std::string_view characters);

// `count` characters of `text` from 0-based `start`, fewer at the end, none past it.
std::string_view Characters(std::string_view text, std::size_t start, std::size_t count);

}  // namespace timecode
