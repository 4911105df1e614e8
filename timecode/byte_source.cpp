#include "byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace timecode {

FileBytes::FileBytes(const std::filesystem::path& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return;
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    // Directories, pipes and devices are not media files: a pipe would block a read.
    ::close(fd_);
    fd_ = -1;
    return;
  }
  length_ = static_cast<std::uint64_t>(info.st_size);
}

FileBytes::~FileBytes() {
  if (fd_ >= 0) ::close(fd_);
}

void FileBytes::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (out.size() > kBlockSize) return ReadFromFile(offset, out);
  const bool inBlock = blockValid_ && offset >= blockStart_ &&
                       offset - blockStart_ <= kBlockSize - out.size();
  if (!inBlock) {
    ReadFromFile(offset, block_);
    blockStart_ = offset;
    blockValid_ = true;
  }
  std::copy_n(block_.begin() + static_cast<std::ptrdiff_t>(offset - blockStart_), out.size(),
              out.begin());
}

void FileBytes::ReadFromFile(std::uint64_t offset, std::span<std::uint8_t> out) const {
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  if (fd_ < 0 || offset >= length_) return;
  std::size_t done = 0;
  while (done < out.size()) {
    const std::uint64_t at = offset + done;
    if (at > static_cast<std::uint64_t>(INT64_MAX)) return;
    const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // end of file or a read error: the rest stays zero
    done += static_cast<std::size_t>(n);
  }
}

void MemoryBytes::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  if (offset >= bytes_.size()) return;
  const std::size_t available = bytes_.size() - static_cast<std::size_t>(offset);
  const std::size_t count = std::min(available, out.size());
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
}

std::uint32_t ReadLE32(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
    value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  }
  return value;
}

}  // namespace timecode
