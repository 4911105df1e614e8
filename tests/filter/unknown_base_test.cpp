// The object base: inner and outer IUnknown, aggregation, destruction and the live-object count.
#include <objbase.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "counted_double.h"
#include "unknown_base.h"

using Microsoft::WRL::ComPtr;

namespace brevin {
namespace {

class Widget : public UnknownBase, public IPersist {
 public:
  Widget(IUnknown* outer, bool* destroyed) : UnknownBase(outer), destroyed_(destroyed) {}
  ~Widget() override { *destroyed_ = true; }

  BREVIN_OUTER_UNKNOWN
  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IPersist)) return HandOut(static_cast<IPersist*>(this), object);
    return UnknownBase::InnerQueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
    *id = CLSID_NULL;
    return S_OK;
  }

 private:
  bool* destroyed_;
};

// An aggregating object: keeps the inner unknown and hands out the widget's IPersist.
class Outer : public IUnknown, public test::CountedDouble {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown)) {
      *object = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner->QueryInterface(iid, object);
  }
  BREVIN_COUNTED_DOUBLE
  IUnknown* inner = nullptr;
};

TEST(UnknownBase, StandaloneObjectCountsItselfAndDiesAtTheLastRelease) {
  const LONG before = UnknownBase::LiveObjects();
  bool destroyed = false;
  auto* widget = new Widget(nullptr, &destroyed);
  EXPECT_EQ(UnknownBase::LiveObjects(), before + 1);
  EXPECT_EQ(widget->Owner(), widget->AsInnerUnknown());

  IUnknown* inner = widget->AsInnerUnknown();
  EXPECT_EQ(inner->AddRef(), 1u);
  IPersist* persist = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)), S_OK);
  IUnknown* identity = nullptr;
  ASSERT_EQ(persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, inner);
  identity->Release();

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(persist->QueryInterface(IID_IMarshal, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(inner->QueryInterface(IID_IPersist, nullptr), E_POINTER);

  EXPECT_EQ(persist->Release(), 1u);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(inner->Release(), 0u);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(UnknownBase::LiveObjects(), before);
}

TEST(UnknownBase, AggregatedObjectDelegatesToItsOuterAndAnswersItsInnerUnknown) {
  bool destroyed = false;
  auto outer = test::MakeDouble<Outer>();
  auto* widget = new Widget(outer.Get(), &destroyed);
  outer->inner = widget->AsInnerUnknown();
  outer->inner->AddRef();

  ComPtr<IPersist> persist;
  ASSERT_EQ(outer->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
  // References taken through the widget's interfaces land on the outer object.
  EXPECT_EQ(outer->References(), 2);
  ComPtr<IUnknown> identity;
  ASSERT_EQ(persist->QueryInterface(IID_PPV_ARGS(&identity)), S_OK);
  EXPECT_EQ(identity.Get(), static_cast<IUnknown*>(outer.Get()));
  identity.Reset();
  persist.Reset();
  EXPECT_EQ(outer->References(), 1);

  // Only the inner unknown controls the widget's life.
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(outer->inner->Release(), 0u);
  EXPECT_TRUE(destroyed);
}

}  // namespace
}  // namespace brevin
