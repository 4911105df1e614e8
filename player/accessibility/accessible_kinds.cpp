#include "accessible_kinds.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include "readout.h"

namespace accessibility {
namespace {

// The dynamic property that marks a widget of one of these kinds.
constexpr char kKindProperty[] = "accessibleKind";
constexpr char kReadoutKind[] = "readout";
constexpr char kButtonKind[] = "button";

class ReadoutInterface : public QAccessibleWidget {
 public:
  explicit ReadoutInterface(QWidget* box) : QAccessibleWidget(box, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return ReadoutText(widget());
    return QAccessibleWidget::text(t);
  }
  // The labels are the text; only the box's other controls are parts of it.
  int childCount() const override { return static_cast<int>(parts().size()); }
  QAccessibleInterface* child(int index) const override {
    const QWidgetList controls = parts();
    if (index < 0 || index >= controls.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(controls[index]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    return static_cast<int>(parts().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  QWidgetList parts() const {
    QWidgetList controls;
    for (QWidget* child : widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (!child->isWindow() && !qobject_cast<QLabel*>(child)) controls << child;
    }
    return controls;
  }
};

class ButtonInterface : public QAccessibleWidget {
 public:
  explicit ButtonInterface(QWidget* picture) : QAccessibleWidget(picture, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty()) text = widget()->toolTip();
    return text;
  }
  // The picture on it is no part of its own.
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != pressAction()) {
      QAccessibleWidget::doAction(action);
      return;
    }
    // Pressed and let go in its middle, so it acts exactly as for the mouse.
    QWidget* picture = widget();
    const QPointF middle = QRectF(picture->rect()).center();
    const QPointF screen = picture->mapToGlobal(middle);
    QMouseEvent press(QEvent::MouseButtonPress, middle, screen, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, middle, screen, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &release);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* InterfaceOfKind(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  const QByteArray kind = widget->property(kKindProperty).toByteArray();
  if (kind == kReadoutKind) return new ReadoutInterface(widget);
  if (kind == kButtonKind) return new ButtonInterface(widget);
  return nullptr;
}

// Gives `widget` its kind. An interface Qt made for it before (a label's text set while the
// window was built asks for interfaces) is dropped, so the next question asks for the kind.
void SetKind(QWidget* widget, const char* kind) {
  widget->setProperty(kKindProperty, QByteArray(kind));
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget)) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

}  // namespace

void InstallAccessibleKinds() {
  static const bool installed = [] {
    QAccessible::installFactory(&InterfaceOfKind);
    return true;
  }();
  (void)installed;
}

void MarkReadout(QWidget* box) { SetKind(box, kReadoutKind); }

void ReadAsButton(QWidget* picture) { SetKind(picture, kButtonKind); }

void NameList(QComboBox* list, const QString& name) {
  list->setAccessibleName(name);
  auto* label = new QLabel(name, list->parentWidget());
  label->setObjectName(list->objectName() + "Name");
  label->setBuddy(list);
  label->hide();
}

}  // namespace accessibility
