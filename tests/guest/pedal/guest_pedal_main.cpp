// guest_pedal: the known USB pedal on the guest's virtual USB bus, for scripts.
//   guest_pedal plug          makes and plugs in the pedal, prints its event node; it stays
//   guest_pedal switches BITS the switches held (bit 0 left, 1 middle, 2 right)

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "pedal/virtual_devices.h"

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "plug" && argc == 2) {
      guest::GadgetPedal pedal(0x05f3, 0x00ff, "VEC", "VEC USB Footpedal");
      pedal.Keep();
      std::printf("%s\n", pedal.Node().c_str());
      return 0;
    }
    if (command == "switches" && argc == 3) {
      guest::GadgetPedal::SendReport(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 0)));
      return 0;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "guest_pedal: %s\n", error.what());
    return 1;
  }
  std::fprintf(stderr, "usage: guest_pedal plug | switches BITS\n");
  return 2;
}
