#pragma once
// Makes the COM task allocator fail every request of one size while in scope, through the
// runtime's own malloc spy hook.
#include <windows.h>
#include <objidl.h>

namespace brevin::test {

class AllocationFailure {
 public:
  explicit AllocationFailure(SIZE_T failingSize);
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

  bool Active() const { return registered_; }
  int Refused() const;

 private:
  bool registered_ = false;
};

}  // namespace brevin::test
