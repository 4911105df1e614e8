#pragma once
// A recording's waveform as the position bar draws it: for every hundredth of a second the
// lowest and the highest sample over all of its channels, on a 16-bit scale. Drawn mirrored about
// the middle, the larger magnitude of the two is the loudest any channel was in that time.
//
// One decoding thread appends while the window draws what has arrived so far, with no lock
// between them: pairs go into blocks that never move once made, and the count the reader sees is
// published only after the pairs it covers are written.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace waveform {

inline constexpr int kPairsPerSecond = 100;

struct Pair {
  int16_t low = 0;
  int16_t high = 0;
  // How far the pair reaches from the middle, 0 to 32768.
  int Peak() const { return high > -low ? high : -low; }
  bool operator==(const Pair&) const = default;
};

class Envelope {
 public:
  // A block holds about eleven minutes; the blocks together about a hundred hours. A longer
  // recording has its first hundred hours drawn.
  static constexpr std::size_t kBlockPairs = std::size_t{1} << 16;
  static constexpr std::size_t kMaxBlocks = 550;
  static constexpr std::size_t kMaxPairs = kBlockPairs * kMaxBlocks;

  Envelope();
  ~Envelope();
  Envelope(const Envelope&) = delete;
  Envelope& operator=(const Envelope&) = delete;

  // ---- The one writer ----
  // Adds a pair after the last; false when the envelope is full.
  bool Append(Pair pair);
  // Makes every pair appended so far visible to readers.
  void Publish();

  // ---- Readers, on any thread ----
  // Pairs published so far; At(i) for every i below it.
  std::size_t Size() const { return published_.load(std::memory_order_acquire); }
  Pair At(std::size_t i) const { return blocks_[i / kBlockPairs][i % kBlockPairs]; }
  // The largest peak over pairs [first, last), clipped to what is published; 0 when empty.
  int PeakOver(std::size_t first, std::size_t last) const;
  // The heap the pairs take, in bytes.
  std::size_t MemoryBytes() const;

 private:
  std::array<std::unique_ptr<Pair[]>, kMaxBlocks> blocks_;
  std::size_t written_ = 0;  // writer's own count
  std::atomic<std::size_t> published_{0};
};

}  // namespace waveform
