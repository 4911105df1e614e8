#include "qt_file_dialog.h"

#include <QFileDialog>

QString QtFileDialog::AskOpenPath() {
  QFileDialog dialog(parent_, DialogTitle, InitDir);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(QtNameFilters(Filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}
