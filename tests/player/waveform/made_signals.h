#pragma once
// Recordings whose waveform is known: 16-bit WAV files written sample by sample, and the same
// sound in other formats through sox.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace made_signals {

// The 44 bytes before a 16-bit PCM WAV file's `dataBytes` of samples.
inline QByteArray WaveHeader(int rate, int channels, uint32_t dataBytes) {
  QByteArray head;
  const auto put = [&head](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) head.append(static_cast<char>(value >> (8 * i)));
  };
  head += "RIFF";
  put(36 + dataBytes, 4);
  head += "WAVEfmt ";
  put(16, 4);
  put(1, 2);
  put(channels, 2);
  put(rate, 4);
  put(rate * channels * 2, 4);
  put(channels * 2, 2);
  put(16, 2);
  head += "data";
  put(dataBytes, 4);
  return head;
}

// A 16-bit PCM WAV file of `seconds`; `sample(i, channel)` gives sample i of each channel.
bool WriteWave(const QString& path, int rate, int channels, double seconds,
               const std::function<int16_t(int64_t, int)>& sample);

// Silence with a full-scale square wave on the last channel only, from `from` to `to` seconds.
bool WriteBurst(const QString& path, int rate, int channels, double seconds, double from,
                double to);

// `from` written again as `to`, in the format its extension names (sox).
bool Convert(const QString& from, const QString& to);

}  // namespace made_signals
