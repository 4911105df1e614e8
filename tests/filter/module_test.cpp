// The built module: its class object for the filter's class id, and the unload query that
// follows what is alive.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "brevin_module.h"
#include "class_ids.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

TEST(BrevinModule, HandsOutAFactoryForTheFilterAndMayUnloadWhenNothingIsAlive) {
  const BrevinModule module;
  ASSERT_TRUE(module.Loaded()) << "cannot load " << BREVIN_MODULE_PATH;
  EXPECT_EQ(module.CanUnloadNow(), S_OK);

  void* untouched = reinterpret_cast<void*>(1);
  EXPECT_EQ(module.GetClassObject(CLSID_BrevinFilter, IID_IBaseFilter, &untouched),
            E_NOINTERFACE);
  EXPECT_EQ(module.GetClassObject(CLSID_NULL, IID_IClassFactory, &untouched),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(untouched, reinterpret_cast<void*>(1));

  ComPtr<IUnknown> asUnknown;
  ASSERT_EQ(module.GetClassObject(CLSID_BrevinFilter, IID_PPV_ARGS(&asUnknown)), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(asUnknown.As(&factory), S_OK);
  asUnknown.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);

  ComPtr<IBaseFilter> filter;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&filter)), S_OK);
  factory.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(filter->EnumPins(&pins), S_OK);
  filter.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_FALSE);  // the enumerator keeps the filter
  pins.Reset();
  EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace brevin::test
