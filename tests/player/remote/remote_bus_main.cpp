// The remote tests run on a session bus of their own, started before the first test and stopped
// after the last; without one no test runs.

#include <gtest/gtest.h>

#include <memory>

#include "support/private_session_bus.h"

namespace {

class PrivateBusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    bus_ = std::make_unique<PrivateSessionBus>();
    QString error;
    ASSERT_TRUE(bus_->Start(&error)) << error.toStdString();
  }
  void TearDown() override { bus_.reset(); }

 private:
  std::unique_ptr<PrivateSessionBus> bus_;
};

[[maybe_unused]] ::testing::Environment* const kBus =
    ::testing::AddGlobalTestEnvironment(new PrivateBusEnvironment);

}  // namespace
