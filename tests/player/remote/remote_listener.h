#pragma once
// A listener on the bus, as a desktop's media widget is one: it keeps the player properties each
// PropertiesChanged signal carried, and the positions of the Seeked signals.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <vector>

#include "remote/remote_names.h"

class PropertiesListener : public QObject {
  Q_OBJECT
 public:
  explicit PropertiesListener(QDBusConnection bus) {
    bus.connect(remote_names::kServiceName, remote_names::kObjectPath,
                remote_names::kPropertiesInterface, "PropertiesChanged", this,
                SLOT(Changed(QString, QVariantMap, QStringList)));
    bus.connect(remote_names::kServiceName, remote_names::kObjectPath,
                remote_names::kPlayerInterface, "Seeked", this, SLOT(Seeked(qlonglong)));
  }

  // The last value announced for a player property; invalid when none was.
  QVariant Last(const QString& name) const { return last_.value(name); }
  QVariantMap Metadata() const {
    const QVariant value = Last("Metadata");
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value.value<QDBusArgument>())
                                            : value.toMap();
  }

  std::vector<qlonglong> seeked;

 public slots:
  void Changed(const QString& interface, const QVariantMap& changed, const QStringList&) {
    if (interface != remote_names::kPlayerInterface) return;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it) last_[it.key()] = it.value();
  }
  void Seeked(qlonglong position) { seeked.push_back(position); }

 private:
  QVariantMap last_;
};
