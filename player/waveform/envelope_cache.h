#pragma once
// Envelopes already computed, kept on disk so that a recording opened again shows its whole
// waveform at once. One file per recording, named by a hash of the recording's path, size and
// modification time, which the file also holds in full: a recording changed since is a miss, and
// so is any cache file that is cut short, altered or not one of ours.
//
// Files are replaced atomically; after each write the oldest files (by last use) go until the
// folder's files are within the size limit.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "envelope.h"

namespace waveform {

// What identifies one state of a recording's file.
struct RecordingKey {
  std::string path;  // absolute
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const RecordingKey&) const = default;
};

// The key of `file` as it is now; nothing when it cannot be read.
std::optional<RecordingKey> KeyOf(const std::filesystem::path& file);

class EnvelopeCache {
 public:
  static constexpr std::uint64_t kDefaultLimitBytes = 64ull << 20;  // about 44 hours of sound

  explicit EnvelopeCache(std::filesystem::path folder, std::uint64_t limitBytes = kDefaultLimitBytes);

  // The cached envelope of `key` appended to `out` (which must be empty) and published; false,
  // with `out` untouched, on a miss. A hit counts as a use of the file.
  bool Load(const RecordingKey& key, Envelope& out) const;
  // Stores `envelope` for `key`, then trims the folder to the limit. False when it could not be
  // written; the cache is only ever a help, so callers may ignore it.
  bool Store(const RecordingKey& key, const Envelope& envelope) const;

  // The file that holds `key`'s envelope.
  std::filesystem::path FileFor(const RecordingKey& key) const;

 private:
  void Trim() const;

  std::filesystem::path folder_;
  std::uint64_t limitBytes_;
};

}  // namespace waveform
