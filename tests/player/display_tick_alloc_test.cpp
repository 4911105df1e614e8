// The display tick allocates nothing of its own: counted through the sanitizer's allocation
// hooks, so this runs in the sanitizer build that scripts/test makes.

#include <QLabel>
#include <array>

#include "support/form_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface (GCC ships the runtime, not the header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(
    void (*mallocHook)(const volatile void*, size_t), void (*freeHook)(const volatile void*));
#define QUILLMARK_COUNTS_ALLOCATIONS 1
#endif

namespace {

#ifdef QUILLMARK_COUNTS_ALLOCATIONS
thread_local bool counting = false;
thread_local long allocations = 0;

void OnMalloc(const volatile void*, size_t) {
  if (counting) ++allocations;
}
void OnFree(const volatile void*) {}

// Allocations made on this thread while `work` runs.
template <typename Work>
long AllocationsDuring(Work work) {
  allocations = 0;
  counting = true;
  work();
  counting = false;
  return allocations;
}
#endif

using DisplayTickAllocations = FormTest;

TEST_F(DisplayTickAllocations, TicksAllocateNothing) {
#ifndef QUILLMARK_COUNTS_ALLOCATIONS
  GTEST_SKIP() << "allocations are counted in the sanitizer build only";
#else
  __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  form->Framerate->setText("29.970 ND");
  form->TCOffset = 36000;
  player.position = 12.34;
  form->Timer1_Timer();  // the two-digit texts are made once, on the first tick

  // Paused: nothing on the display changes.
  EXPECT_EQ(AllocationsDuring([&] {
              for (int i = 0; i < 200; ++i) form->Timer1_Timer();
            }),
            0);

  // Playing: every field runs through its values, the hour included. A label whose text
  // changes costs what Qt's own setText bookkeeping allocates (its accessibility cache), at most
  // one block per change; the tick itself adds nothing.
  player.position = 3590;
  const std::array<QLabel*, 4> fields{form->TCHour, form->TCMin, form->TCSecond, form->TCFrame};
  std::array<QString, 4> shown;
  long changes = 0;
  const long allocated = AllocationsDuring([&] {
    for (int i = 0; i < 400; ++i) {
      for (size_t f = 0; f < fields.size(); ++f) shown[f] = fields[f]->text();
      player.position += 0.06;
      form->Timer1_Timer();
      for (size_t f = 0; f < fields.size(); ++f) changes += shown[f] != fields[f]->text();
    }
  });
  EXPECT_GT(changes, 400);
  EXPECT_LE(allocated, changes);
  EXPECT_EQ(form->TCHour->text(), "11");
  __sanitizer_install_malloc_and_free_hooks(nullptr, nullptr);
#endif
}

}  // namespace
