#pragma once
// The bookmark file beside a recording: the media path with its last three characters replaced
// by "BKM", thirteen lines of a number, one blank and a text. Lines 1 to 12 hold the bookmarks'
// positions and list entries, line 13 the user time code value and "User TC=" with the text
// of the time code entry box.

#include <array>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "atomic_file.h"

namespace quillmark {

struct BookmarkLine {
  double number = 0;
  std::string text;
};

// Lines 1..13 as read; a line is absent from the first one that could not be read onwards, so
// the window keeps its earlier values for those.
using BookmarkLines = std::array<std::optional<BookmarkLine>, 13>;

// "C:/rec/talk.wav" gives "C:/rec/talk.BKM"; "talk.flac" gives "talk.fBKM". Empty for a path
// of fewer than three characters.
std::string BookmarkFilePath(const std::string& mediaPath);

// One line: the leading number (leading blanks skipped, ending at a blank or comma), then the
// rest as text (leading blanks skipped, ending at a comma or the end of the line).
std::optional<BookmarkLine> ParseBookmarkLine(const std::string& line);

BookmarkLines ReadBookmarkFile(const std::filesystem::path& file);
// The same from any stream of the file's bytes.
BookmarkLines ReadBookmarks(std::istream& in);

// The file's text for `lines`: what WriteBookmarkFile writes.
std::string BookmarkText(const std::array<BookmarkLine, 13>& lines);

// Writes all thirteen lines at once; the old file stays whole when anything fails.
WriteResult WriteBookmarkFile(const std::filesystem::path& file,
                              const std::array<BookmarkLine, 13>& lines);

}  // namespace quillmark
