#pragma once
// Waiting on the event loop for something the code under test reports, never a fixed sleep.

#include <QDeadlineTimer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

// Runs the event loop until `done()` holds or `timeoutMs` passes; returns whether it held.
template <typename Predicate>
bool WaitUntil(Predicate done, int timeoutMs = 5000) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!done()) QThread::msleep(2);
  }
  return true;
}
