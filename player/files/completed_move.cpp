#include "completed_move.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillmark {
namespace fs = std::filesystem;

fs::path CompletedFolderOf(const fs::path& media) {
  std::error_code error;
  const fs::path absolute = fs::absolute(media, error);
  return (error ? media : absolute).parent_path() / "Completed";
}

fs::path FreeNameIn(const fs::path& folder, const std::string& wanted) {
  const fs::path name(wanted);
  const std::string stem = name.stem().string();
  const std::string extension = name.extension().string();
  fs::path candidate = folder / wanted;
  std::error_code error;
  for (int n = 2; fs::exists(fs::symlink_status(candidate, error)); ++n) {
    candidate = folder / (stem + " (" + std::to_string(n) + ")" + extension);
  }
  return candidate;
}

namespace {

std::string Describe(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

// rename(2) that refuses to replace an existing file.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
#ifdef SYS_renameat2
  if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) ==
      0) {
    return 0;
  }
  if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
  // No RENAME_NOREPLACE here: a hard link fails on an existing name, then the old name goes.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

bool CopyFileContents(const fs::path& from, const fs::path& to, std::string& error) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    error = Describe("cannot read " + from.string(), errno);
    return false;
  }
  struct stat source {};
  ::fstat(in, &source);
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, source.st_mode & 0777);
  if (out < 0) {
    error = Describe("cannot create " + to.string(), errno);
    ::close(in);
    return false;
  }
  char buffer[1 << 16];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = Describe("cannot read " + from.string(), errno);
      ok = false;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(out, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        error = Describe("cannot write " + to.string(), errno);
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  if (ok && ::fsync(out) != 0) {
    error = Describe("cannot write " + to.string(), errno);
    ok = false;
  }
  struct stat copied {};
  if (ok && (::fstat(out, &copied) != 0 || copied.st_size != source.st_size)) {
    error = "the copy of " + from.string() + " is incomplete";
    ok = false;
  }
  if (::close(out) != 0 && ok) {
    error = Describe("cannot write " + to.string(), errno);
    ok = false;
  }
  ::close(in);
  if (!ok) ::unlink(to.c_str());
  return ok;
}

}  // namespace

MoveOutcome MoveWithoutOverwriting(const fs::path& from, const fs::path& folder,
                                   const std::string& wantedName) {
  MoveOutcome outcome;
  // Another program may take the free name between the check and the rename; then try the next.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path destination = FreeNameIn(folder, wantedName);
    const int error = RenameNoReplace(from, destination);
    if (error == EEXIST) continue;
    if (error == EXDEV) {
      if (!CopyFileContents(from, destination, outcome.error)) return outcome;
      if (::unlink(from.c_str()) != 0) {
        // The original cannot go: take the copy back, so the file stays in one place only.
        outcome.error = Describe("cannot remove " + from.string(), errno);
        ::unlink(destination.c_str());
        return outcome;
      }
    } else if (error != 0) {
      outcome.error = Describe("cannot move " + from.string() + " to " + destination.string(),
                               error);
      return outcome;
    }
    outcome.moved = true;
    outcome.destination = destination;
    outcome.renamed = destination.filename() != wantedName;
    return outcome;
  }
  outcome.error = "no free name for " + wantedName + " in " + folder.string();
  return outcome;
}

}  // namespace quillmark
