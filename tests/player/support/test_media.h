#pragma once
// Recordings for the tests, written at run time into a temporary folder: sox makes the audio,
// so every file is a real one the player can decode.

#include <QString>
#include <QTemporaryDir>

namespace test_media {

// `seconds` of a 440 Hz tone as `path`; the format follows the extension (wav, flac, mp3).
// Fails the test (and returns false) when sox cannot make it.
bool WriteTone(const QString& path, double seconds, int sampleRate = 44100, int channels = 2);

// The whole content of a file, and a file written from bytes.
QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& bytes);

}  // namespace test_media
