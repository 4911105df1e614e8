// Pin and media type enumerators, including what they do when the pins or types change under them.
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "fake_filter.h"
#include "media_type_value.h"
#include "test_pins.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

class Enumerators : public ::testing::Test {
 protected:
  Enumerators() {
    first = filter->AddPin<TestInputPin>();
    second = filter->AddPin<TestOutputPin>();
  }

  ComPtr<FakeFilter> filter = MakeDouble<FakeFilter>();
  TestInputPin* first;
  TestOutputPin* second;
};

TEST_F(Enumerators, PinsComeInOrderWithReferencesAndThenRunOut) {
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(filter->EnumPins(&pins), S_OK);
  const LONG before = filter->References();
  IPin* got[2] = {};
  ULONG fetched = 0;
  ASSERT_EQ(pins->Next(2, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(got[0], static_cast<IPin*>(first));
  EXPECT_EQ(got[1], static_cast<IPin*>(second));
  EXPECT_EQ(filter->References(), before + 2);
  got[0]->Release();
  got[1]->Release();
  EXPECT_EQ(pins->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(pins->Next(2, got, nullptr), E_INVALIDARG);
  EXPECT_EQ(pins->Next(1, nullptr, &fetched), E_POINTER);
}

TEST_F(Enumerators, PinEnumeratorStartsOverAfterAChangeButSkipsPinsItGaveOut) {
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(filter->EnumPins(&pins), S_OK);
  ComPtr<IPin> pin;
  ASSERT_EQ(pins->Next(1, &pin, nullptr), S_OK);
  EXPECT_EQ(pin.Get(), static_cast<IPin*>(first));

  auto* third = filter->AddPin<TestInputPin>();
  EXPECT_EQ(pins->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
  IPin* got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(pins->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(got[0], static_cast<IPin*>(second));
  EXPECT_EQ(got[1], static_cast<IPin*>(third));
  got[0]->Release();
  got[1]->Release();

  ASSERT_EQ(pins->Reset(), S_OK);
  EXPECT_EQ(pins->Skip(4), S_FALSE);
  EXPECT_EQ(pins->Skip(3), S_OK);
}

TEST_F(Enumerators, MissingPinHandsOutNothing) {
  filter->vanishedPins = 1;
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(filter->EnumPins(&pins), S_OK);
  const LONG before = filter->References();
  IPin* got[3] = {};
  ULONG fetched = 7;
  EXPECT_EQ(pins->Next(3, got, &fetched), VFW_E_ENUM_OUT_OF_SYNC);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(filter->References(), before);
}

TEST_F(Enumerators, EnumeratorKeepsItsFilterAlive) {
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(filter->EnumPins(&pins), S_OK);
  ComPtr<IEnumPins> copy;
  ASSERT_EQ(pins->Clone(&copy), S_OK);
  FakeFilter* raw = filter.Get();
  filter.Reset();
  pins.Reset();
  EXPECT_EQ(raw->References(), 1);
  ComPtr<IPin> pin;
  EXPECT_EQ(copy->Next(1, &pin, nullptr), S_OK);
}

TEST_F(Enumerators, MediaTypesComeAsTaskMemoryUntilThePinsTypesChange) {
  second->rules.offered = {MEDIASUBTYPE_PCM, MEDIASUBTYPE_IEEE_FLOAT};
  ComPtr<IEnumMediaTypes> types;
  ASSERT_EQ(second->EnumMediaTypes(&types), S_OK);
  AM_MEDIA_TYPE* got[3] = {};
  ULONG fetched = 0;
  ASSERT_EQ(types->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  MediaTypeValue pcm = MediaTypeValue::Adopt(got[0]);
  MediaTypeValue floats = MediaTypeValue::Adopt(got[1]);
  EXPECT_TRUE(IsEqualGUID(pcm.Subtype(), MEDIASUBTYPE_PCM));
  EXPECT_TRUE(IsEqualGUID(floats.Subtype(), MEDIASUBTYPE_IEEE_FLOAT));
  EXPECT_EQ(pcm.FormatLength(), 4u);
  EXPECT_EQ(types->Next(2, got, nullptr), E_INVALIDARG);
  EXPECT_EQ(types->Next(1, nullptr, nullptr), E_POINTER);

  second->IncrementMediaTypeVersion();
  EXPECT_EQ(types->Next(1, got, &fetched), VFW_E_ENUM_OUT_OF_SYNC);
  EXPECT_EQ(types->Skip(1), VFW_E_ENUM_OUT_OF_SYNC);
  EXPECT_EQ(types->Skip(0), S_OK);
  ASSERT_EQ(types->Reset(), S_OK);
  EXPECT_EQ(types->Skip(2), S_OK);
  EXPECT_EQ(types->Skip(1), S_FALSE);
}

TEST_F(Enumerators, PinThatOffersNothingEnumeratesNothing) {
  ComPtr<IEnumMediaTypes> types;
  ASSERT_EQ(first->EnumMediaTypes(&types), S_OK);
  AM_MEDIA_TYPE* got = nullptr;
  ULONG fetched = 5;
  EXPECT_EQ(types->Next(1, &got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(first->EnumMediaTypes(nullptr), E_POINTER);
}

}  // namespace
}  // namespace brevin::test
