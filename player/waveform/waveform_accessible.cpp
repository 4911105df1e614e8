#include "waveform_accessible.h"

#include <QAccessibleWidget>

#include "waveform_strip.h"

namespace {

class WaveformAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit WaveformAccessible(WaveformStrip* strip)
      : QAccessibleWidget(strip, QAccessible::Slider, "Position") {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return "Position";
    if (t == QAccessible::Value) return QString::number(strip()->shownPosition(), 'f', 1);
    // Why there is no waveform, when there is none.
    if (t == QAccessible::Description && !strip()->note().isEmpty()) return strip()->note();
    return QAccessibleWidget::text(t);
  }

  // One control: the note and the pointer's time drawn on it are not controls of their own.
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QVariant currentValue() const override { return strip()->shownPosition(); }
  void setCurrentValue(const QVariant& value) override {
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    if (ok) strip()->ChoosePosition(seconds);
  }
  QVariant maximumValue() const override { return strip()->length(); }
  QVariant minimumValue() const override { return 0.0; }
  QVariant minimumStepSize() const override { return 1.0; }

 private:
  WaveformStrip* strip() const { return static_cast<WaveformStrip*>(widget()); }
};

}  // namespace

QAccessibleInterface* WaveformAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("WaveformStrip") && object && object->isWidgetType()) {
    return new WaveformAccessible(static_cast<WaveformStrip*>(object));
  }
  return nullptr;
}
