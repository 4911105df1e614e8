#pragma once
// A folder nobody may write to, even when the tests run as root: the folder is made read-only,
// and while a `WithoutRootPrivileges` scope lives the process's effective user is "nobody", so
// the permission check really applies.

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace testing_support {

class WithoutRootPrivileges {
 public:
  WithoutRootPrivileges() : wasRoot_(::geteuid() == 0) {
    if (wasRoot_ && ::seteuid(65534) != 0) wasRoot_ = false;
  }
  ~WithoutRootPrivileges() {
    if (wasRoot_) [[maybe_unused]] int ignored = ::seteuid(0);
  }
  WithoutRootPrivileges(const WithoutRootPrivileges&) = delete;
  WithoutRootPrivileges& operator=(const WithoutRootPrivileges&) = delete;

 private:
  bool wasRoot_;
};

inline void MakeReadOnly(const std::filesystem::path& folder) {
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec |
                                           std::filesystem::perms::others_read |
                                           std::filesystem::perms::others_exec);
}

}  // namespace testing_support
