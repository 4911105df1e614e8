#pragma once
// Reference counting for the COM test doubles: heap objects that start with one reference and
// delete themselves when the last one goes.
#include <windows.h>
#include <wrl/client.h>

#include <atomic>
#include <utility>

namespace brevin::test {

class CountedDouble {
 public:
  LONG References() const { return references_; }

 protected:
  virtual ~CountedDouble() = default;
  ULONG AddReference() { return static_cast<ULONG>(++references_); }
  ULONG ReleaseReference() {
    const LONG count = --references_;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

 private:
  std::atomic<LONG> references_{1};
};

// Creates a double and hands its first reference to a ComPtr. (mingw-w64's ComPtr::Attach adds
// a reference of its own, so the pointer is stored directly.)
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> MakeDouble(Args&&... args) {
  Microsoft::WRL::ComPtr<T> made;
  *made.GetAddressOf() = new T(std::forward<Args>(args)...);
  return made;
}

}  // namespace brevin::test

#define BREVIN_COUNTED_DOUBLE                                                    \
  ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }           \
  ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(); }
