// The built module loads and answers the unload query.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(BrevinModule, LoadsAndMayBeUnloadedWhenNothingIsAlive) {
  HMODULE module = LoadLibraryA(BREVIN_MODULE_PATH);
  ASSERT_NE(module, nullptr) << "cannot load " << BREVIN_MODULE_PATH << ": " << GetLastError();
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_OK);
  EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
