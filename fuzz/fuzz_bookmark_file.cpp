// Any bytes as a recording's bookmark file. Whatever is read must survive the rewrite that
// setting a bookmark makes: when all thirteen lines were read and each written line stays
// within the reader's line length, the text written reads back as the same numbers (to the
// fifteen digits they are written with) and the same texts.
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bookmark_file.h"

namespace {

bool SameNumber(double a, double b) {
  if (std::isnan(a)) return std::isnan(b);
  if (std::isinf(a)) return a == b;
  return std::fabs(a - b) <= 1e-14 * std::fabs(a);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const quillmark::BookmarkLines first = quillmark::ReadBookmarks(in);
  std::array<quillmark::BookmarkLine, 13> lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!first[i]) return 0;
    lines[i] = *first[i];
  }

  const std::string text = quillmark::BookmarkText(lines);
  std::istringstream lineByLine(text);
  for (std::string line; std::getline(lineByLine, line);) {
    if (line.size() >= 4096) return 0;
  }
  std::istringstream written(text);
  const quillmark::BookmarkLines second = quillmark::ReadBookmarks(written);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!second[i] || !SameNumber(lines[i].number, second[i]->number) ||
        second[i]->text != lines[i].text) {
      std::abort();
    }
  }
  return 0;
}
