#include "usb_pedal_control.h"

#include <QMetaObject>
#include <cerrno>

#include "pedal_learner.h"

namespace {

const char kKeyVendor[] = "UsbPedalVendor";
const char kKeyProduct[] = "UsbPedalProduct";
const char kKeyName[] = "UsbPedalName";
const char kKeyPhys[] = "UsbPedalPhys";
const char kKeyLabel[] = "UsbPedalLabel";
const char kKeyLeft[] = "UsbPedalLeft";
const char kKeyMiddle[] = "UsbPedalMiddle";
const char kKeyRight[] = "UsbPedalRight";

std::string Value(const std::map<std::string, std::string>& values, const char* name) {
  const auto found = values.find(name);
  return found == values.end() ? std::string() : found->second;
}

}  // namespace

UsbPedalControl::UsbPedalControl(InputDeviceDirectory& directory,
                                 platform::InputDeviceCalls calls, QObject* parent)
    : SerialControl(parent), directory_(directory), calls_(calls), device_(calls) {
  connect(&directory_, &InputDeviceDirectory::Changed, this, [this] { devicesChanged(); });
  addKnownPedals();
}

UsbPedalControl::~UsbPedalControl() { device_.close(); }

int UsbPedalControl::EventOf(Switch which) {
  return which == kLeft ? kEventCTS : which == kMiddle ? kEventDSR : kEventCD;
}

UsbPedalControl::Pedal* UsbPedalControl::find(int port) {
  for (Pedal& pedal : pedals_) {
    if (pedal.port == port) return &pedal;
  }
  return nullptr;
}

const UsbPedalControl::Pedal* UsbPedalControl::find(int port) const {
  return const_cast<UsbPedalControl*>(this)->find(port);
}

UsbPedalControl::Pedal* UsbPedalControl::findModel(const platform::InputDeviceInfo& device) {
  for (Pedal& pedal : pedals_) {
    if (pedal.identity.SameModel(device)) return &pedal;
  }
  return nullptr;
}

int UsbPedalControl::add(const platform::InputDeviceInfo& device,
                         const platform::PedalSwitches& switches, bool taught) {
  const int port = kFirstPort + static_cast<int>(pedals_.size());
  Pedal pedal{port, device, switches, taught};
  pedal.identity.node.clear();
  pedals_.push_back(std::move(pedal));
  return port;
}

std::optional<platform::InputDeviceInfo> UsbPedalControl::deviceOf(const Pedal& pedal) const {
  std::optional<platform::InputDeviceInfo> sameModel;
  for (platform::InputDeviceInfo& device : directory_.KeyDevices()) {
    if (!device.SameModel(pedal.identity)) continue;
    if (device.phys == pedal.identity.phys) return device;
    if (!sameModel) sameModel = std::move(device);
  }
  return sameModel;
}

std::vector<int> UsbPedalControl::Ports() const {
  std::vector<int> ports;
  for (const Pedal& pedal : pedals_) ports.push_back(pedal.port);
  return ports;
}

QString UsbPedalControl::Label(int port) const {
  const Pedal* pedal = find(port);
  if (!pedal) return {};
  const std::string& label = pedal->identity.label.empty() ? pedal->identity.name
                                                             : pedal->identity.label;
  return "USB: " + QString::fromStdString(label).simplified();
}

bool UsbPedalControl::Present(int port) const {
  const Pedal* pedal = find(port);
  return pedal && deviceOf(*pedal);
}

int UsbPedalControl::ProbePort() { return Present(CommPort) ? 0 : platform::kSerialInvalidPort; }

int UsbPedalControl::Adopt(const platform::InputDeviceInfo& device,
                           const platform::PedalSwitches& switches) {
  int port;
  if (Pedal* pedal = findModel(device)) {
    pedal->identity = device;
    pedal->identity.node.clear();
    pedal->switches = switches;
    pedal->taught = true;
    port = pedal->port;
  } else {
    port = add(device, switches, true);
    emit PedalsChanged();
  }
  lastTaughtPort_ = port;
  return port;
}

std::unique_ptr<PedalLearner> UsbPedalControl::StartLearning() {
  return std::make_unique<PedalLearner>(directory_, calls_);
}

std::map<std::string, std::string> UsbPedalControl::SettingsValues(int port) const {
  const Pedal* pedal = find(port ? port : lastTaughtPort_);
  if (!pedal) return {};
  std::map<std::string, std::string> values{
      {kKeyVendor, platform::HexId(pedal->identity.vendor)},
      {kKeyProduct, platform::HexId(pedal->identity.product)},
      {kKeyName, pedal->identity.name},
      {kKeyPhys, pedal->identity.phys},
      {kKeyLabel, pedal->identity.label},
  };
  if (pedal->taught) {
    values[kKeyLeft] = platform::KeyCodeName(pedal->switches.left);
    values[kKeyMiddle] = platform::KeyCodeName(pedal->switches.middle);
    values[kKeyRight] = platform::KeyCodeName(pedal->switches.right);
  }
  return values;
}

int UsbPedalControl::RestoreSettings(const std::map<std::string, std::string>& values) {
  const auto vendor = platform::ParseHexId(Value(values, kKeyVendor));
  const auto product = platform::ParseHexId(Value(values, kKeyProduct));
  if (!vendor || !product) return 0;
  platform::InputDeviceInfo identity;
  identity.vendor = *vendor;
  identity.product = *product;
  identity.name = Value(values, kKeyName);
  identity.phys = Value(values, kKeyPhys);
  identity.label = Value(values, kKeyLabel);

  const auto left = platform::KeyCodeFromText(Value(values, kKeyLeft));
  const auto middle = platform::KeyCodeFromText(Value(values, kKeyMiddle));
  const auto right = platform::KeyCodeFromText(Value(values, kKeyRight));
  platform::PedalSwitches taught;
  if (left && middle && right) taught = {*left, *middle, *right};
  if (taught.Complete()) return Adopt(identity, taught);

  // Without taught switches only a model whose switches are known can be used.
  const auto known = platform::KnownPedalSwitches(identity.vendor, identity.product);
  if (!known) return 0;
  if (Pedal* pedal = findModel(identity)) return pedal->port;
  const int port = add(identity, *known, false);
  emit PedalsChanged();
  return port;
}

bool UsbPedalControl::addKnownPedals() {
  bool added = false;
  for (const platform::InputDeviceInfo& device : directory_.KeyDevices()) {
    if (auto known = platform::KnownPedalSwitches(device.vendor, device.product)) {
      if (!findModel(device)) {
        add(device, *known, false);
        added = true;
      }
    }
  }
  return added;
}

void UsbPedalControl::devicesChanged() {
  if (addKnownPedals()) emit PedalsChanged();
  if (PortOpen() && !device_.isOpen()) attach();
}

int UsbPedalControl::SetPortOpen(bool open) {
  if (!open) {
    if (PortOpen()) {
      detach();
      openPort_ = 0;
      ++portGeneration_;
    }
    return 0;
  }
  if (PortOpen()) return 0;
  if (!find(CommPort)) return platform::kSerialInvalidPort;
  openPort_ = CommPort;
  ++portGeneration_;
  reading_ = Reading::Yes;  // opening says nothing unless the pedal cannot be read
  attach();
  return 0;
}

void UsbPedalControl::attach() {
  const Pedal* pedal = find(openPort_);
  const auto device = deviceOf(*pedal);
  if (!device) {
    setReading(Reading::Unplugged);
    return;
  }
  ++generation_;
  const std::uint64_t generation = generation_;
  const int error = device_.open(
      device->node, /*grab=*/true,
      {[this, generation](int code, bool down) {
         // On the reader's thread: hand the change to this object's thread.
         QMetaObject::invokeMethod(
             this, [this, generation, code, down] { deliverKey(generation, code, down); },
             Qt::QueuedConnection);
       },
       [this, generation](int) {
         QMetaObject::invokeMethod(
             this, [this, generation] { lost(generation); }, Qt::QueuedConnection);
       }});
  if (error == EACCES || error == EPERM) {
    problem_ = QString("The foot pedal %1 (%2) may not be read by this user.\r\n"
                       "Install the udev rule 60-quillmark-pedals.rules for it, or add the "
                       "user to the \"input\" group and log in again; then plug the pedal in "
                       "again.")
                   .arg(QString::fromStdString(device->label).simplified(),
                        QString::fromStdString(device->node));
    setReading(Reading::NoAccess);
    return;
  }
  if (error != 0) {  // gone again, or held by another program
    setReading(Reading::Unplugged);
    return;
  }
  const platform::KeyState& held = device_.heldAtOpen();
  const platform::PedalSwitches& switches = pedal->switches;
  held_[kLeft] = held.test(switches.left);
  held_[kMiddle] = held.test(switches.middle);
  held_[kRight] = held.test(switches.right);
  setReading(Reading::Yes);
}

void UsbPedalControl::detach() {
  ++generation_;
  device_.close();
  held_[kLeft] = held_[kMiddle] = held_[kRight] = false;
}

void UsbPedalControl::setReading(Reading reading) {
  if (reading == reading_) return;
  reading_ = reading;
  post(reading == Reading::Yes         ? kEventPluggedIn
       : reading == Reading::Unplugged ? kEventUnplugged
                                       : kEventNoAccess);
}

void UsbPedalControl::post(int event) {
  const std::uint64_t generation = portGeneration_;
  QMetaObject::invokeMethod(
      this,
      [this, generation, event] {
        if (generation == portGeneration_ && PortOpen()) emitEvent(event);
      },
      Qt::QueuedConnection);
}

void UsbPedalControl::emitEvent(int event, bool held) { emit OnComm({event, held}); }

void UsbPedalControl::deliverKey(std::uint64_t generation, int code, bool down) {
  if (generation != generation_ || !PortOpen()) return;
  const platform::PedalSwitches& switches = find(openPort_)->switches;
  Switch which;
  if (code == switches.left) {
    which = kLeft;
  } else if (code == switches.middle) {
    which = kMiddle;
  } else if (code == switches.right) {
    which = kRight;
  } else {
    return;  // another key of the device
  }
  held_[which] = down;
  emitEvent(EventOf(which), down);
}

void UsbPedalControl::lost(std::uint64_t generation) {
  if (generation != generation_ || !PortOpen()) return;
  // A pedal that is gone holds nothing: each held switch is let go first.
  for (const Switch which : {kLeft, kMiddle, kRight}) {
    if (!held_[which]) continue;
    held_[which] = false;
    emitEvent(EventOf(which), false);
    if (generation != generation_) return;  // the handler closed the port
  }
  detach();
  reading_ = Reading::Unplugged;
  emitEvent(kEventUnplugged);
  // It may be back already, before the device list said it went: a node that still belongs to
  // the vanished device does not open, a new one does.
  if (PortOpen() && !device_.isOpen()) attach();
}
