#include "extensible_format.h"

#include <cstdint>
#include <cstring>

namespace brevin {

WAVEFORMATEXTENSIBLE ExtensibleFormatFor(const BYTE* plainFormat) {
  WAVEFORMATEX plain;
  std::memcpy(&plain, plainFormat, sizeof plain);
  const uint32_t channels = plain.nChannels;
  const uint32_t rate = plain.nSamplesPerSec;
  const uint32_t bits = plain.wBitsPerSample;

  WAVEFORMATEXTENSIBLE extensible;
  std::memset(&extensible, 0, sizeof extensible);
  extensible.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
  extensible.Format.nChannels = plain.nChannels;
  extensible.Format.nSamplesPerSec = plain.nSamplesPerSec;
  // Wraps modulo 2^32 before the shift, as the byte rate field holds 32 bits.
  extensible.Format.nAvgBytesPerSec = static_cast<uint32_t>(bits * rate * channels) >> 3;
  extensible.Format.nBlockAlign = static_cast<WORD>((channels * bits) / 8);
  extensible.Format.wBitsPerSample = plain.wBitsPerSample;
  extensible.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
  extensible.Samples.wValidBitsPerSample = plain.wBitsPerSample;
  extensible.dwChannelMask = (uint32_t{1} << (channels % 32)) - 1;
  extensible.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
  return extensible;
}

}  // namespace brevin
