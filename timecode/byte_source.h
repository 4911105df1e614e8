#pragma once
// Bounded reads of a media file by byte position.
//
// The readers read a few small blocks from known offsets (chunk headers, the "bext" and "fmt "
// chunks, the 128-byte tag area) and never the audio data. Bytes past the end of the file read as
// zero, so a truncated or hostile file cannot make a reader read out of bounds: a reader only
// ever sees the bytes it asked for, padded with zeros.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

namespace timecode {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // False when the file could not be opened; such a source has length 0 and reads zeros.
  virtual bool IsOpen() const = 0;
  virtual std::uint64_t Length() const = 0;
  // Fills `out` with the bytes at `offset`; whatever lies past the end of the file reads as zero.
  virtual void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

// A file on disk, opened read-only for the lifetime of the object. Small reads are served from
// one block of kBlockSize bytes read on demand, so the headers near the start of a file, which
// the readers visit in turn, cost one read.
class FileBytes final : public ByteSource {
 public:
  explicit FileBytes(const std::filesystem::path& path);
  ~FileBytes() override;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  bool IsOpen() const override { return fd_ >= 0; }
  std::uint64_t Length() const override { return length_; }
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

  static constexpr std::size_t kBlockSize = 4096;

 private:
  void ReadFromFile(std::uint64_t offset, std::span<std::uint8_t> out) const;

  int fd_ = -1;
  std::uint64_t length_ = 0;
  mutable std::array<std::uint8_t, kBlockSize> block_{};
  mutable std::uint64_t blockStart_ = 0;
  mutable bool blockValid_ = false;
};

// Bytes already in memory (the fuzz targets feed the readers this way).
class MemoryBytes final : public ByteSource {
 public:
  explicit MemoryBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool IsOpen() const override { return true; }
  std::uint64_t Length() const override { return bytes_.size(); }
  void ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

 private:
  std::span<const std::uint8_t> bytes_;
};

// Little-endian unsigned 32-bit value at `at` of `bytes`.
std::uint32_t ReadLE32(std::span<const std::uint8_t> bytes, std::size_t at);

}  // namespace timecode
