#include "file_time.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

namespace timecode {

std::optional<LocalDateTime> FileModifiedLocalTime(const std::filesystem::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  std::tm local{};
  const std::time_t seconds = info.st_mtime;
  if (::localtime_r(&seconds, &local) == nullptr) return std::nullopt;
  return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

namespace {

std::string Format(const char* pattern, const LocalDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

}  // namespace

std::string DateSlashTimeText(const LocalDateTime& t) {
  return Format("%04d-%02d-%02d/%02d:%02d:%02d", t);
}

std::string ShortDateTimeText(const LocalDateTime& t) {
  return Format("%04d-%02d-%02d %02d:%02d:%02d", t);
}

std::string TimeOfDayText(const LocalDateTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d:00", t.hour, t.minute, t.second);
  return text;
}

}  // namespace timecode
