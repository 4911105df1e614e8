// The display tick allocates nothing of its own: counted through the sanitizer's allocation
// hooks, so this runs in the sanitizer build that scripts/test makes.

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <array>

#include "envelope_job.h"
#include "support/form_fixture.h"
#include "support/wait.h"
#include "waveform/made_signals.h"
#include "waveform_strip.h"

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

// With the recording's envelope complete, the position bar adds nothing per tick either: not
// when the tick moves its line, and not when it is drawn 1600 pixels wide.
TEST_F(DisplayTickAllocations, ThePositionBarAllocatesNothingPerTick) {
#ifndef QUILLMARK_COUNTS_ALLOCATIONS
  GTEST_SKIP() << "allocations are counted in the sanitizer build only";
#else
  ASSERT_TRUE(made_signals::WriteBurst(Path("talk.wav"), 8000, 2, 30.0, 10, 12));
  player.durationSeconds = 30;
  Open(Path("talk.wav"));
  form->BookmarkPos[3] = 5;
  form->BookmarkPos[12] = 25;
  ASSERT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
  form->Waveform->resize(1600, 38);
  QImage image(1600, 38, QImage::Format_RGB32);
  QPainter painter(&image);
  form->Timer1_Timer();  // the bar takes the whole envelope
  form->Waveform->Draw(painter);  // its numbered marks are made once

  __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  // The bar alone: its line moves every tick and it is drawn every time.
  WaveformStrip::Bookmarks marks{};
  marks[2] = 5;
  EXPECT_EQ(AllocationsDuring([&] {
              for (int i = 0; i < 200; ++i) {
                form->Waveform->Tick(30, 2 + i * 0.06, marks);
                form->Waveform->Draw(painter);
              }
            }),
            0);
  // The whole tick: the same ticks cost no more with the bar than without it (what they cost is
  // Qt's own bookkeeping of the time code labels' changes).
  const auto ticks = [&] {
    player.position = 1.94;  // both runs start from the same display
    form->Timer1_Timer();
    return AllocationsDuring([&] {
      for (int i = 0; i < 200; ++i) {
        player.position = 2 + i * 0.06;
        form->Timer1_Timer();
        if (form->ShowWaveform->isChecked()) form->Waveform->Draw(painter);
      }
    });
  };
  form->ShowWaveform->setChecked(false);
  const long withoutBar = ticks();
  form->ShowWaveform->setChecked(true);  // computed again, whole before the ticks
  ASSERT_TRUE(WaitUntil([] { return waveform::EnvelopeJob::Running() == 0; }, 30000));
  form->Timer1_Timer();
  form->Waveform->Draw(painter);
  const long withBar = ticks();
  __sanitizer_install_malloc_and_free_hooks(nullptr, nullptr);
  EXPECT_LE(withBar, withoutBar);
  EXPECT_EQ(image.pixel(0, 0) & 0xffffff, waveform_colours::kBackground);
#endif
}

}  // namespace
