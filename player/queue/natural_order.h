#pragma once
// File names in the order a person expects: runs of digits compare by their value, so "talk 2"
// comes before "talk 10", and letters compare without regard to case.

#include <string_view>

namespace quillmark {

// True when `a` comes before `b`. Names that differ only in letter case or in leading zeros are
// still told apart (by their bytes), so the order is total and the same on every run.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace quillmark
