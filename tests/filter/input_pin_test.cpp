// The input pin's memory transport: allocator hand-over, the base receive steps with their
// property capture and refused type changes, flushing, blocking and quality notices.
#include <evcode.h>
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "fake_allocator.h"
#include "fake_sample.h"
#include "pin_fixture.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

class InputPin : public PinFixture {
 protected:
  // Connected from upstream, taking PCM only, with the filter paused.
  void Stream() {
    in->rules.accepted = {MEDIASUBTYPE_PCM};
    ASSERT_EQ(ConnectInputFromPeer(MEDIASUBTYPE_PCM), S_OK);
    downstream->state = State_Paused;
  }

  static ComPtr<FakeSample> Sample(bool sample2) { return MakeDouble<FakeSample>(256, sample2); }
};

TEST_F(InputPin, GetAllocatorMakesTheSystemAllocatorOnceAndNotifyReplacesIt) {
  ComPtr<IMemAllocator> first;
  ComPtr<IMemAllocator> second;
  ASSERT_EQ(in->GetAllocator(&first), S_OK);
  ASSERT_EQ(in->GetAllocator(&second), S_OK);
  EXPECT_EQ(first.Get(), second.Get());
  EXPECT_EQ(in->GetAllocator(nullptr), E_POINTER);

  auto given = MakeDouble<FakeAllocator>();
  EXPECT_EQ(in->NotifyAllocator(nullptr, FALSE), E_POINTER);
  ASSERT_EQ(in->NotifyAllocator(given.Get(), TRUE), S_OK);
  EXPECT_EQ(in->Allocator(), given.Get());
  EXPECT_TRUE(in->IsReadOnly());
  EXPECT_EQ(given->References(), 2);
  ALLOCATOR_PROPERTIES properties{};
  EXPECT_EQ(in->GetAllocatorRequirements(&properties), E_NOTIMPL);
}

TEST_F(InputPin, ReceiveRefusesWhatTheStreamingCheckRefuses) {
  auto sample = Sample(false);
  EXPECT_EQ(in->Receive(nullptr), E_POINTER);
  EXPECT_EQ(in->Receive(sample.Get()), VFW_E_NOT_CONNECTED);
  in->rules.accepted = {MEDIASUBTYPE_PCM};
  ASSERT_EQ(ConnectInputFromPeer(MEDIASUBTYPE_PCM), S_OK);
  EXPECT_EQ(in->Receive(sample.Get()), VFW_E_WRONG_STATE);
  downstream->state = State_Running;
  EXPECT_EQ(in->BeginFlush(), S_OK);
  EXPECT_EQ(in->Receive(sample.Get()), S_FALSE);
  EXPECT_EQ(in->EndFlush(), S_OK);
  EXPECT_EQ(in->Receive(sample.Get()), S_OK);
}

TEST_F(InputPin, PropertiesAreBuiltFromTheQuestionsOfAPlainSample) {
  Stream();
  auto sample = Sample(false);
  sample->discontinuity = S_OK;
  sample->preroll = S_OK;
  sample->syncPoint = S_OK;
  sample->hasTime = true;
  sample->hasStopTime = false;  // a success code still counts as times given
  sample->start = 100;
  sample->stop = 200;
  sample->actualLength = 50;
  sample->hasType = true;
  sample->type = AudioType(MEDIASUBTYPE_PCM);
  ASSERT_EQ(in->Receive(sample.Get()), S_OK);

  const AM_SAMPLE2_PROPERTIES& props = in->SampleProperties();
  EXPECT_EQ(props.cbData, sizeof(AM_SAMPLE2_PROPERTIES));
  EXPECT_EQ(props.dwTypeSpecificFlags, 0u);
  EXPECT_EQ(props.dwStreamId, static_cast<DWORD>(AM_STREAM_MEDIA));
  EXPECT_EQ(props.dwSampleFlags,
            static_cast<DWORD>(AM_SAMPLE_SPLICEPOINT | AM_SAMPLE_PREROLL |
                               AM_SAMPLE_DATADISCONTINUITY | AM_SAMPLE_TYPECHANGED |
                               AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID));
  EXPECT_EQ(props.tStart, 100);
  EXPECT_EQ(props.tStop, 200);
  EXPECT_EQ(props.lActual, 50);
  EXPECT_EQ(props.cbBuffer, 256);
  EXPECT_EQ(props.pbBuffer, sample->Data());
  ASSERT_NE(props.pMediaType, nullptr);
  EXPECT_TRUE(IsEqualGUID(props.pMediaType->subtype, MEDIASUBTYPE_PCM));

  auto bare = Sample(false);
  ASSERT_EQ(in->Receive(bare.Get()), S_OK);
  EXPECT_EQ(in->SampleProperties().dwSampleFlags, 0u);
  EXPECT_EQ(in->SampleProperties().pMediaType, nullptr);
}

TEST_F(InputPin, PropertiesComeWholeFromASampleThatOffersThem) {
  Stream();
  auto sample = Sample(true);
  sample->typeSpecificFlags = 0x55;
  sample->streamId = AM_STREAM_CONTROL;
  sample->syncPoint = S_OK;
  sample->actualLength = 12;
  ASSERT_EQ(in->Receive(sample.Get()), S_OK);
  EXPECT_EQ(in->SampleProperties().dwTypeSpecificFlags, 0x55u);
  EXPECT_EQ(in->SampleProperties().dwStreamId, static_cast<DWORD>(AM_STREAM_CONTROL));
  EXPECT_EQ(in->SampleProperties().dwSampleFlags, static_cast<DWORD>(AM_SAMPLE_SPLICEPOINT));
  EXPECT_EQ(in->SampleProperties().lActual, 12);

  sample->getPropertiesResult = E_UNEXPECTED;
  EXPECT_EQ(in->Receive(sample.Get()), E_UNEXPECTED);
}

class RefusedTypeChange : public InputPin, public ::testing::WithParamInterface<bool> {};

TEST_P(RefusedTypeChange, AbortsTheStreamAndRefusesSamplesUntilAFlushEnds) {
  Stream();
  auto changed = Sample(GetParam());
  changed->hasType = true;
  changed->type = AudioType(MEDIASUBTYPE_IEEE_FLOAT);
  EXPECT_EQ(in->Receive(changed.Get()), VFW_E_INVALIDMEDIATYPE);
  EXPECT_EQ(in->endOfStreams, 1);
  ASSERT_EQ(downstream->events.size(), 1u);
  EXPECT_EQ(downstream->events[0].code, EC_ERRORABORT);
  EXPECT_EQ(downstream->events[0].param1, static_cast<LONG_PTR>(VFW_E_TYPE_NOT_ACCEPTED));

  auto plain = Sample(GetParam());
  EXPECT_EQ(in->Receive(plain.Get()), VFW_E_RUNTIME_ERROR);
  EXPECT_TRUE(in->RunTimeError());
  ASSERT_EQ(in->BeginFlush(), S_OK);
  ASSERT_EQ(in->EndFlush(), S_OK);
  EXPECT_EQ(in->Receive(plain.Get()), S_OK);

  // Deactivation clears the error as well.
  EXPECT_EQ(in->Receive(changed.Get()), VFW_E_INVALIDMEDIATYPE);
  EXPECT_EQ(in->Deactivate(), VFW_E_NO_ALLOCATOR);
  EXPECT_EQ(in->Receive(plain.Get()), S_OK);

  // An acceptable change passes.
  changed->type = AudioType(MEDIASUBTYPE_PCM);
  EXPECT_EQ(in->Receive(changed.Get()), S_OK);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutSample2, RefusedTypeChange, ::testing::Bool());

TEST_F(InputPin, ReceiveMultipleStopsAtTheFirstRefusal) {
  Stream();
  ComPtr<FakeSample> samples[3] = {Sample(false), Sample(false), Sample(false)};
  samples[1]->hasType = true;
  samples[1]->type = AudioType(MEDIASUBTYPE_IEEE_FLOAT);
  IMediaSample* array[3] = {samples[0].Get(), samples[1].Get(), samples[2].Get()};
  long processed = -1;
  EXPECT_EQ(in->ReceiveMultiple(array, 3, &processed), VFW_E_INVALIDMEDIATYPE);
  EXPECT_EQ(processed, 1);
  EXPECT_EQ(in->ReceiveMultiple(nullptr, 3, &processed), E_POINTER);
}

TEST_F(InputPin, ReceiveCanBlockAsksTheTransportsBehindTheConnectedOutputs) {
  EXPECT_EQ(in->ReceiveCanBlock(), S_OK);  // no output pin at all
  auto* output = downstream->AddPin<TestOutputPin>();
  EXPECT_EQ(in->ReceiveCanBlock(), S_OK);  // one, unconnected
  output->rules.offered = {MEDIASUBTYPE_PCM};
  ASSERT_EQ(output->Connect(downstreamPeer.Get(), nullptr), S_OK);
  downstreamPeer->receiveCanBlock = S_FALSE;
  EXPECT_EQ(in->ReceiveCanBlock(), S_FALSE);
  downstreamPeer->receiveCanBlock = E_NOTIMPL;
  EXPECT_EQ(in->ReceiveCanBlock(), S_OK);
  downstreamPeer->receiveCanBlock = S_FALSE;
  downstreamPeer->hasTransport = false;
  EXPECT_EQ(in->ReceiveCanBlock(), S_OK);
  downstreamPeer->hasTransport = true;
  output->Disconnect();
}

TEST_F(InputPin, DeactivationAndDisconnectionLetTheAllocatorGo) {
  auto allocator = MakeDouble<FakeAllocator>();
  ASSERT_EQ(in->NotifyAllocator(allocator.Get(), FALSE), S_OK);
  ASSERT_EQ(in->BeginFlush(), S_OK);
  EXPECT_EQ(in->Deactivate(), S_OK);
  EXPECT_FALSE(in->IsFlushing());
  EXPECT_EQ(allocator->decommits, 1);

  Stream();
  ASSERT_EQ(in->NotifyAllocator(allocator.Get(), FALSE), S_OK);
  downstream->state = State_Stopped;
  EXPECT_EQ(in->Disconnect(), S_OK);
  EXPECT_EQ(allocator->decommits, 2);
  EXPECT_EQ(in->Allocator(), nullptr);
  EXPECT_EQ(allocator->References(), 1);
}

TEST_F(InputPin, QualityNoticesGoToTheSinkElseUpstreamElseNowhere) {
  const Quality notice{Famine, 500, -10, 0};
  EXPECT_EQ(in->Notify(nullptr, notice), E_POINTER);
  EXPECT_EQ(in->Notify(upstream.Get(), notice), S_OK);
  EXPECT_EQ(in->PassNotifyUpstream(notice), VFW_E_NOT_FOUND);

  Stream();
  EXPECT_EQ(in->PassNotifyUpstream(notice), S_OK);
  EXPECT_EQ(upstreamPeer->qualityNotices, 1);
  EXPECT_EQ(upstreamPeer->lastQualitySender, static_cast<IBaseFilter*>(downstream.Get()));

  auto sink = MakeDouble<PeerPin>(PINDIR_OUTPUT);
  ASSERT_EQ(in->SetSink(sink.Get()), S_OK);
  EXPECT_EQ(in->PassNotifyUpstream(notice), S_OK);
  EXPECT_EQ(sink->qualityNotices, 1);
  EXPECT_EQ(upstreamPeer->qualityNotices, 1);
  in->SetSink(nullptr);
}

TEST_F(InputPin, NewSegmentIsRemembered) {
  EXPECT_EQ(in->SegmentStop(), 0x7FFFFFFFFFFFFFFF);
  EXPECT_EQ(in->NewSegment(10, 20, 0.5), S_OK);
  EXPECT_EQ(in->SegmentStart(), 10);
  EXPECT_EQ(in->SegmentStop(), 20);
  EXPECT_EQ(in->SegmentRate(), 0.5);
}

}  // namespace
}  // namespace brevin::test
