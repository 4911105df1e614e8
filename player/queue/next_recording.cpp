#include "next_recording.h"

#include <fnmatch.h>

#include <algorithm>
#include <system_error>

#include "natural_order.h"

namespace quillmark {

std::vector<std::string> FirstFilterPatterns(std::string_view filter) {
  const std::size_t bar = filter.find('|');
  if (bar == std::string_view::npos) return {};
  std::string_view list = filter.substr(bar + 1);
  list = list.substr(0, list.find('|'));
  std::vector<std::string> patterns;
  while (!list.empty()) {
    const std::size_t end = std::min(list.find(';'), list.size());
    std::string_view pattern = list.substr(0, end);
    while (!pattern.empty() && pattern.front() == ' ') pattern.remove_prefix(1);
    while (!pattern.empty() && pattern.back() == ' ') pattern.remove_suffix(1);
    if (!pattern.empty()) patterns.emplace_back(pattern);
    list.remove_prefix(std::min(end + 1, list.size()));
  }
  return patterns;
}

bool MatchesAnyPattern(const std::string& name, const std::vector<std::string>& patterns) {
  for (const std::string& pattern : patterns) {
    if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0) return true;
  }
  return false;
}

std::optional<std::filesystem::path> NextRecording(const std::filesystem::path& folder,
                                                   const std::vector<std::string>& patterns,
                                                   const std::string& skipName) {
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return std::nullopt;
  std::optional<std::string> first;
  for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    if (error) return std::nullopt;
    const std::string name = entries->path().filename().string();
    if (name.empty() || name.front() == '.' || name == skipName) continue;
    if (!MatchesAnyPattern(name, patterns)) continue;
    std::error_code ignored;
    if (!entries->is_regular_file(ignored)) continue;  // a link to a file counts as the file
    if (!first || NaturalLess(name, *first)) first = name;
  }
  if (!first) return std::nullopt;
  return folder / *first;
}

}  // namespace quillmark
