#include "qt_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

QString QtFileDialog::AskOpenPath() {
  QFileDialog dialog(parent_, DialogTitle, lastFolder_);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(QtNameFilters(Filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString path = dialog.selectedFiles().front();
  lastFolder_ = QFileInfo(path).absolutePath();
  return path;
}
