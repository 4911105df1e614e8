#pragma once
// Recordings whose waveform is known: 16-bit WAV files written sample by sample, and the same
// sound in other formats through sox.

#include <QString>
#include <cstdint>
#include <functional>

namespace made_signals {

// A 16-bit PCM WAV file of `seconds`; `sample(i, channel)` gives sample i of each channel.
bool WriteWave(const QString& path, int rate, int channels, double seconds,
               const std::function<int16_t(int64_t, int)>& sample);

// Silence with a full-scale square wave on the last channel only, from `from` to `to` seconds.
bool WriteBurst(const QString& path, int rate, int channels, double seconds, double from,
                double to);

// `from` written again as `to`, in the format its extension names (sox).
bool Convert(const QString& from, const QString& to);

}  // namespace made_signals
