#include "layout_check.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <cmath>

namespace layout_check {

namespace {

QString Name(const QWidget* w) {
  QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                           : w->objectName();
  if (const auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty()) {
    name += " \"" + label->text() + "\"";
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(w);
             button && !button->text().isEmpty()) {
    name += " \"" + button->text() + "\"";
  }
  return name;
}

QString SizeText(QSize size) { return QString("%1x%2").arg(size.width()).arg(size.height()); }

QRect RectIn(const QWidget* window, const QWidget* w) {
  return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

bool IsAncestor(const QWidget* ancestor, const QWidget* w) {
  for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    if (p == ancestor) return true;
  }
  return false;
}

// Whether `v` is painted above `w`: of the children of their nearest common ancestor, the one
// holding `v` comes later in the stacking order.
bool PaintedAbove(const QWidget* v, const QWidget* w) {
  QList<const QWidget*> vChain;
  for (const QWidget* p = v; p; p = p->parentWidget()) vChain.prepend(p);
  QList<const QWidget*> wChain;
  for (const QWidget* p = w; p; p = p->parentWidget()) wChain.prepend(p);
  int depth = 0;
  while (depth < vChain.size() && depth < wChain.size() && vChain[depth] == wChain[depth]) ++depth;
  if (depth == 0 || depth == vChain.size() || depth == wChain.size()) return false;
  const QObjectList& order = vChain[depth - 1]->children();
  return order.indexOf(vChain[depth]) > order.indexOf(wChain[depth]);
}

QStyleOptionComboBox ComboOption(const QComboBox* combo) {
  QStyleOptionComboBox option;
  option.initFrom(combo);
  option.editable = combo->isEditable();
  option.frame = combo->hasFrame();
  return option;
}

// The size a closed drop-down list needs to show `text` whole, as the list itself reckons it.
QSize ComboNeeds(const QComboBox* combo, const QString& text) {
  const QFontMetricsF metrics(combo->font());
  const QSize content(static_cast<int>(std::ceil(metrics.horizontalAdvance(text))),
                      std::max(static_cast<int>(std::ceil(metrics.height())), 14) + 2);
  const QStyleOptionComboBox option = ComboOption(combo);
  return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, combo);
}

QStyleOptionFrame LineEditOption(const QLineEdit* edit) {
  QStyleOptionFrame option;
  option.initFrom(edit);
  option.rect = edit->rect();
  option.lineWidth =
      edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                       : 0;
  option.state |= QStyle::State_Sunken;
  return option;
}

// Where a line edit draws its text: the style's contents less the box's own margins, 2 pixels
// each side and 1 above and below.
QRect LineEditText(const QLineEdit* edit) {
  const QStyleOptionFrame option = LineEditOption(edit);
  return edit->style()
      ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
      .marginsRemoved(edit->textMargins())
      .adjusted(2, 1, -2, -1);
}

QStringList ComboTextsCutOff(QComboBox* combo) {
  QStringList faults;
  QStringList texts{combo->placeholderText()};
  for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
  for (const QString& text : texts) {
    if (text.isEmpty()) continue;
    const QSize need = ComboNeeds(combo, text);
    if (need.width() > combo->width() || need.height() > combo->height()) {
      faults << QString("%1 shows \"%2\" in %3, needs %4")
                    .arg(Name(combo), text, SizeText(combo->size()), SizeText(need));
    }
  }
  // The opened list is as wide as the widest row needs by the same measure (Qt widens it so).
  combo->showPopup();
  const int opened = combo->view()->window()->width();
  for (int row = 0; row < combo->count(); ++row) {
    const int need = ComboNeeds(combo, combo->itemText(row)).width();
    if (need > opened) {
      faults << QString("%1 row \"%2\" in %3 px, needs %4")
                    .arg(Name(combo), combo->itemText(row))
                    .arg(opened)
                    .arg(need);
    }
  }
  combo->hidePopup();
  return faults;
}

// The linear value of one sRGB channel.
double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(QRgb rgb) {
  return 0.2126 * Linear(qRed(rgb)) + 0.7152 * Linear(qGreen(rgb)) + 0.0722 * Linear(qBlue(rgb));
}

// The contrast of a text with what is behind it, read from the painted pixels of `area`: the
// most frequent colour is the background, the colour standing out most from it is the text.
double PaintedContrast(const QImage& image, QRect area) {
  area &= image.rect();
  QHash<QRgb, int> counts;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y) & 0xFFFFFF];
  }
  if (counts.isEmpty()) return 21;
  QRgb background = 0;
  int most = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > most) {
      most = it.value();
      background = it.key();
    }
  }
  double best = 1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() >= 2) best = std::max(best, Contrast(it.key(), background));
  }
  return best;
}

// The part of a control where its text is drawn, in the control's own coordinates; empty for
// controls without text.
QRect TextArea(const QWidget* w) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) {
    return label->text().isEmpty() ? QRect() : label->contentsRect();
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
    const QStyleOptionComboBox option = ComboOption(combo);
    return combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                          QStyle::SC_ComboBoxEditField, combo);
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
    if (button->text().isEmpty()) return QRect();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool check = qobject_cast<const QCheckBox*>(w) != nullptr;
    return button->style()->subElementRect(
        check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
    return edit->text().isEmpty() ? QRect() : LineEditText(edit);
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.textAlignment = group->alignment();
    return group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                          QStyle::SC_GroupBoxLabel, group);
  }
  return QRect();
}

QRect Scaled(QRect r, qreal ratio) {
  return QRect(QPoint(qFloor(r.left() * ratio), qFloor(r.top() * ratio)),
               QSize(qFloor(r.width() * ratio), qFloor(r.height() * ratio)));
}

}  // namespace

double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QList<QWidget*> VisibleControls(QWidget* window, const QWidget* within) {
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || !w->isVisibleTo(window)) continue;
    if (within == nullptr || within->isAncestorOf(w)) controls << w;
  }
  return controls;
}

QStringList TextsCutOff(QWidget* window, const QWidget* within) {
  QStringList faults;
  for (QWidget* w : VisibleControls(window, within)) {
    QSize need;
    if (auto* label = qobject_cast<QLabel*>(w)) {
      if (label->text().isEmpty()) continue;
      need = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                               : label->sizeHint();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
      faults << ComboTextsCutOff(combo);
      continue;
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      if (button->text().isEmpty()) continue;
      need = button->sizeHint();
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      const QFontMetricsF metrics(edit->font());
      const QRect room = LineEditText(edit);
      // One pixel more for the text cursor at the end.
      if (metrics.horizontalAdvance(edit->text()) + 1 > room.width() ||
          metrics.height() > room.height()) {
        faults << QString("%1 shows \"%2\" in %3, needs %4x%5")
                      .arg(Name(w), edit->text(), SizeText(room.size()))
                      .arg(std::ceil(metrics.horizontalAdvance(edit->text())) + 1)
                      .arg(std::ceil(metrics.height()));
      }
      continue;
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      need = QSize(group->minimumSizeHint().width(), 0);
    } else {
      continue;
    }
    if (need.width() > w->width() || need.height() > w->height()) {
      faults << QString("%1 is %2, needs %3").arg(Name(w), SizeText(w->size()), SizeText(need));
    }
  }
  return faults;
}

QStringList ControlsHidden(QWidget* window, const std::set<QWidget*>& backgrounds,
                           const std::set<QWidget*>& mayOverhang) {
  QStringList faults;
  const QList<QWidget*> controls = VisibleControls(window);
  for (QWidget* w : controls) {
    const QRect r = RectIn(window, w);
    if (backgrounds.count(w) || r.isEmpty()) continue;
    if (!mayOverhang.count(w)) {
      for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        const QRect room = p == window ? window->rect() : RectIn(window, p);
        if (!room.contains(r)) {
          faults << QString("%1 at %2,%3 %4 is cut off by %5")
                        .arg(Name(w))
                        .arg(r.x())
                        .arg(r.y())
                        .arg(SizeText(r.size()), Name(p));
          break;
        }
        if (p == window) break;
      }
    }
    for (QWidget* v : controls) {
      if (v == w || IsAncestor(v, w) || IsAncestor(w, v)) continue;
      if (v->testAttribute(Qt::WA_TransparentForMouseEvents)) continue;
      if (RectIn(window, v).intersects(r) && PaintedAbove(v, w)) {
        faults << QString("%1 is covered by %2").arg(Name(w), Name(v));
      }
    }
  }
  return faults;
}

QStringList TextsTooFaint(QWidget* window, const QWidget* within, double minimum) {
  QStringList faults;
  const QImage shot = window->grab().toImage();
  const qreal ratio = shot.devicePixelRatio();
  auto check = [&](const QImage& image, const QRect& area, const QString& what) {
    const double contrast = PaintedContrast(image, area);
    if (contrast < minimum) {
      faults << QString("%1 reads at %2:1").arg(what).arg(contrast, 0, 'f', 2);
    }
  };
  for (QWidget* w : VisibleControls(window, within)) {
    const QRect area = TextArea(w);
    if (area.isEmpty()) continue;
    check(shot, Scaled(area.translated(w->mapTo(window, QPoint(0, 0))), ratio), Name(w));
    // The rows of a drop-down list, as its opened list paints them.
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->count() > 0) {
      combo->showPopup();
      QAbstractItemView* view = combo->view();
      const QImage rows = view->viewport()->grab().toImage();
      for (int row = 0; row < combo->count(); ++row) {
        if (combo->itemText(row).isEmpty()) continue;
        const QRect rowArea = view->visualRect(combo->model()->index(row, 0));
        check(rows, Scaled(rowArea, rows.devicePixelRatio()),
              Name(w) + " row \"" + combo->itemText(row) + "\"");
      }
      combo->hidePopup();
    }
  }
  return faults;
}

}  // namespace layout_check
