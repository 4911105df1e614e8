// The transform filter's protocol with test doubles on both sides: the state table with its
// allocators and hooks, the routing of pin operations to the hooks, buffer requests and sample
// stamping on the receive path, and the lock order between a Stop and a sample in progress.
#include <evcode.h>
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "audio_types.h"
#include "copy_transform.h"
#include "fake_allocator.h"
#include "fake_sample.h"
#include "transform_fixture.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

// The copy transform with every notification hook recorded and its result settable.
class HookedTransform : public CopyTransform {
 public:
  HRESULT StreamingStarting() override { return Record("starting", startingResult); }
  HRESULT StreamingStopping() override { return Record("stopping", stoppingResult); }
  HRESULT MediaTypeChosen(PIN_DIRECTION direction, const AM_MEDIA_TYPE& type) override {
    chosen.push_back(type.subtype);
    return Record(Named("chosen", direction), S_OK);
  }
  HRESULT ConnectionChecking(PIN_DIRECTION direction, IPin*) override {
    return Record(Named("checking", direction), checkingResult);
  }
  HRESULT ConnectionBroken(PIN_DIRECTION direction) override {
    return Record(Named("broken", direction), E_FAIL);
  }
  HRESULT ConnectionCompleted(PIN_DIRECTION direction, IPin*) override {
    return Record(Named("completed", direction), completedResult);
  }

  std::vector<std::string> calls;
  std::vector<GUID> chosen;
  HRESULT startingResult = S_OK;
  HRESULT stoppingResult = S_OK;
  HRESULT checkingResult = S_OK;
  HRESULT completedResult = S_OK;

 private:
  static std::string Named(const char* hook, PIN_DIRECTION direction) {
    return std::string(hook) + (direction == PINDIR_INPUT ? " in" : " out");
  }
  HRESULT Record(const std::string& call, HRESULT result) {
    calls.push_back(call);
    return result;
  }
};

class TransformProtocol : public TransformFixture<HookedTransform> {
 protected:
  TransformProtocol() : TransformFixture(new HookedTransform) {
    downstream->allocator = allocator;
  }

  HRESULT ConnectInput() { return ConnectInputWith(AudioType(MEDIASUBTYPE_PCM)); }

  void Connect() {
    ASSERT_EQ(ConnectInput(), S_OK);
    ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
    ASSERT_EQ(filter->JoinFilterGraph(graph.Get(), L"hooked"), S_OK);
    transform->calls.clear();
  }

  ComPtr<FakeSample> Sample(long length, bool sample2) {
    auto sample = MakeDouble<FakeSample>(length, sample2);
    sample->actualLength = length;
    return sample;
  }

  FILTER_STATE State() {
    FILTER_STATE state = State_Running;
    EXPECT_EQ(filter->GetState(0, &state), S_OK);
    return state;
  }

  ComPtr<FakeAllocator> allocator = MakeDouble<FakeAllocator>();
};

TEST_F(TransformProtocol, PauseFromStoppedStartsStreamingAndCommitsTheOutputOnce) {
  Connect();
  ASSERT_EQ(filter->Run(1000), S_OK);
  EXPECT_EQ(State(), State_Running);
  EXPECT_EQ(allocator->commits, 1);
  ASSERT_EQ(filter->Pause(), S_OK);
  ASSERT_EQ(filter->Run(2000), S_OK);
  ASSERT_EQ(filter->Run(3000), S_OK);
  EXPECT_EQ(allocator->commits, 1);
  EXPECT_EQ(transform->calls, std::vector<std::string>{"starting"});

  ASSERT_EQ(filter->Stop(), S_OK);
  EXPECT_EQ(State(), State_Stopped);
  EXPECT_EQ(allocator->decommits, 1);
  EXPECT_EQ(filter->Stop(), S_OK);
  EXPECT_EQ(allocator->decommits, 1);
  EXPECT_EQ(transform->calls, (std::vector<std::string>{"starting", "stopping"}));
}

TEST_F(TransformProtocol, FailingStreamingHooksKeepTheState) {
  Connect();
  transform->startingResult = E_OUTOFMEMORY;
  EXPECT_EQ(filter->Pause(), E_OUTOFMEMORY);
  EXPECT_EQ(filter->Run(0), E_OUTOFMEMORY);
  EXPECT_EQ(State(), State_Stopped);
  EXPECT_EQ(allocator->commits, 0);

  transform->startingResult = S_OK;
  transform->stoppingResult = E_FAIL;
  ASSERT_EQ(filter->Pause(), S_OK);
  EXPECT_EQ(filter->Stop(), E_FAIL);
  EXPECT_EQ(State(), State_Paused);
  transform->stoppingResult = S_OK;
  EXPECT_EQ(filter->Stop(), S_OK);
  EXPECT_EQ(State(), State_Stopped);
}

TEST_F(TransformProtocol, UnconnectedFilterChangesStateWithoutStreaming) {
  ASSERT_EQ(ConnectInput(), S_OK);
  ASSERT_EQ(filter->Run(0), S_OK);
  EXPECT_EQ(State(), State_Running);
  ASSERT_EQ(filter->Stop(), S_OK);
  // Connecting the input ran its hooks; the state changes ran no streaming hook.
  EXPECT_EQ(transform->calls,
            (std::vector<std::string>{"checking in", "chosen in", "completed in"}));
  EXPECT_EQ(allocator->commits, 0);
}

TEST_F(TransformProtocol, PinOperationsReachTheHooksInOrder) {
  ASSERT_EQ(ConnectInput(), S_OK);
  ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
  EXPECT_EQ(transform->calls,
            (std::vector<std::string>{"checking in", "chosen in", "completed in", "checking out",
                                      "chosen out", "completed out"}));
  // A failing break hook does not stop a disconnection.
  transform->calls.clear();
  EXPECT_EQ(out->Disconnect(), S_OK);
  EXPECT_EQ(in->Disconnect(), S_OK);
  EXPECT_EQ(transform->calls, (std::vector<std::string>{"broken out", "broken in"}));

  // A refusing check or completion fails the connection with its own result.
  transform->checkingResult = VFW_E_NO_TRANSPORT;
  EXPECT_EQ(ConnectInput(), VFW_E_NO_TRANSPORT);
  transform->checkingResult = S_OK;
  transform->completedResult = VFW_E_NO_ALLOCATOR;
  EXPECT_EQ(ConnectInput(), VFW_E_NO_ALLOCATOR);
  EXPECT_FALSE(in->IsConnected());
}

TEST_F(TransformProtocol, BufferRequestsCarryTimesAndSyncAndSkipFlags) {
  Connect();
  ASSERT_EQ(filter->Pause(), S_OK);
  auto plain = Sample(16, false);
  ASSERT_EQ(in->Receive(plain.Get()), S_OK);
  EXPECT_EQ(allocator->lastBufferFlags, static_cast<DWORD>(AM_GBF_NOTASYNCPOINT));
  EXPECT_FALSE(allocator->lastBufferHadStart);
  EXPECT_FALSE(allocator->lastBufferHadStop);

  auto sync = Sample(16, false);
  sync->syncPoint = S_OK;
  sync->hasTime = true;
  transform->dropping = 1;
  ASSERT_EQ(in->Receive(sync.Get()), S_OK);
  EXPECT_EQ(allocator->lastBufferFlags, 0u);
  EXPECT_TRUE(allocator->lastBufferHadStart);
  EXPECT_TRUE(allocator->lastBufferHadStop);
  ASSERT_EQ(in->Receive(sync.Get()), S_OK);
  EXPECT_EQ(allocator->lastBufferFlags, static_cast<DWORD>(AM_GBF_PREVFRAMESKIPPED));
  ASSERT_EQ(in->Receive(sync.Get()), S_OK);
  EXPECT_EQ(allocator->lastBufferFlags, 0u);
}

TEST_F(TransformProtocol, ADiscontinuityForgetsASkippedSample) {
  transform->bufferSize = 64;
  Connect();
  ASSERT_EQ(filter->Pause(), S_OK);
  transform->dropping = 1;
  auto small = Sample(16, false);
  ASSERT_EQ(in->Receive(small.Get()), S_OK);
  // Too large for the buffer: refused, after the discontinuity was taken in.
  auto large = Sample(100, false);
  large->discontinuity = S_OK;
  EXPECT_EQ(in->Receive(large.Get()), VFW_E_BUFFER_OVERFLOW);
  EXPECT_EQ(allocator->lastBufferFlags & AM_GBF_PREVFRAMESKIPPED,
            static_cast<DWORD>(AM_GBF_PREVFRAMESKIPPED));
  ASSERT_EQ(in->Receive(small.Get()), S_OK);
  EXPECT_EQ(allocator->lastBufferFlags & AM_GBF_PREVFRAMESKIPPED, 0u);
}

TEST_F(TransformProtocol, SampleTwoStampingCopiesFlagsButNotTheTypeChange) {
  Connect();
  ASSERT_EQ(filter->Pause(), S_OK);
  auto sample = Sample(16, true);
  sample->typeSpecificFlags = 0x55;
  sample->preroll = S_OK;
  sample->hasTime = true;
  sample->start = 70;
  sample->stop = 90;
  sample->hasType = true;
  sample->type = AudioType(MEDIASUBTYPE_PCM);
  ASSERT_EQ(in->Receive(sample.Get()), S_OK);
  auto* stamped = static_cast<FakeSample*>(downstream->lastSample.Get());
  EXPECT_EQ(stamped->setPropertiesSize, offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId));
  EXPECT_EQ(stamped->typeSpecificFlags, 0x55u);
  EXPECT_EQ(stamped->preroll, S_OK);
  EXPECT_EQ(stamped->start, 70);
  EXPECT_EQ(stamped->stop, 90);
  EXPECT_FALSE(stamped->hasType);
}

TEST_F(TransformProtocol, PlainStampingSetsTimesFlagsAndMediaTimes) {
  allocator->samplesOfferSample2 = false;
  Connect();
  ASSERT_EQ(filter->Pause(), S_OK);
  auto sample = Sample(16, false);
  sample->hasTime = true;
  sample->start = 5;
  sample->stop = 6;
  sample->syncPoint = S_OK;
  sample->discontinuity = S_OK;
  sample->hasMediaTime = true;
  sample->mediaStart = 7;
  sample->mediaStop = 8;
  ASSERT_EQ(in->Receive(sample.Get()), S_OK);
  auto* stamped = static_cast<FakeSample*>(downstream->lastSample.Get());
  EXPECT_EQ(stamped->setPropertiesSize, 0u);
  EXPECT_EQ(stamped->start, 5);
  EXPECT_EQ(stamped->stop, 6);
  EXPECT_EQ(stamped->syncPoint, S_OK);
  EXPECT_EQ(stamped->discontinuity, S_OK);
  EXPECT_EQ(stamped->preroll, S_FALSE);
  EXPECT_EQ(stamped->mediaStart, 7);
  EXPECT_EQ(stamped->mediaStop, 8);
}

TEST_F(TransformProtocol, EveryPauseRearmsTheQualityChangeEvent) {
  Connect();
  ASSERT_EQ(filter->Pause(), S_OK);
  auto sample = Sample(16, false);
  for (int round = 0; round < 2; ++round) {
    transform->dropping = 2;
    ASSERT_EQ(in->Receive(sample.Get()), S_OK);
    ASSERT_EQ(in->Receive(sample.Get()), S_OK);
    ASSERT_EQ(filter->Pause(), S_OK);
  }
  ASSERT_EQ(graph->events.size(), 2u);
  EXPECT_EQ(graph->events[1].code, EC_QUALITY_CHANGE);
}

TEST_F(TransformProtocol, GraphMembershipGivesEventsAndReconnection) {
  EXPECT_EQ(transform->NotifyEvent(EC_COMPLETE, 1, 2), E_NOTIMPL);
  EXPECT_EQ(transform->ReconnectPin(out, nullptr), E_NOINTERFACE);
  ASSERT_EQ(filter->JoinFilterGraph(graph.Get(), L"a name longer than nothing"), S_OK);
  ASSERT_EQ(transform->NotifyEvent(EC_COMPLETE, S_OK, 2), S_OK);
  EXPECT_EQ(graph->events[0].param2, reinterpret_cast<LONG_PTR>(filter.Get()));
  EXPECT_EQ(transform->ReconnectPin(out, nullptr), S_OK);
  ASSERT_EQ(graph->reconnected.size(), 1u);
  FILTER_INFO info;
  ASSERT_EQ(filter->QueryFilterInfo(&info), S_OK);
  EXPECT_STREQ(info.achName, L"a name longer than nothing");
  EXPECT_EQ(info.pGraph, static_cast<IFilterGraph*>(graph.Get()));
  info.pGraph->Release();
  REFERENCE_TIME now = 0;
  EXPECT_EQ(transform->CurrentStreamTime(&now), VFW_E_NO_CLOCK);
  LPWSTR vendor = nullptr;
  EXPECT_EQ(filter->QueryVendorInfo(&vendor), E_NOTIMPL);
}

struct InProgress {
  IMemInputPin* pin;
  IMediaSample* sample;
  IBaseFilter* filter;
  HRESULT result = E_PENDING;
};

DWORD WINAPI DeliverOne(void* argument) {
  auto* work = static_cast<InProgress*>(argument);
  work->result = work->pin->Receive(work->sample);
  return 0;
}

DWORD WINAPI StopFilter(void* argument) {
  auto* work = static_cast<InProgress*>(argument);
  work->result = work->filter->Stop();
  return 0;
}

// Stop takes the filter lock and then waits on the receive lock for the sample in progress;
// Pause takes only the filter lock, so it is not held up by a downstream pin that blocks.
TEST_F(TransformProtocol, StopWaitsForASampleInProgressBeforeTheAllocatorGoes) {
  Connect();
  ASSERT_EQ(filter->Run(0), S_OK);
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  downstream->receiveGate = gate;
  downstream->receiving = entered;

  auto sample = Sample(16, false);
  InProgress delivery{static_cast<IMemInputPin*>(in), sample.Get(), nullptr};
  HANDLE streaming = CreateThread(nullptr, 0, DeliverOne, &delivery, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(entered, 5000), WAIT_OBJECT_0);

  EXPECT_EQ(filter->Pause(), S_OK);
  InProgress stopping{nullptr, nullptr, filter.Get()};
  HANDLE control = CreateThread(nullptr, 0, StopFilter, &stopping, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(control, 200), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(allocator->decommits, 0);

  SetEvent(gate);
  EXPECT_EQ(WaitForSingleObject(streaming, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(control, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(delivery.result, S_OK);
  EXPECT_EQ(stopping.result, S_OK);
  EXPECT_EQ(allocator->decommits, 1);
  EXPECT_EQ(downstream->received, 1);
  downstream->receiveGate = nullptr;
  for (HANDLE handle : {gate, entered, streaming, control}) CloseHandle(handle);
}

}  // namespace
}  // namespace brevin::test
