#pragma once
// Recordings in the formats sox cannot write, encoded by the tests through libavformat and
// libavcodec (which come with libmpv's development files): video with sound, and WMA.

#include <QString>

namespace test_media {

// `seconds` of a moving picture (160 × 120, 25 frames a second: a bright band across the top
// quarter, a grey field below with a bright bar moving across it) with a 440 Hz tone. The
// container follows the extension: "avi" (MPEG-4 video, PCM sound) or "wmv" (WMV2 video, WMA
// sound). Fails the test (and returns false) when it cannot be written.
bool WriteVideo(const QString& path, double seconds);

// The same moving picture as an AVI file with no sound stream at all.
bool WriteSilentVideo(const QString& path, double seconds);

// `seconds` of a 440 Hz tone as a WMA file (WMA version 2 in ASF).
bool WriteWma(const QString& path, double seconds);

}  // namespace test_media
