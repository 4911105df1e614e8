#pragma once
// A row of labels that a screen reader reads as one text, such as a running time code shown as
// two-digit fields and colons: the box is one accessible object whose name is its labels' texts
// from left to right (accessible_kinds.h); its other controls, such as an entry box standing in
// for the labels, remain parts of it.
//
// A Readout tells screen readers when that text changes: once per change however many labels
// changed, and without allocating, so a display that runs many times a second can call it on
// every turn. A label that is to announce no changes of its own needs an accessible name (Qt's
// labels announce a new text only while the text is their name).

#include <QString>
#include <vector>

class QLabel;
class QWidget;

namespace accessibility {

class Readout {
 public:
  // `box` holds the labels, which are taken as they lie now.
  explicit Readout(QWidget* box);
  Readout(const Readout&) = delete;
  Readout& operator=(const Readout&) = delete;

  // One name-change notice for the box when its labels' texts differ from those last announced.
  void AnnounceChange();

 private:
  QWidget* box_;
  std::vector<QLabel*> labels_;
  std::vector<QString> announced_;
};

// The labels a readout box reads, left to right.
std::vector<QLabel*> ReadoutLabels(const QWidget* box);
// The text a readout box reads as.
QString ReadoutText(const QWidget* box);

}  // namespace accessibility
