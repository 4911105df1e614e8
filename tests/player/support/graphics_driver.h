#pragma once
// The system's OpenGL driver keeps a few small allocations to the end of the process, and is
// unloaded before the leak check runs, which then cannot name it. Kept loaded, it can be named,
// and tests/lsan.supp leaves its allocations out.

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace testing_support {

inline void KeepGraphicsDriverLoaded() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so")) {
          // Only marks the loaded driver as never to be unloaded; loads nothing.
          dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
}

}  // namespace testing_support
