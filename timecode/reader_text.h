#pragma once
// Texts the file readers take from file bytes and the diagnostic text they write.
//
// Every text a reader returns (captions, diagnostic lines) is file characters, one byte to one
// character, as the file holds them; show them as Latin-1 (QString::fromLatin1), and pass
// captions in the same way (QString::toLatin1).

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

// `count` characters of `text` from 0-based `start`, fewer at the end, none past it.
std::string_view Characters(std::string_view text, std::size_t start, std::size_t count);

}  // namespace timecode
