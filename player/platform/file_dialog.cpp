#include "file_dialog.h"

#include <QFileInfo>
#include <QStringList>

void FileDialog::SetFileName(const QString& path) {
  fileName_ = path;
  fileTitle_ = path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

void FileDialog::ShowOpen() {
  if (hasPreset_) {
    hasPreset_ = false;
    SetFileName(QFileInfo(preset_).absoluteFilePath());
    return;
  }
  SetFileName(AskOpenPath());
}

QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << parts[i].trimmed() + " (" + patterns.trimmed() + ")";
  }
  return filters;
}
