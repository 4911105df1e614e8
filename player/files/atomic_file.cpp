#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace quillmark {
namespace {

WriteResult FromErrno(int error) {
  return (error == EACCES || error == EPERM || error == EROFS) ? WriteResult::PermissionDenied
                                                                : WriteResult::Failed;
}

// The mode the new file gets: the old file's, or what the user's umask gives a new file.
mode_t TargetMode(const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

WriteResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
  std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX"));
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return FromErrno(errno);

  int error = 0;
  if (::fchmod(fd, TargetMode(target)) != 0 || !WriteAll(fd, content) || ::fsync(fd) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return FromErrno(error);
  }
  return WriteResult::Written;
}

WriteResult MakePrivateFolders(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder.lexically_normal();
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) {
    return S_ISDIR(existing.st_mode) ? WriteResult::Written : WriteResult::Failed;
  }
  if (errno != ENOENT) return FromErrno(errno);
  const std::filesystem::path parent = path.parent_path();
  if (!parent.empty() && parent != path) {
    const WriteResult made = MakePrivateFolders(parent);
    if (made != WriteResult::Written) return made;
  }
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return FromErrno(errno);
  return WriteResult::Written;
}

}  // namespace quillmark
