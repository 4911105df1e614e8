#pragma once
// Where each recording was left off, kept in one small text file in the user's state folder so
// that a recording opened again (in this run or a later one) carries on from there.
//
// A recording is known by its path, size and modification time: a file replaced under the same
// name is a new recording and starts at its start. The file holds one line per recording, the
// one used last at the end, at most kRememberedRecordings of them; the oldest are forgotten.
// Reading skips any line it cannot make sense of, so a damaged file loses only those lines.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "atomic_file.h"

namespace quillmark {

inline constexpr std::size_t kRememberedRecordings = 1000;
// A position this close to the start or the end is not worth carrying on from.
inline constexpr double kResumeMargin = 5.0;
inline constexpr const char* kResumeFileName = "positions";

struct RecordingIdentity {
  std::string path;        // absolute
  std::uintmax_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since the epoch
  bool operator==(const RecordingIdentity&) const = default;
};

// The absolute path a recording is known by (not resolving links, which may not exist any more).
std::string RecordingPath(const std::filesystem::path& path);

// The identity of the file at `path` as it is now; none when it cannot be examined.
std::optional<RecordingIdentity> IdentifyRecording(const std::filesystem::path& path);

// True when a place `position` seconds into a recording `duration` long lies more than
// kResumeMargin from both its ends.
bool WorthResuming(double position, double duration);

struct LeftOff {
  RecordingIdentity recording;
  double position = 0;  // seconds from the first frame
  double duration = 0;  // the recording's length then, in seconds
};

class ResumePositions {
 public:
  // The positions kept in `file`; none when it is missing or cannot be read.
  static ResumePositions ReadFile(const std::filesystem::path& file);
  static ResumePositions Read(std::istream& in);

  // The file's text, and the file replaced with it whole or not at all (its folder is made when
  // missing).
  std::string Text() const;
  WriteResult WriteFile(const std::filesystem::path& file) const;

  // Where `recording` was left off, when it is the same file as then and that place lies more
  // than kResumeMargin from both its start and its end.
  std::optional<double> ResumeAt(const RecordingIdentity& recording) const;

  // Keeps `position` for `recording` as the most recent entry, in place of any other for its
  // path; beyond kRememberedRecordings the oldest is forgotten. False when nothing changed: the
  // newest entry already held just that.
  bool Remember(const RecordingIdentity& recording, double position, double duration);
  // Forgets the recording that was at `recording` (one moved away, finished); false when it was
  // not kept.
  bool Forget(const std::filesystem::path& recording);

  const std::vector<LeftOff>& entries() const { return entries_; }

 private:
  std::vector<LeftOff> entries_;  // oldest first
};

}  // namespace quillmark
