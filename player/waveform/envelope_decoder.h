#pragma once
// Computing a recording's envelope by decoding its sound with libavformat and libavcodec, the
// libraries the player's engine decodes with.

#include <atomic>
#include <filesystem>

#include "envelope.h"
#include "processor_pace.h"

namespace waveform {

enum class Outcome {
  Running,
  Complete,         // read to the end; damaged stretches that could not be decoded are skipped
  Cancelled,        // stopped on request; what was read so far stays
  NoSound,          // the recording has no sound stream (a video without sound)
  SoundUnreadable,  // a sound stream that cannot be decoded, or nothing of it decoded
  Unreadable,       // not a recording at all, or the file cannot be read
};

// What one computation shares between the thread that does it and the window that draws it.
struct EnvelopeWork {
  Envelope envelope;
  std::atomic<bool> cancelled{false};
  // The length of the recording as its file gives it, in seconds; 0 while unknown.
  std::atomic<double> seconds{0};
  std::atomic<Outcome> outcome{Outcome::Running};
  // Set before the computation starts; unpaced by default.
  Pace pace;
};

// Decodes the best sound stream of `file` into `work.envelope`, publishing as it goes, and
// returns how it ended (also left in `work.outcome`). Checks `work.cancelled` after every packet
// and while the file is opened, and keeps to `work.pace` between packets. A gap in the
// recording's time stamps is filled with silence, so the envelope keeps time with what the
// player plays.
Outcome ComputeEnvelope(const std::filesystem::path& file, EnvelopeWork& work);

}  // namespace waveform
