#include "envelope.h"

#include <algorithm>

namespace waveform {

Envelope::Envelope() = default;
Envelope::~Envelope() = default;

bool Envelope::Append(Pair pair) {
  if (written_ >= kMaxPairs) return false;
  std::unique_ptr<Pair[]>& block = blocks_[written_ / kBlockPairs];
  // A block is made before any pair in it is published, so readers never see it change.
  if (!block) block = std::make_unique<Pair[]>(kBlockPairs);
  block[written_ % kBlockPairs] = pair;
  ++written_;
  return true;
}

void Envelope::Publish() { published_.store(written_, std::memory_order_release); }

int Envelope::PeakOver(std::size_t first, std::size_t last) const {
  last = std::min(last, Size());
  int peak = 0;
  while (first < last) {
    const Pair* block = blocks_[first / kBlockPairs].get();
    const std::size_t end = std::min(last, (first / kBlockPairs + 1) * kBlockPairs);
    for (std::size_t i = first % kBlockPairs, n = i + (end - first); i < n; ++i) {
      peak = std::max(peak, block[i].Peak());
    }
    first = end;
  }
  return peak;
}

std::size_t Envelope::MemoryBytes() const {
  const std::size_t blocks = (Size() + kBlockPairs - 1) / kBlockPairs;
  return blocks * kBlockPairs * sizeof(Pair);
}

}  // namespace waveform
