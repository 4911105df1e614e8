#include "made_signals.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <cmath>

namespace made_signals {

namespace {
void PutLE(QByteArray& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>(value >> (8 * i)));
}
}  // namespace

bool WriteWave(const QString& path, int rate, int channels, double seconds,
               const std::function<int16_t(int64_t, int)>& sample) {
  const auto frames = static_cast<int64_t>(std::llround(seconds * rate));
  const auto dataBytes = static_cast<uint32_t>(frames * channels * 2);
  QByteArray bytes = WaveHeader(rate, channels, dataBytes);
  bytes.reserve(bytes.size() + dataBytes);
  for (int64_t i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) PutLE(bytes, static_cast<uint16_t>(sample(i, c)), 2);
  }
  QFile file(path);
  const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
  if (!ok) ADD_FAILURE() << "cannot write " << path.toStdString();
  return ok;
}

bool WriteBurst(const QString& path, int rate, int channels, double seconds, double from,
                double to) {
  const auto first = static_cast<int64_t>(std::llround(from * rate));
  const auto end = static_cast<int64_t>(std::llround(to * rate));
  return WriteWave(path, rate, channels, seconds, [&](int64_t i, int c) -> int16_t {
    if (c != channels - 1 || i < first || i >= end) return 0;
    // 100 Hz square wave, reaching both ends of the scale.
    return ((i - first) * 200 / rate) % 2 == 0 ? 32767 : -32768;
  });
}

bool Convert(const QString& from, const QString& to) {
  QProcess sox;
  sox.start("sox", {"-q", from, to});
  const bool ok = sox.waitForFinished(60000) && sox.exitStatus() == QProcess::NormalExit &&
                  sox.exitCode() == 0 && QFile::exists(to);
  if (!ok) ADD_FAILURE() << "sox could not write " << to.toStdString() << ": "
                         << sox.readAllStandardError().toStdString();
  return ok;
}

}  // namespace made_signals
