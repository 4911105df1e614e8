#pragma once
// What assistive tools see of the position bar: one slider named "Position" whose value is the
// play position in seconds, from 0 to the recording's length; setting the value moves there.

class QAccessibleInterface;
class QObject;
class QString;

// The accessibility factory for the bar, for QAccessible::installFactory.
QAccessibleInterface* WaveformAccessibleFactory(const QString& className, QObject* object);
