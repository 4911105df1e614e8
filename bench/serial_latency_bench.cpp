// Delay from a change of a modem line to the pedal handler (OnComm on the window thread), in the
// waiting and the polling watcher, against a floor measured in the same run: a bare thread woken
// through the same pipe that the scripted driver wait uses, handing off to this thread.

#include <benchmark/benchmark.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>


#include "platform/tty_serial_control.h"
#include "pedal_delay.h"
#include "support/scripted_modem_lines.h"

namespace {

void LineChangeToHandler(benchmark::State& state) {
  const bool driverCanWait = state.range(0) != 0;
  int master = -1, slave = -1;
  char name[128];
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
    state.SkipWithError("no pty");
    return;
  }
  testing_support::ScriptedModemLines lines(driverCanWait);
  ::setenv("QUILLMARK_COM1", name, 1);
  TtySerialControl port(&testing_support::ScriptedModemLines::Ioctl);
  port.CommPort = 1;
  if (port.SetPortOpen(true) != 0) {
    state.SkipWithError("cannot open the pty");
    return;
  }

  bench_support::MeasureDelayToHandler(state, port, [&](long n) {
    lines.set(n % 2 == 0 ? TIOCM_DSR : 0);
  });
  port.SetPortOpen(false);
  ::close(master);
  ::close(slave);
}

}  // namespace

BENCHMARK(LineChangeToHandler)->Arg(1)->ArgName("waiting")->UseManualTime()->Iterations(500);
BENCHMARK(LineChangeToHandler)->Arg(0)->ArgName("polling")->UseManualTime()->Iterations(100);
