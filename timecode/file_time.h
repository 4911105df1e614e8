#pragma once
// A file's last-modified date and time in local time, and the texts the readers make of it.

#include <filesystem>
#include <optional>
#include <string>

namespace timecode {

struct LocalDateTime {
  int year = 0;
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
};

// The last-modified time of the file in the machine's local time zone; nothing when the file
// cannot be examined.
std::optional<LocalDateTime> FileModifiedLocalTime(const std::filesystem::path& path);

// "YYYY-MM-DD/HH:MM:SS" (the form the MP3 tag reader writes into FDT).
std::string DateSlashTimeText(const LocalDateTime& t);

// "YYYY-MM-DD HH:MM:SS" (the short date and time shown by the time-of-day reader).
std::string ShortDateTimeText(const LocalDateTime& t);

// "HH:MM:SS:00": the time of day as a time code with frames 00.
std::string TimeOfDayText(const LocalDateTime& t);

}  // namespace timecode
