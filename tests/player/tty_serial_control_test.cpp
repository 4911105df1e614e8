#include "platform/tty_serial_control.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QThread>
#include <vector>

#include "support/scripted_modem_lines.h"
#include "support/wait.h"

namespace {

using testing_support::ScriptedModemLines;

struct Seen {
  int event;
  bool held;
  bool dsr, cts, cd;
  bool onWindowThread;
};

class TtySerialControlTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char name[128];
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    ::setenv("QUILLMARK_COM4", name, 1);
    control_.CommPort = 4;
    QObject::connect(&control_, &SerialControl::OnComm, [this](const CommNotice& notice) {
      seen_.push_back({notice.event, notice.held, control_.DSRHolding(), control_.CTSHolding(),
                       control_.CDHolding(), QThread::currentThread() == qApp->thread()});
    });
  }
  void TearDown() override {
    control_.SetPortOpen(false);
    ::unsetenv("QUILLMARK_COM4");
    ::close(master_);
    ::close(slave_);
  }

  ScriptedModemLines lines_{GetParam()};
  TtySerialControl control_{&ScriptedModemLines::Ioctl};
  std::vector<Seen> seen_;
  int master_ = -1, slave_ = -1;
};

TEST_P(TtySerialControlTest, LineChangesArriveOnTheWindowThreadOneEach) {
  ASSERT_EQ(control_.SetPortOpen(true), 0);
  EXPECT_TRUE(control_.PortOpen());
  lines_.set(TIOCM_DSR);
  ASSERT_TRUE(WaitUntil([&] { return seen_.size() == 1; }));
  lines_.set(TIOCM_CTS | TIOCM_CD);  // DSR released, both wind lines pressed
  ASSERT_TRUE(WaitUntil([&] { return seen_.size() == 4; }));
  lines_.set(TIOCM_CD);
  ASSERT_TRUE(WaitUntil([&] { return seen_.size() == 5; }));
  QCoreApplication::processEvents();
  ASSERT_EQ(seen_.size(), 5u) << "one notification per change";

  const std::pair<int, bool> expected[] = {
      {SerialControl::kEventDSR, true}, {SerialControl::kEventCTS, true},
      {SerialControl::kEventDSR, false}, {SerialControl::kEventCD, true},
      {SerialControl::kEventCTS, false}};
  for (std::size_t i = 0; i < seen_.size(); ++i) {
    EXPECT_EQ(seen_[i].event, expected[i].first) << i;
    EXPECT_EQ(seen_[i].held, expected[i].second) << i;
    EXPECT_TRUE(seen_[i].onWindowThread) << i;
  }
  EXPECT_TRUE(seen_[0].dsr);
  EXPECT_TRUE(seen_[4].cd);
  EXPECT_FALSE(seen_[4].cts);
}

TEST_P(TtySerialControlTest, LinesHeldAtOpenCountAndAPortThatCannotBeReadLetsGo) {
  lines_.set(TIOCM_CTS | TIOCM_DSR);
  ASSERT_EQ(control_.SetPortOpen(true), 0);
  EXPECT_TRUE(control_.CTSHolding()) << "held as the port opens: held, but no change";
  EXPECT_TRUE(seen_.empty());
  lines_.failReads(true);  // the adapter is pulled out
  ASSERT_TRUE(WaitUntil([&] { return seen_.size() == 2; }));
  EXPECT_EQ(seen_[0].event, SerialControl::kEventCTS);
  EXPECT_EQ(seen_[1].event, SerialControl::kEventDSR);
  EXPECT_FALSE(seen_[0].held || seen_[1].held);
  EXPECT_FALSE(control_.CTSHolding() || control_.DSRHolding());
}

TEST_P(TtySerialControlTest, NothingArrivesAfterThePortIsClosed) {
  ASSERT_EQ(control_.SetPortOpen(true), 0);
  lines_.set(TIOCM_DSR);
  // Close once the watcher has posted the change but before the window thread has run it: the
  // notification must be dropped.
  while (lines_.callsSinceSet() < 2) QThread::yieldCurrentThread();
  control_.SetPortOpen(false);
  QCoreApplication::processEvents();
  EXPECT_TRUE(seen_.empty());
  EXPECT_FALSE(control_.DSRHolding()) << "no line counts as held on a closed port";
}

INSTANTIATE_TEST_SUITE_P(WaitingAndPolling, TtySerialControlTest, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Waiting" : "Polling"; });

TEST(TtySerialControlErrors, MissingPortsAreInvalidAndNothingOpens) {
  TtySerialControl control;
  ::setenv("QUILLMARK_COM8", "/dev/no-such-serial-port", 1);
  control.CommPort = 8;
  EXPECT_EQ(control.SetPortOpen(true), platform::kSerialInvalidPort);
  EXPECT_EQ(control.ProbePort(), platform::kSerialInvalidPort);
  EXPECT_FALSE(control.PortOpen());
  ::unsetenv("QUILLMARK_COM8");
  control.CommPort = 0;
  EXPECT_EQ(control.SetPortOpen(true), platform::kSerialInvalidPort);
}

}  // namespace
