#pragma once
// A transform filter of type F under test, with its two pins, a peer on each side and a graph
// that records events. Every link is undone at the end so that nothing keeps another alive.
#include <windows.h>
#include <strmif.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "counted_double.h"
#include "fake_graph.h"
#include "media_type_value.h"
#include "peer_pin.h"
#include "transform_input_pin.h"
#include "transform_output_pin.h"

namespace brevin::test {

template <class F>
class TransformFixture : public ::testing::Test {
 protected:
  // Takes the new filter (reference count 0) and holds it.
  explicit TransformFixture(F* made) : transform(made) {
    made->InnerQueryInterface(IID_PPV_ARGS(&filter));
    in = static_cast<TransformInputPin*>(transform->PinAt(0));
    out = static_cast<TransformOutputPin*>(transform->PinAt(1));
  }

  ~TransformFixture() override {
    filter->Stop();
    filter->JoinFilterGraph(nullptr, nullptr);
    out->Disconnect();
    in->Disconnect();
    upstream->Disconnect();
    downstream->Disconnect();
  }

  // The input pin connected from the upstream peer with `type`.
  HRESULT ConnectInputWith(const MediaTypeValue& type) {
    return in->ReceiveConnection(upstream.Get(), &type.Type());
  }

  F* transform;
  Microsoft::WRL::ComPtr<IBaseFilter> filter;
  TransformInputPin* in;
  TransformOutputPin* out;
  Microsoft::WRL::ComPtr<PeerPin> upstream = MakeDouble<PeerPin>(PINDIR_OUTPUT);
  Microsoft::WRL::ComPtr<PeerPin> downstream = MakeDouble<PeerPin>(PINDIR_INPUT);
  Microsoft::WRL::ComPtr<FakeGraph> graph = MakeDouble<FakeGraph>();
};

}  // namespace brevin::test
