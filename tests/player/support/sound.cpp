#include "sound.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

namespace test_sound {
namespace {

std::uint32_t Le32(const QByteArray& bytes, qsizetype at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}
std::uint16_t Le16(const QByteArray& bytes, qsizetype at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}
void PutLe(QByteArray& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.append(static_cast<char>(value >> (8 * i) & 0xff));
}

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kFloat = 3;
constexpr std::uint16_t kExtensible = 0xfffe;

}  // namespace

Sound ReadWave(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << path.toStdString();
    return {};
  }
  return WaveFromBytes(file.readAll(), path);
}

Sound WaveFromBytes(const QByteArray& bytes, const QString& path) {
  if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
    ADD_FAILURE() << path.toStdString() << " is no WAV file";
    return {};
  }
  std::uint16_t format = 0, channels = 0, bits = 0;
  std::uint32_t rate = 0;
  qsizetype at = 12;
  while (at + 8 <= bytes.size()) {
    const QByteArray id = bytes.mid(at, 4);
    // A writer that never finished may leave the data size open: the data then runs to the end.
    const qsizetype size = std::min<qsizetype>(Le32(bytes, at + 4), bytes.size() - at - 8);
    const qsizetype body = at + 8;
    if (id == "fmt " && size >= 16) {
      format = Le16(bytes, body);
      channels = Le16(bytes, body + 2);
      rate = Le32(bytes, body + 4);
      bits = Le16(bytes, body + 14);
      if (format == kExtensible && size >= 26) format = Le16(bytes, body + 24);
    } else if (id == "data" && channels > 0) {
      const bool isFloat = format == kFloat && bits == 32;
      if (!isFloat && !(format == kPcm && bits == 16)) {
        ADD_FAILURE() << path.toStdString() << ": neither float nor 16-bit samples";
        return {};
      }
      const qsizetype width = bits / 8;
      const qsizetype frames = size / (width * channels);
      Sound sound{static_cast<int>(rate), std::vector<std::vector<float>>(channels)};
      for (auto& channel : sound.channels) channel.resize(static_cast<std::size_t>(frames));
      const char* data = bytes.constData() + body;
      for (qsizetype f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
          const char* sample = data + (f * channels + c) * width;
          float value;
          if (isFloat) {
            std::memcpy(&value, sample, sizeof value);
          } else {
            std::int16_t pcm;
            std::memcpy(&pcm, sample, sizeof pcm);
            value = pcm / 32768.0f;
          }
          sound.channels[c][static_cast<std::size_t>(f)] = value;
        }
      }
      return sound;
    }
    at = body + size + (size & 1);
  }
  ADD_FAILURE() << path.toStdString() << " has no samples";
  return {};
}

bool WriteWave(const QString& path, const Sound& sound) {
  const auto channels = static_cast<std::uint32_t>(sound.channels.size());
  const auto dataSize = static_cast<std::uint32_t>(sound.Frames() * channels * 4);
  QByteArray bytes("RIFF");
  PutLe(bytes, 36 + dataSize, 4);
  bytes += "WAVEfmt ";
  PutLe(bytes, 16, 4);
  PutLe(bytes, kFloat, 2);
  PutLe(bytes, channels, 2);
  PutLe(bytes, static_cast<std::uint32_t>(sound.rate), 4);
  PutLe(bytes, static_cast<std::uint32_t>(sound.rate) * channels * 4, 4);
  PutLe(bytes, channels * 4, 2);
  PutLe(bytes, 32, 2);
  bytes += "data";
  PutLe(bytes, dataSize, 4);
  for (std::size_t f = 0; f < sound.Frames(); ++f) {
    for (const auto& channel : sound.channels) {
      bytes.append(reinterpret_cast<const char*>(&channel[f]), sizeof(float));
    }
  }
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

double RmsDb(const std::vector<float>& samples, const Spans& where) {
  double sum = 0;
  std::size_t count = 0;
  for (const Span& span : where) {
    for (std::size_t i = span.begin; i < std::min(span.end, samples.size()); ++i) {
      sum += double(samples[i]) * samples[i];
      ++count;
    }
  }
  if (count == 0 || sum == 0) return -200;
  return 10 * std::log10(sum / count);
}

double RmsDb(const std::vector<float>& samples) {
  return RmsDb(samples, {{0, samples.size()}});
}

double ToneDb(const std::vector<float>& samples, int rate, double hertz, const Spans& where) {
  // Each span's share of the sine, by correlation with it; powers added by length.
  double power = 0;
  std::size_t count = 0;
  const double step = 2 * std::numbers::pi * hertz / rate;
  for (const Span& span : where) {
    const std::size_t end = std::min(span.end, samples.size());
    if (end <= span.begin) continue;
    double re = 0, im = 0;
    for (std::size_t i = span.begin; i < end; ++i) {
      re += samples[i] * std::cos(step * double(i));
      im += samples[i] * std::sin(step * double(i));
    }
    const double n = double(end - span.begin);
    const double amplitude = 2 * std::hypot(re, im) / n;
    power += amplitude * amplitude / 2 * n;
    count += end - span.begin;
  }
  if (count == 0 || power <= 0) return -200;
  return 10 * std::log10(power / count);
}

float Peak(const Sound& sound) {
  float peak = 0;
  for (const auto& channel : sound.channels) {
    for (const float sample : channel) peak = std::max(peak, std::abs(sample));
  }
  return peak;
}

Spans Shifted(const Spans& spans, long frames, std::size_t length) {
  Spans moved;
  for (const Span& span : spans) {
    const long begin = static_cast<long>(span.begin) + frames;
    const long end = std::min(static_cast<long>(span.end) + frames, static_cast<long>(length));
    if (begin >= 0 && end > begin) moved.push_back({std::size_t(begin), std::size_t(end)});
  }
  return moved;
}

double Gain(double db) { return std::pow(10.0, db / 20); }

const Speech& SpokenSentences() {
  static const Speech speech = [] {
    Speech made;
    static QTemporaryDir folder;
    const char* const sentences[] = {
        "The meeting started at ten in the morning, and everyone agreed on the budget.",
        "Please send the minutes to the committee before Friday.",
        "We will talk about the new building next week."};
    std::vector<float> samples;
    for (const char* sentence : sentences) {
      const QString path = folder.filePath("sentence.wav");
      QProcess espeak;
      espeak.start("espeak-ng", {"-w", path, QString::fromLatin1(sentence)});
      if (!espeak.waitForFinished(60000) || espeak.exitCode() != 0) {
        ADD_FAILURE() << "espeak-ng could not speak: "
                      << espeak.readAllStandardError().toStdString();
        return made;
      }
      const Sound spoken = ReadWave(path);
      if (spoken.channels.empty()) return made;
      made.sound.rate = spoken.rate;
      samples.insert(samples.end(), static_cast<std::size_t>(spoken.rate), 0.0f);
      samples.insert(samples.end(), spoken.channels[0].begin(), spoken.channels[0].end());
    }
    samples.insert(samples.end(), static_cast<std::size_t>(made.sound.rate), 0.0f);
    made.sound.channels = {samples};

    const std::size_t frame = static_cast<std::size_t>(made.sound.rate) / 50;  // 20 ms
    const std::size_t margin = static_cast<std::size_t>(made.sound.rate) / 10;
    for (std::size_t at = 0; at + frame <= samples.size(); at += frame) {
      const std::vector<float> piece(samples.begin() + long(at), samples.begin() + long(at + frame));
      if (RmsDb(piece) > -40) made.talk.push_back({at, at + frame});
      const std::size_t from = at > margin ? at - margin : 0;
      const std::size_t to = std::min(samples.size(), at + frame + margin);
      const bool silent = std::all_of(samples.begin() + long(from), samples.begin() + long(to),
                                      [](float s) { return std::abs(s) < 1e-4f; });
      if (silent) made.pauses.push_back({at, at + frame});
    }
    return made;
  }();
  return speech;
}

std::vector<float> AtLevel(const Speech& speech, double db) {
  const std::vector<float>& source = speech.sound.channels.at(0);
  const double gain = Gain(db - RmsDb(source, speech.talk));
  std::vector<float> scaled(source.size());
  std::transform(source.begin(), source.end(), scaled.begin(),
                 [gain](float s) { return static_cast<float>(s * gain); });
  return scaled;
}

void AddNoise(std::vector<float>& samples, double db) {
  // Uniform noise: its RMS is its half-width over the square root of three.
  const double halfWidth = Gain(db) * std::sqrt(3.0);
  std::mt19937 random(20261207);
  std::uniform_real_distribution<double> noise(-halfWidth, halfWidth);
  for (float& sample : samples) sample = static_cast<float>(sample + noise(random));
}

void AddTone(std::vector<float>& samples, int rate, double hertz, double db) {
  const double amplitude = Gain(db) * std::sqrt(2.0);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] += static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hertz * double(i) / rate));
  }
}

}  // namespace test_sound
