#include "readout.h"

#include <QAccessible>
#include <QLabel>
#include <algorithm>

#include "accessible_kinds.h"

namespace accessibility {

std::vector<QLabel*> ReadoutLabels(const QWidget* box) {
  std::vector<QLabel*> labels;
  for (QLabel* label : box->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    labels.push_back(label);
  }
  std::stable_sort(labels.begin(), labels.end(),
                   [](const QLabel* a, const QLabel* b) { return a->x() < b->x(); });
  return labels;
}

QString ReadoutText(const QWidget* box) {
  QString text;
  for (const QLabel* label : ReadoutLabels(box)) text += label->text();
  return text;
}

Readout::Readout(QWidget* box) : box_(box), labels_(ReadoutLabels(box)) {
  MarkReadout(box);
  for (const QLabel* label : labels_) announced_.push_back(label->text());
}

void Readout::AnnounceChange() {
  bool changed = false;
  for (std::size_t i = 0; i < labels_.size(); ++i) {
    // Texts are shared, not copied: comparing and keeping them allocates nothing.
    const QString shown = labels_[i]->text();
    if (shown != announced_[i]) {
      announced_[i] = shown;
      changed = true;
    }
  }
  if (!changed) return;
  QAccessibleEvent event(box_, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
}

}  // namespace accessibility
