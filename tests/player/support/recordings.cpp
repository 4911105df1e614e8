#include "recordings.h"

#include <QFile>

#include "timecode/support/media_files.h"
#include "test_media.h"

namespace test_media {

bool WriteBroadcastWave(const QString& path, const std::string& description,
                        std::uint64_t timeReference) {
  using namespace timecode::testing;
  RiffFile riff;
  riff.Chunk("bext", BextData(description, timeReference));
  Bytes fmt = FmtData(48000);
  PutLE32(fmt, 8, 48000 * 4);           // bytes per second
  PutLE32(fmt, 12, 4 | (16 << 16));     // block align 4, 16 bits per sample
  riff.Chunk("fmt ", fmt);
  riff.Chunk("data", Bytes(48000 * 4, 0));
  const Bytes bytes = riff.Build();
  return WriteAll(path, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<qsizetype>(bytes.size())));
}

bool WriteMp3WithKeys(const QString& path, const std::string& keys) {
  const QString plain = path + ".plain.mp3";
  if (!WriteTone(plain, 1.0)) return false;
  QByteArray bytes = ReadAll(plain);
  QFile::remove(plain);
  QByteArray tag = QByteArray::fromStdString(keys).left(128);
  tag.append(QByteArray(128 - tag.size(), '\0'));
  return WriteAll(path, bytes + tag);
}

}  // namespace test_media
