#include "natural_order.h"

namespace quillmark {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// ASCII letters folded to lower case; other bytes (UTF-8 sequences among them) as they are.
unsigned char Folded(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

std::string_view DigitRun(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return text.substr(from, end - from);
}

// Compares two runs of digits by value, however long they are.
int CompareNumbers(std::string_view a, std::string_view b) {
  while (a.size() > 1 && a.front() == '0') a.remove_prefix(1);
  while (b.size() > 1 && b.front() == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const std::string_view x = DigitRun(a, i), y = DigitRun(b, j);
      if (const int order = CompareNumbers(x, y); order != 0) return order < 0;
      i += x.size();
      j += y.size();
      continue;
    }
    const unsigned char x = Folded(a[i]), y = Folded(b[j]);
    if (x != y) return x < y;
    ++i;
    ++j;
  }
  if ((a.size() - i) != (b.size() - j)) return (a.size() - i) < (b.size() - j);
  // Equal to a person: the bytes decide.
  return a < b;
}

}  // namespace quillmark
