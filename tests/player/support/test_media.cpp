#include "test_media.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

namespace test_media {

bool WriteTone(const QString& path, double seconds, int sampleRate, int channels) {
  QProcess sox;
  sox.start("sox", {"-q", "-n", "-r", QString::number(sampleRate), "-c", QString::number(channels),
                    path, "synth", QString::number(seconds), "sine", "440", "vol", "0.3"});
  const bool ok = sox.waitForFinished(30000) && sox.exitStatus() == QProcess::NormalExit &&
                  sox.exitCode() == 0 && QFile::exists(path);
  if (!ok) ADD_FAILURE() << "sox could not write " << path.toStdString() << ": "
                         << sox.readAllStandardError().toStdString();
  return ok;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace test_media
