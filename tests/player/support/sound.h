#pragma once
// Sound as samples, for the tests that measure what the player's filters do: WAV files read and
// written (16-bit or 32-bit float), levels in dB below full scale, a tone's level found by its
// frequency, and speech spoken by espeak-ng with the stretches where it talks and where it
// pauses.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <vector>

namespace test_sound {

struct Sound {
  int rate = 0;
  std::vector<std::vector<float>> channels;  // one vector per channel, all the same length
  std::size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

// Fails the test (and returns an empty sound) when the file cannot be read.
Sound ReadWave(const QString& path);
// The same from the file's bytes; `name` for the failure.
Sound WaveFromBytes(const QByteArray& bytes, const QString& name);
// 32-bit float samples; false when the file cannot be written.
bool WriteWave(const QString& path, const Sound& sound);

// Frame ranges [begin, end) of one sound.
struct Span {
  std::size_t begin;
  std::size_t end;
};
using Spans = std::vector<Span>;

// dB below full scale (a full-scale square wave is 0 dB); -200 for silence.
double RmsDb(const std::vector<float>& samples, const Spans& where);
double RmsDb(const std::vector<float>& samples);
// The level of a steady sine of `hertz` in `where`, as RmsDb would give for the sine alone.
double ToneDb(const std::vector<float>& samples, int rate, double hertz, const Spans& where);
float Peak(const Sound& sound);
// The same spans moved `frames` later, cut to `length`.
Spans Shifted(const Spans& spans, long frames, std::size_t length);

// A gain of `db`.
double Gain(double db);

// Sentences spoken by espeak-ng at its own rate, one channel, with a second of silence before
// each: made once per test program. Talk and Pauses are the 20 ms stretches where it speaks,
// and where it is silent with a margin of 100 ms to any speech.
struct Speech {
  Sound sound;
  Spans talk;
  Spans pauses;
};
const Speech& SpokenSentences();

// `speech` scaled so that its talk is `db` RMS.
std::vector<float> AtLevel(const Speech& speech, double db);
// Adds steady white noise of `db` RMS (a fixed seed).
void AddNoise(std::vector<float>& samples, double db);
// Adds a sine of `hertz` at `db` RMS.
void AddTone(std::vector<float>& samples, int rate, double hertz, double db);

}  // namespace test_sound
