#pragma once
// Reading a text file a line at a time with a bound on a line's length, so that a large file that
// merely has the right name is never taken in whole.

#include <cstddef>
#include <istream>
#include <string>

namespace quillmark {

enum class LineRead {
  Line,     // a whole line (the last one may lack its LF)
  TooLong,  // `limit` characters came without the line's end; the reader should stop there
  End,      // nothing was left
};

// The next line into `line`, without its LF (a CR before it stays).
LineRead ReadBoundedLine(std::istream& in, std::string& line, std::size_t limit);

}  // namespace quillmark
