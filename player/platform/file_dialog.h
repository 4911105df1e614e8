#pragma once
// The Open dialog. The caller sets a title and a filter of "description|patterns" pairs joined by
// "|"; after ShowOpen the chosen full path and the bare file name stay readable until the next
// ShowOpen (or until a caller empties the path). A cancelled dialog leaves both empty.

#include <QString>

class FileDialog {
 public:
  virtual ~FileDialog() = default;

  QString DialogTitle;
  QString Filter;
  // The folder the dialog starts in; "" the working folder.
  QString InitDir;

  const QString& FileName() const { return fileName_; }
  const QString& FileTitle() const { return fileTitle_; }
  void SetFileName(const QString& path);

  // Shows the modal dialog and stores the answer.
  void ShowOpen();

  // The next ShowOpen answers with `path` without asking (a file named on the command line).
  void PresetAnswer(const QString& path) { preset_ = path; hasPreset_ = true; }

 protected:
  // The path chosen, or "" when cancelled.
  virtual QString AskOpenPath() = 0;

 private:
  QString fileName_;
  QString fileTitle_;
  QString preset_;
  bool hasPreset_ = false;
};

// The filter string as Qt's name filters: "desc (p1 p2)" per pair.
QStringList QtNameFilters(const QString& filter);
