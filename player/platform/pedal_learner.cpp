#include "pedal_learner.h"

#include <QMetaObject>
#include <algorithm>
#include <cerrno>

PedalLearner::PedalLearner(InputDeviceDirectory& directory, platform::InputDeviceCalls calls,
                           QObject* parent)
    : QObject(parent), directory_(directory), calls_(calls) {
  connect(&directory_, &InputDeviceDirectory::Changed, this, [this] { listen(); });
  listen();
}

PedalLearner::~PedalLearner() {
  for (Listened& listened : devices_) listened.device->close();
}

void PedalLearner::listen() {
  for (const platform::InputDeviceInfo& info : directory_.KeyDevices()) {
    const auto same = [&](const Listened& listened) { return listened.info.node == info.node; };
    if (std::any_of(devices_.begin(), devices_.end(), same)) continue;
    auto device = std::make_unique<platform::InputKeyDevice>(calls_);
    const std::string node = info.node;
    const int error = device->open(
        node, /*grab=*/false,
        {[this, info](int code, bool down) {
           if (!down) return;
           // On the reader's thread: hand the press to this object's thread.
           QMetaObject::invokeMethod(
               this, [this, info, code] { emit Pressed(info, code); }, Qt::QueuedConnection);
         },
         [this, node](int) {
           QMetaObject::invokeMethod(this, [this, node] { forget(node); }, Qt::QueuedConnection);
         }});
    if (error == 0) {
      devices_.push_back({info, std::move(device)});
    } else if ((error == EACCES || error == EPERM) &&
               std::find(refused_.begin(), refused_.end(), node) == refused_.end()) {
      refused_.push_back(node);
    }
  }
}

void PedalLearner::forget(const std::string& node) {
  const auto gone = std::find_if(devices_.begin(), devices_.end(),
                                 [&](const Listened& listened) { return listened.info.node == node; });
  if (gone == devices_.end()) return;
  gone->device->close();
  devices_.erase(gone);
}
