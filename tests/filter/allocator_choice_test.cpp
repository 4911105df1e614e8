// Allocator choice when an output pin connects: the downstream allocator when it takes our
// sizes, the system memory allocator otherwise; and buffers flowing through the chosen one.
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "fake_allocator.h"
#include "pin_fixture.h"
#include "system_filters.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

class AllocatorChoice : public PinFixture {
 protected:
  AllocatorChoice() {
    out->rules.offered = {MEDIASUBTYPE_PCM};
    downstreamPeer->allocator = downstreamAllocator;
    downstreamPeer->requirements.cbAlign = 0;
    downstreamPeer->requirements.cbPrefix = 8;
  }

  ComPtr<FakeAllocator> downstreamAllocator = MakeDouble<FakeAllocator>();
};

TEST_F(AllocatorChoice, DownstreamAllocatorIsKeptWhenItGrantsTheSizes) {
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  EXPECT_EQ(out->Allocator(), downstreamAllocator.Get());
  EXPECT_EQ(downstreamPeer->notifiedAllocator.Get(), downstreamAllocator.Get());
  EXPECT_EQ(downstreamPeer->notifiedReadOnly, FALSE);
  // The requirements reached the sizing, with an alignment of 0 made 1.
  ASSERT_EQ(out->sizedWith.size(), 1u);
  EXPECT_EQ(out->sizedWith[0].cbAlign, 1);
  EXPECT_EQ(out->sizedWith[0].cbPrefix, 8);
  EXPECT_EQ(downstreamAllocator->granted.cbBuffer, 4096);
}

TEST_F(AllocatorChoice, AllocatorThatRefusesTheSizesIsReplacedByTheSystemOne) {
  downstreamAllocator->largestBuffer = 1024;
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  IMemAllocator* chosen = out->Allocator();
  ASSERT_NE(chosen, nullptr);
  EXPECT_NE(chosen, downstreamAllocator.Get());
  EXPECT_EQ(downstreamPeer->notifiedAllocator.Get(), chosen);

  // The system memory allocator sized with the request as the first try left it.
  ASSERT_EQ(out->sizedWith.size(), 2u);
  EXPECT_EQ(out->sizedWith[1].cbBuffer, 4096);
  EXPECT_EQ(out->sizedWith[1].cbAlign, 1);
  ALLOCATOR_PROPERTIES properties{};
  ASSERT_EQ(chosen->GetProperties(&properties), S_OK);
  EXPECT_EQ(properties.cBuffers, 2);
  EXPECT_EQ(properties.cbBuffer, 4096);
}

TEST_F(AllocatorChoice, SystemAllocatorAlsoStandsInForAMissingOrRefusingOne) {
  downstreamAllocator->setPropertiesResult = VFW_E_ALREADY_COMMITTED;
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  EXPECT_NE(out->Allocator(), downstreamAllocator.Get());
  ASSERT_EQ(out->Disconnect(), S_OK);

  downstreamPeer->allocator.Reset();
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  EXPECT_NE(out->Allocator(), nullptr);
}

TEST_F(AllocatorChoice, ChosenAllocatorCarriesBuffersDownstream) {
  downstreamPeer->allocator.Reset();  // the system memory allocator, for real buffers
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  ASSERT_EQ(out->Activate(), S_OK);
  ComPtr<IMediaSample> sample;
  ASSERT_EQ(out->ObtainBuffer(&sample, nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(sample->GetSize(), 4096);
  EXPECT_EQ(out->DeliverSample(sample.Get()), S_OK);
  EXPECT_EQ(downstreamPeer->received, 1);
  sample.Reset();
  EXPECT_EQ(out->Deactivate(), S_OK);
  EXPECT_EQ(out->ObtainBuffer(&sample, nullptr, nullptr, 0), VFW_E_NOT_COMMITTED);
}

TEST_F(AllocatorChoice, AllocatorThatCannotLetGoKeepsTheConnection) {
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  downstreamAllocator->decommitResult = VFW_E_BUFFERS_OUTSTANDING;
  EXPECT_EQ(out->Disconnect(), VFW_E_BUFFERS_OUTSTANDING);
  EXPECT_TRUE(out->IsConnected());
  downstreamAllocator->decommitResult = S_OK;
  EXPECT_EQ(out->Disconnect(), S_OK);
}

TEST_F(AllocatorChoice, ConnectsToTheNullRenderersInputPin) {
  ComPtr<IBaseFilter> renderer;
  ASSERT_EQ(CoCreateInstance(CLSID_NullRendererFilter, nullptr, CLSCTX_INPROC_SERVER,
                             IID_PPV_ARGS(&renderer)),
            S_OK);
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(renderer->EnumPins(&pins), S_OK);
  ComPtr<IPin> rendererIn;
  ASSERT_EQ(pins->Next(1, &rendererIn, nullptr), S_OK);

  ASSERT_EQ(out->Connect(rendererIn.Get(), nullptr), S_OK);
  ComPtr<IPin> back;
  ASSERT_EQ(rendererIn->ConnectedTo(&back), S_OK);
  EXPECT_EQ(back.Get(), static_cast<IPin*>(out));
  AM_MEDIA_TYPE type;
  ASSERT_EQ(rendererIn->ConnectionMediaType(&type), S_OK);
  EXPECT_TRUE(IsEqualGUID(type.subtype, MEDIASUBTYPE_PCM));
  MediaTypeValue::FreeContents(type);

  ALLOCATOR_PROPERTIES properties{};
  ASSERT_NE(out->Allocator(), nullptr);
  ASSERT_EQ(out->Allocator()->GetProperties(&properties), S_OK);
  EXPECT_EQ(properties.cbBuffer, 4096);

  // Running, the renderer takes what we deliver.
  ASSERT_EQ(out->Activate(), S_OK);
  ASSERT_EQ(renderer->Run(0), S_OK);
  ComPtr<IMediaSample> sample;
  ASSERT_EQ(out->ObtainBuffer(&sample, nullptr, nullptr, 0), S_OK);
  sample->SetActualDataLength(100);
  EXPECT_EQ(out->DeliverSample(sample.Get()), S_OK);
  sample.Reset();
  ASSERT_EQ(renderer->Stop(), S_OK);
  EXPECT_EQ(out->Deactivate(), S_OK);

  EXPECT_EQ(out->Disconnect(), S_OK);
  EXPECT_EQ(rendererIn->Disconnect(), S_OK);
}

}  // namespace
}  // namespace brevin::test
