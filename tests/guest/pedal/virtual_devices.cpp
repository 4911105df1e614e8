#include "virtual_devices.h"

#include <fcntl.h>
#include <linux/uinput.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace guest {
namespace fs = std::filesystem;
namespace {

// Under emulation the kernel and udev can take seconds for what takes milliseconds on a machine;
// this is only how long to wait before calling it a failure.
constexpr auto kPatience = std::chrono::seconds(60);

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string ReadLine(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

void WriteFile(const fs::path& path, const std::string& data) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) Fail("open " + path.string());
  const ssize_t written = ::write(fd, data.data(), data.size());
  const int error = errno;
  ::close(fd);
  errno = error;
  if (written != static_cast<ssize_t>(data.size())) Fail("write " + path.string());
}

template <typename Predicate>
bool WaitFor(Predicate done) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string HexId(std::uint16_t id) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", id);
  return text;
}

// The HID report of a three-switch pedal: buttons 1 to 3 in the low bits of one byte, in a
// consumer-page application collection, as the known pedal describes itself. The kernel's
// generic HID driver sends such buttons as BTN_0 to BTN_2.
const unsigned char kPedalReportDescriptor[] = {
    0x05, 0x0c,  // usage page: consumer
    0x09, 0x03,  // usage: programmable buttons
    0xa1, 0x01,  // collection: application
    0x05, 0x09,  //   usage page: buttons
    0x19, 0x01,  //   usage minimum 1
    0x29, 0x03,  //   usage maximum 3
    0x15, 0x00,  //   logical minimum 0
    0x25, 0x01,  //   logical maximum 1
    0x75, 0x01,  //   report size 1
    0x95, 0x03,  //   report count 3
    0x81, 0x02,  //   input: data, variable, absolute
    0x75, 0x05,  //   report size 5
    0x95, 0x01,  //   report count 1
    0x81, 0x01,  //   input: constant (padding)
    0xc0,        // end collection
};

const char kGadgetDir[] = "/sys/kernel/config/usb_gadget/pedal";
const char kReportNode[] = "/dev/hidg0";

std::string FirstUdc() {
  for (const auto& entry : fs::directory_iterator("/sys/class/udc")) {
    return entry.path().filename();
  }
  throw std::runtime_error("no USB device controller (dummy_hcd not loaded)");
}

}  // namespace

void SettleDevices() {
  if (std::system("udevadm settle --timeout=60") != 0) {
    throw std::runtime_error("udevadm settle failed");
  }
}

std::string WaitForEventNode(std::uint16_t vendor, std::uint16_t product, const std::string& name,
                             bool present) {
  std::string node;
  const auto find = [&] {
    node.clear();
    for (const auto& entry : fs::directory_iterator("/sys/class/input")) {
      const std::string sysname = entry.path().filename();
      if (sysname.rfind("event", 0) != 0) continue;
      const fs::path input = entry.path() / "device";
      if (ReadLine(input / "id/vendor") == HexId(vendor) &&
          ReadLine(input / "id/product") == HexId(product) && ReadLine(input / "name") == name) {
        node = "/dev/input/" + sysname;
        // udev keeps a record of every device it has handled.
        const std::string numbers = ReadLine(entry.path() / "dev");
        if (fs::exists(node) && fs::exists("/run/udev/data/c" + numbers)) return true;
      }
    }
    node.clear();
    return false;
  };
  if (present) {
    WaitFor(find);
  } else {
    WaitFor([&] { return !find(); });
  }
  return node;
}

// ---- UinputDevice ----

UinputDevice::UinputDevice(std::uint16_t vendor, std::uint16_t product, const std::string& name,
                           const std::vector<int>& keys, const std::string& phys) {
  fd_ = ::open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) Fail("open /dev/uinput");
  if (::ioctl(fd_, UI_SET_EVBIT, EV_KEY) < 0) Fail("UI_SET_EVBIT");
  for (const int key : keys) {
    if (::ioctl(fd_, UI_SET_KEYBIT, key) < 0) Fail("UI_SET_KEYBIT");
  }
  if (!phys.empty() && ::ioctl(fd_, UI_SET_PHYS, phys.c_str()) < 0) Fail("UI_SET_PHYS");
  uinput_setup setup{};
  setup.id.bustype = BUS_USB;
  setup.id.vendor = vendor;
  setup.id.product = product;
  std::strncpy(setup.name, name.c_str(), UINPUT_MAX_NAME_SIZE - 1);
  if (::ioctl(fd_, UI_DEV_SETUP, &setup) < 0) Fail("UI_DEV_SETUP");
  if (::ioctl(fd_, UI_DEV_CREATE) < 0) Fail("UI_DEV_CREATE");
  node_ = WaitForEventNode(vendor, product, name);
  if (node_.empty()) throw std::runtime_error("no event node for the uinput device " + name);
}

UinputDevice::~UinputDevice() {
  ::ioctl(fd_, UI_DEV_DESTROY);
  ::close(fd_);
  SettleDevices();
}

input_event UinputDevice::Event(int type, int code, int value) {
  input_event event{};
  event.type = static_cast<std::uint16_t>(type);
  event.code = static_cast<std::uint16_t>(code);
  event.value = value;
  return event;
}

void UinputDevice::Key(int code, bool down) {
  Write({Event(EV_KEY, code, down ? 1 : 0), Event(EV_SYN, SYN_REPORT, 0)});
}

void UinputDevice::Write(const std::vector<input_event>& events) {
  const auto size = static_cast<ssize_t>(events.size() * sizeof(input_event));
  if (::write(fd_, events.data(), static_cast<size_t>(size)) != size) Fail("write to uinput");
}

// ---- GadgetPedal ----

GadgetPedal::GadgetPedal(std::uint16_t vendor, std::uint16_t product,
                         const std::string& manufacturer, const std::string& productName)
    : dir_(kGadgetDir), vendor_(vendor), product_(product) {
  const fs::path gadget(dir_);
  fs::create_directory(gadget);
  WriteFile(gadget / "idVendor", "0x" + HexId(vendor));
  WriteFile(gadget / "idProduct", "0x" + HexId(product));
  WriteFile(gadget / "bcdUSB", "0x0200");
  fs::create_directories(gadget / "strings/0x409");
  WriteFile(gadget / "strings/0x409/manufacturer", manufacturer);
  WriteFile(gadget / "strings/0x409/product", productName);
  fs::create_directories(gadget / "configs/c.1/strings/0x409");
  WriteFile(gadget / "configs/c.1/strings/0x409/configuration", "pedal");
  const fs::path hid = gadget / "functions/hid.usb0";
  fs::create_directory(hid);
  WriteFile(hid / "protocol", "0");
  WriteFile(hid / "subclass", "0");
  WriteFile(hid / "report_length", "1");
  WriteFile(hid / "report_desc",
            std::string(reinterpret_cast<const char*>(kPedalReportDescriptor),
                        sizeof kPedalReportDescriptor));
  fs::create_symlink(hid, gadget / "configs/c.1/hid.usb0");
  Plug();
}

GadgetPedal::~GadgetPedal() {
  if (keep_) return;
  try {
    Unplug();
    const fs::path gadget(dir_);
    fs::remove(gadget / "configs/c.1/hid.usb0");
    fs::remove(gadget / "configs/c.1/strings/0x409");
    fs::remove(gadget / "configs/c.1");
    fs::remove(gadget / "functions/hid.usb0");
    fs::remove(gadget / "strings/0x409");
    fs::remove(gadget);
  } catch (const std::exception&) {
    // A gadget left behind is gone with the guest.
  }
}

void GadgetPedal::findNode() {
  // The kernel names the device "manufacturer product" from the USB strings.
  const fs::path strings = fs::path(dir_) / "strings/0x409";
  const std::string name = ReadLine(strings / "manufacturer") + " " + ReadLine(strings / "product");
  node_ = WaitForEventNode(vendor_, product_, name);
  if (node_.empty()) throw std::runtime_error("the USB pedal " + name + " got no event node");
}

void GadgetPedal::Plug() {
  WriteFile(fs::path(dir_) / "UDC", FirstUdc());
  findNode();
}

void GadgetPedal::Unplug() {
  if (ReadLine(fs::path(dir_) / "UDC").empty()) return;
  const fs::path strings = fs::path(dir_) / "strings/0x409";
  const std::string name = ReadLine(strings / "manufacturer") + " " + ReadLine(strings / "product");
  WriteFile(fs::path(dir_) / "UDC", "\n");
  WaitForEventNode(vendor_, product_, name, /*present=*/false);
  node_.clear();
}

void GadgetPedal::Switches(unsigned bits) { SendReport(bits); }

void GadgetPedal::SendReport(unsigned bits) {
  const int fd = ::open(kReportNode, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) Fail(std::string("open ") + kReportNode);
  const unsigned char report = static_cast<unsigned char>(bits & 0x07);
  // The report waits until the host side polls for it, which it does while the input device is
  // open; a report still queued from before waits first.
  const bool sent = WaitFor([&] {
    if (::write(fd, &report, 1) == 1) return true;
    if (errno != EAGAIN) Fail(std::string("write ") + kReportNode);
    pollfd ready{fd, POLLOUT, 0};
    ::poll(&ready, 1, 100);
    return false;
  });
  ::close(fd);
  if (!sent) throw std::runtime_error("the USB host side never took the pedal's report");
}

}  // namespace guest
