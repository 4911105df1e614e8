#pragma once
// Recordings with stored time codes, written by the tests: a broadcast-wave file with a "bext"
// chunk, and MP3 files with keys in their last 128 bytes.

#include <QString>

namespace test_media {

// A broadcast-wave file: 48 kHz stereo, one second of silence, a "bext" chunk whose text is
// `description` and whose time reference is `timeReference` samples.
bool WriteBroadcastWave(const QString& path, const std::string& description,
                        std::uint64_t timeReference);

// An MP3 tone (sox) followed by a 128-byte tag area holding `keys`.
bool WriteMp3WithKeys(const QString& path, const std::string& keys);

}  // namespace test_media
