#pragma once
// A Win32 critical section owned by its object, usable with std::lock_guard for scoped locking.
#include <windows.h>

#include <mutex>

namespace brevin {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void lock() { EnterCriticalSection(&section_); }
  void unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

// Holds the section for the extent of a scope; the section is re-entrant on its thread.
using ScopedLock = std::lock_guard<CriticalSection>;

}  // namespace brevin
