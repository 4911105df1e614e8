#include "bounded_line.h"

namespace quillmark {

LineRead ReadBoundedLine(std::istream& in, std::string& line, std::size_t limit) {
  line.clear();
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    if (c == '\n') return LineRead::Line;
    if (line.size() == limit) return LineRead::TooLong;
    line.push_back(static_cast<char>(c));
  }
  return line.empty() ? LineRead::End : LineRead::Line;
}

}  // namespace quillmark
