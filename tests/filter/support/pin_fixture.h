#pragma once
// Two filters of our own, one with an output pin and one with an input pin, and a peer pin of
// another filter. Every link is undone at the end so that no filter keeps another alive.
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "audio_types.h"
#include "fake_filter.h"
#include "peer_pin.h"
#include "test_pins.h"

namespace brevin::test {

class PinFixture : public ::testing::Test {
 protected:
  PinFixture()
      : upstream(MakeDouble<FakeFilter>()),
        downstream(MakeDouble<FakeFilter>()),
        out(upstream->AddPin<TestOutputPin>()),
        in(downstream->AddPin<TestInputPin>()),
        downstreamPeer(MakeDouble<PeerPin>(PINDIR_INPUT)),
        upstreamPeer(MakeDouble<PeerPin>(PINDIR_OUTPUT)) {}

  ~PinFixture() override {
    upstream->state = State_Stopped;
    downstream->state = State_Stopped;
    out->Disconnect();
    in->Disconnect();
    downstreamPeer->Disconnect();
    upstreamPeer->Disconnect();
  }

  // Connects `in` from the upstream peer with the given audio subtype.
  HRESULT ConnectInputFromPeer(const GUID& subtype) {
    const MediaTypeValue type = AudioType(subtype);
    return in->ReceiveConnection(upstreamPeer.Get(), &type.Type());
  }

  Microsoft::WRL::ComPtr<FakeFilter> upstream;
  Microsoft::WRL::ComPtr<FakeFilter> downstream;
  TestOutputPin* out;
  TestInputPin* in;
  Microsoft::WRL::ComPtr<PeerPin> downstreamPeer;
  Microsoft::WRL::ComPtr<PeerPin> upstreamPeer;
};

}  // namespace brevin::test
