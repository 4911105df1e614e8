#pragma once
// Writes real media files for the reader tests: RIFF files chunk by chunk, and raw bytes.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace timecode::testing {

using Bytes = std::vector<std::uint8_t>;

inline void PutLE32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  if (bytes.size() < at + 4) bytes.resize(at + 4);
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PutText(Bytes& bytes, std::size_t at, std::string_view text) {
  if (bytes.size() < at + text.size()) bytes.resize(at + text.size());
  for (std::size_t i = 0; i < text.size(); ++i) bytes[at + i] = static_cast<std::uint8_t>(text[i]);
}

// A RIFF file: "RIFF", the form size (patched on Bytes()), "WAVE", then the chunks added.
class RiffFile {
 public:
  RiffFile() {
    PutText(bytes_, 0, "RIFF");
    PutText(bytes_, 8, "WAVE");
  }

  // Adds a chunk with `data` and, for an odd size, the pad byte; returns its header position.
  std::size_t Chunk(std::string_view id, const Bytes& data) {
    return ChunkWithSize(id, static_cast<std::uint32_t>(data.size()), data);
  }
  std::size_t ChunkWithSize(std::string_view id, std::uint32_t size, const Bytes& data) {
    const std::size_t pos = bytes_.size();
    PutText(bytes_, pos, id);
    PutLE32(bytes_, pos + 4, size);
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    if (data.size() % 2) bytes_.push_back(0);
    return pos;
  }
  Bytes Build() const {
    Bytes bytes = bytes_;
    PutLE32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8));
    return bytes;
  }

 private:
  Bytes bytes_;
};

// A "bext" chunk's data: description, origination date and time, and the time reference.
inline Bytes BextData(std::string_view description, std::uint64_t timeReference,
                      std::size_t size = 602) {
  Bytes data(size, 0);
  PutText(data, 0, description);
  PutText(data, 320, "2026-12-07");
  PutText(data, 330, "10:30:15");
  PutLE32(data, 338, static_cast<std::uint32_t>(timeReference));
  PutLE32(data, 342, static_cast<std::uint32_t>(timeReference >> 32));
  data.resize(size);
  return data;
}

inline Bytes FmtData(std::uint32_t samplesPerSecond, std::size_t size = 16) {
  Bytes data(size, 0);
  PutLE32(data, 0, 0x00020001);  // PCM, two channels
  PutLE32(data, 4, samplesPerSecond);
  data.resize(size);
  return data;
}

// A folder of its own under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "readers-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::filesystem::path Write(std::string_view name, const Bytes& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace timecode::testing

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace timecode::testing {

// Sets the file's modified time to the given local date and time.
inline void SetModifiedLocalTime(const std::filesystem::path& path, int year, int month, int day,
                                 int hour, int minute, int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace timecode::testing
