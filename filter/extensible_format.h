#pragma once
// The extensible wave format that describes the same PCM audio as a plain wave format block.
#include <windows.h>
#include <mmreg.h>
#include <ks.h>
#include <ksmedia.h>

namespace brevin {

// Reads channels, rate and bit depth from a plain wave format block (at least
// sizeof(WAVEFORMATEX) bytes) and builds the 40-byte extensible block: byte rate and block align
// recomputed in unsigned 32-bit arithmetic, all channels of the low bits in the channel mask,
// the PCM sub-format.
WAVEFORMATEXTENSIBLE ExtensibleFormatFor(const BYTE* plainFormat);

}  // namespace brevin
