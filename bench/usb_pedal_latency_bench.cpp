// Delay from a pedal's input_event record written to the device's fd to the pedal handler (OnComm
// on the window thread), through the real reader and the USB pedal control, against a floor
// measured in the same run: a bare thread woken through a pipe, handing off to this thread.

#include <benchmark/benchmark.h>


#include "pedal_delay.h"
#include "platform/usb_pedal_control.h"
#include "support/fake_input_directory.h"
#include "support/scripted_input_devices.h"

namespace {

void PedalEventToHandler(benchmark::State& state) {
  const std::string node = "/dev/input/event5";
  testing_support::ScriptedInputDevices devices;
  devices.plug(node, {BTN_0, BTN_1, BTN_2});
  FakeInputDirectory directory;
  directory.devices = {VecPedal(node)};
  UsbPedalControl pedal(directory, testing_support::ScriptedInputDevices::Calls());
  pedal.CommPort = UsbPedalControl::kFirstPort;
  if (pedal.SetPortOpen(true) != 0 || !devices.grabbed(node)) {
    state.SkipWithError("the pedal did not open");
    return;
  }

  bench_support::MeasureDelayToHandler(state, pedal, [&](long n) {
    devices.key(node, BTN_1, n % 2 == 0 ? 1 : 0);
  });
  pedal.SetPortOpen(false);
}

}  // namespace

BENCHMARK(PedalEventToHandler)->UseManualTime()->Iterations(2000);
