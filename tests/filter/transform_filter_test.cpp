// The transform filter framework with peer pins of our own: pins and ids, connection order,
// state changes, the receive path and what passes through to the downstream pin.
#include <control.h>
#include <evcode.h>
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <cstring>
#include <chrono>
#include <future>

#include <gtest/gtest.h>

#include "audio_types.h"
#include "copy_transform.h"
#include "fake_sample.h"
#include "transform_fixture.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

class TransformFilter : public TransformFixture<CopyTransform> {
 protected:
  TransformFilter() : TransformFixture(new CopyTransform) {
    transform->accepted = {MEDIASUBTYPE_PCM};
  }

  HRESULT ConnectInput(const GUID& subtype = MEDIASUBTYPE_PCM) {
    return ConnectInputWith(AudioType(subtype));
  }

  // Both pins connected, the filter in a graph that records events, and paused.
  void Stream() {
    ASSERT_EQ(ConnectInput(), S_OK);
    ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
    ASSERT_EQ(filter->JoinFilterGraph(graph.Get(), L"copy"), S_OK);
    ASSERT_EQ(filter->Pause(), S_OK);
  }

  ComPtr<FakeSample> Sample(long length, bool sample2 = false) {
    auto sample = MakeDouble<FakeSample>(length, sample2);
    sample->actualLength = length;
    for (long i = 0; i < length; ++i) sample->Data()[i] = static_cast<BYTE>(i * 7);
    return sample;
  }
};

TEST_F(TransformFilter, PinsAreFoundByIdAndNamedForShow) {
  ComPtr<IPin> pin;
  ASSERT_EQ(filter->FindPin(L"In", &pin), S_OK);
  EXPECT_EQ(pin.Get(), static_cast<IPin*>(in));
  ASSERT_EQ(filter->FindPin(L"Out", &pin), S_OK);
  EXPECT_EQ(pin.Get(), static_cast<IPin*>(out));
  IPin* none = reinterpret_cast<IPin*>(1);
  EXPECT_EQ(filter->FindPin(L"XForm In", &none), VFW_E_NOT_FOUND);
  EXPECT_EQ(none, nullptr);

  PIN_INFO info;
  ASSERT_EQ(out->QueryPinInfo(&info), S_OK);
  EXPECT_STREQ(info.achName, L"XForm Out");
  EXPECT_EQ(info.pFilter, filter.Get());
  info.pFilter->Release();
  LPWSTR id = nullptr;
  ASSERT_EQ(in->QueryId(&id), S_OK);
  EXPECT_STREQ(id, L"In");
  CoTaskMemFree(id);

  FILTER_STATE state;
  EXPECT_EQ(filter->GetState(INFINITE, &state), S_OK);
  EXPECT_EQ(state, State_Stopped);
}

TEST_F(TransformFilter, OutputWaitsForTheInputAndInputOffersNothing) {
  downstream->Offer(MEDIASUBTYPE_PCM);
  EXPECT_EQ(out->Connect(downstream.Get(), nullptr), E_UNEXPECTED);
  for (IPin* pin : {static_cast<IPin*>(out), static_cast<IPin*>(in)}) {
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pin->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    ULONG fetched = 9;
    EXPECT_EQ(types->Next(1, &type, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
  }

  ASSERT_EQ(ConnectInput(), S_OK);
  ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
  EXPECT_TRUE(IsEqualGUID(out->ConnectionType().Subtype(), MEDIASUBTYPE_PCM));
}

TEST_F(TransformFilter, PauseWithoutInputEndsTheStreamDownstreamOncePerStop) {
  ASSERT_EQ(ConnectInput(), S_OK);
  ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
  ASSERT_EQ(in->Disconnect(), S_OK);
  ASSERT_EQ(filter->Pause(), S_OK);
  ASSERT_EQ(filter->Run(0), S_OK);
  ASSERT_EQ(filter->Pause(), S_OK);
  EXPECT_EQ(downstream->endOfStreams, 1);
  ASSERT_EQ(filter->Stop(), S_OK);
  ASSERT_EQ(filter->Pause(), S_OK);
  EXPECT_EQ(downstream->endOfStreams, 2);
}

TEST_F(TransformFilter, SamplesAreRefusedUntilBothPinsAreConnectedAndTheFilterRuns) {
  auto sample = Sample(16);
  ASSERT_EQ(ConnectInput(), S_OK);
  EXPECT_EQ(in->Receive(sample.Get()), VFW_E_NOT_CONNECTED);
  ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
  EXPECT_EQ(in->Receive(sample.Get()), VFW_E_WRONG_STATE);
  ASSERT_EQ(filter->Pause(), S_OK);
  ASSERT_EQ(in->BeginFlush(), S_OK);
  EXPECT_EQ(in->Receive(sample.Get()), S_FALSE);
  ASSERT_EQ(in->EndFlush(), S_OK);
  EXPECT_EQ(downstream->beginFlushes, 1);
  EXPECT_EQ(downstream->endFlushes, 1);
  EXPECT_EQ(in->Receive(sample.Get()), S_OK);
  EXPECT_EQ(downstream->received, 1);
}

TEST_F(TransformFilter, OutputSampleCarriesTheBytesTimesAndFlags) {
  Stream();
  for (bool sample2 : {false, true}) {
    auto sample = Sample(1000, sample2);
    sample->hasTime = true;
    sample->start = 5000;
    sample->stop = 6000;
    sample->syncPoint = S_OK;
    sample->discontinuity = S_OK;
    ASSERT_EQ(in->Receive(sample.Get()), S_OK);
    ASSERT_TRUE(downstream->lastSample);
    IMediaSample* delivered = downstream->lastSample.Get();
    EXPECT_NE(delivered, static_cast<IMediaSample*>(sample.Get()));
    ASSERT_EQ(delivered->GetActualDataLength(), 1000);
    BYTE* bytes = nullptr;
    ASSERT_EQ(delivered->GetPointer(&bytes), S_OK);
    EXPECT_EQ(std::memcmp(bytes, sample->Data(), 1000), 0);
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    ASSERT_EQ(delivered->GetTime(&start, &stop), S_OK);
    EXPECT_EQ(start, 5000);
    EXPECT_EQ(stop, 6000);
    EXPECT_EQ(delivered->IsSyncPoint(), S_OK);
    EXPECT_EQ(delivered->IsDiscontinuity(), S_OK);
    downstream->lastSample.Reset();
  }
}

TEST_F(TransformFilter, RefusedTypeChangeAbortsEndsTheStreamAndHoldsUntilStop) {
  Stream();
  auto changed = Sample(16);
  changed->hasType = true;
  changed->type = AudioType(MEDIASUBTYPE_IEEE_FLOAT);
  EXPECT_EQ(in->Receive(changed.Get()), VFW_E_INVALIDMEDIATYPE);
  EXPECT_EQ(downstream->endOfStreams, 1);
  ASSERT_EQ(graph->events.size(), 1u);
  EXPECT_EQ(graph->events[0].code, EC_ERRORABORT);
  EXPECT_EQ(graph->events[0].param1, static_cast<LONG_PTR>(VFW_E_TYPE_NOT_ACCEPTED));

  auto plain = Sample(16);
  EXPECT_EQ(in->Receive(plain.Get()), VFW_E_RUNTIME_ERROR);
  EXPECT_EQ(in->EndOfStream(), VFW_E_RUNTIME_ERROR);
  ASSERT_EQ(filter->Stop(), S_OK);
  ASSERT_EQ(filter->Pause(), S_OK);
  EXPECT_EQ(in->Receive(plain.Get()), S_OK);
}

TEST_F(TransformFilter, NonMediaSamplesPassUnchanged) {
  Stream();
  auto control = Sample(8, true);
  control->streamId = AM_STREAM_CONTROL;
  ASSERT_EQ(in->Receive(control.Get()), S_OK);
  EXPECT_EQ(downstream->lastSample.Get(), static_cast<IMediaSample*>(control.Get()));
  EXPECT_EQ(transform->transformed, 0);
}

TEST_F(TransformFilter, DroppedSamplesReportOneQualityChangeUntilTheNextPause) {
  Stream();
  transform->dropping = 2;
  auto sample = Sample(8);
  EXPECT_EQ(in->Receive(sample.Get()), S_OK);
  EXPECT_EQ(in->Receive(sample.Get()), S_OK);
  EXPECT_EQ(downstream->received, 0);
  ASSERT_EQ(graph->events.size(), 1u);
  EXPECT_EQ(graph->events[0].code, EC_QUALITY_CHANGE);
  EXPECT_EQ(in->Receive(sample.Get()), S_OK);
  EXPECT_EQ(downstream->received, 1);
}

TEST_F(TransformFilter, SeekingIsAnsweredByOnePassThroughObject) {
  ComPtr<IMediaSeeking> first;
  ComPtr<IMediaSeeking> second;
  ASSERT_EQ(out->QueryInterface(IID_PPV_ARGS(&first)), S_OK);
  ASSERT_EQ(out->QueryInterface(IID_PPV_ARGS(&second)), S_OK);
  EXPECT_EQ(first.Get(), second.Get());
  // The pass-through is aggregated: asking it for IPin reaches the output pin.
  ComPtr<IPin> pin;
  ASSERT_EQ(first->QueryInterface(IID_PPV_ARGS(&pin)), S_OK);
  EXPECT_EQ(pin.Get(), static_cast<IPin*>(out));
  EXPECT_EQ(out->QueryInterface(IID_IMediaPosition, nullptr), E_POINTER);
}

// A renderer downstream asks for seeking on the streaming thread, inside our receive lock, while
// the control thread may hold the filter lock waiting for that receive lock (Stop). Neither the
// seeking object nor ConnectedTo may wait for the filter lock then.
TEST_F(TransformFilter, SeekingAndPeerQueriesDoNotWaitForTheFilterLock) {
  ASSERT_EQ(ConnectInput(), S_OK);
  HRESULT seekingResult = E_FAIL;
  HRESULT peerResult = E_FAIL;
  std::future<void> streaming;
  bool finished = false;
  {
    ScopedLock control(transform->FilterLock());
    streaming = std::async(std::launch::async, [&] {
      ScopedLock receiving(transform->ReceiveLock());
      ComPtr<IMediaSeeking> seeking;
      seekingResult = out->QueryInterface(IID_PPV_ARGS(&seeking));
      ComPtr<IPin> peer;
      peerResult = in->ConnectedTo(&peer);
    });
    finished = streaming.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  }
  streaming.wait();
  EXPECT_TRUE(finished) << "the streaming thread waited for the filter lock";
  EXPECT_EQ(seekingResult, S_OK);
  EXPECT_EQ(peerResult, S_OK);
}

TEST_F(TransformFilter, QualityNoticesGoUpstreamWhenTheFilterLeavesThem) {
  Stream();
  const Quality notice{Flood, 900, 20, 0};
  EXPECT_EQ(out->Notify(filter.Get(), notice), S_OK);
  EXPECT_EQ(upstream->qualityNotices, 1);
  EXPECT_EQ(upstream->lastQualitySender, filter.Get());
}

}  // namespace
}  // namespace brevin::test
