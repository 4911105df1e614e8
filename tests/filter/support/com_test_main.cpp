// GoogleTest main for the Windows tests: COM is initialised once for the whole run, and the run
// fails when any framework object outlives it (a reference leaked somewhere).
#include <objbase.h>

#include <gtest/gtest.h>

#include "unknown_base.h"

namespace {

class NoObjectLeftBehind : public ::testing::Environment {
 public:
  void TearDown() override {
    EXPECT_EQ(brevin::UnknownBase::LiveObjects(), 0) << "framework objects still alive";
  }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new NoObjectLeftBehind);
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
