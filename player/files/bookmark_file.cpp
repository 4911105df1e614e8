#include "bookmark_file.h"

#include <charconv>
#include <fstream>

#include "bounded_line.h"
#include "number_text.h"

namespace quillmark {

std::string BookmarkFilePath(const std::string& mediaPath) {
  if (mediaPath.size() < 3) return {};
  return mediaPath.substr(0, mediaPath.size() - 3) + "BKM";
}

std::optional<BookmarkLine> ParseBookmarkLine(const std::string& raw) {
  std::string_view line = raw;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const auto skipBlanks = [&] {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  };
  skipBlanks();
  const std::size_t numberEnd = std::min(line.find_first_of(" ,"), line.size());
  std::string_view number = line.substr(0, numberEnd);
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  BookmarkLine parsed;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(),
                                            parsed.number);
  if (number.empty() || error != std::errc() || end != number.data() + number.size()) return {};

  line.remove_prefix(numberEnd);
  if (!line.empty() && line.front() == ',') line.remove_prefix(1);
  skipBlanks();
  parsed.text = std::string(line.substr(0, std::min(line.find(','), line.size())));
  return parsed;
}

namespace {

// No bookmark line comes near this length. A longer one ends the reading, so a large file that
// merely has a bookmark file's name is never taken in whole.
constexpr std::size_t kMaxLineLength = 4096;

}  // namespace

BookmarkLines ReadBookmarkFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return ReadBookmarks(in);
}

BookmarkLines ReadBookmarks(std::istream& in) {
  BookmarkLines lines;
  std::string raw;
  for (auto& line : lines) {
    if (ReadBoundedLine(in, raw, kMaxLineLength) != LineRead::Line) break;
    line = ParseBookmarkLine(raw);
    if (!line) break;
  }
  return lines;
}

std::string BookmarkText(const std::array<BookmarkLine, 13>& lines) {
  std::string out;
  for (const BookmarkLine& line : lines) {
    out += timecode::NumberText(line.number);
    out += ' ';
    out += line.text;
    out += "\r\n";
  }
  return out;
}

WriteResult WriteBookmarkFile(const std::filesystem::path& file,
                              const std::array<BookmarkLine, 13>& lines) {
  return WriteFileAtomically(file, BookmarkText(lines));
}

}  // namespace quillmark
