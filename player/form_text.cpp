#include "form_text.h"

#include <QFile>
#include <QLabel>

std::filesystem::path LocalPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromLocalPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::string CaptionText(const QString& text) { return text.toLatin1().toStdString(); }

std::string CaptionText(const QLabel* label) { return CaptionText(label->text()); }
