// Connection protocol between pins: refusals, media type agreement, disconnection, pin queries.
#include <objbase.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <cstring>
#include <cwchar>
#include <string>

#include <gtest/gtest.h>

#include "pin_fixture.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

using PinConnection = PinFixture;

bool SameGuid(const GUID& a, const GUID& b) { return IsEqualGUID(a, b) != FALSE; }

TEST_F(PinConnection, UnconnectedPinReportsNoPeerAndAFreshType) {
  IPin* peer = reinterpret_cast<IPin*>(1);
  EXPECT_EQ(out->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(peer, nullptr);
  AM_MEDIA_TYPE type;
  std::memset(&type, 0xCD, sizeof type);
  EXPECT_EQ(in->ConnectionMediaType(&type), VFW_E_NOT_CONNECTED);
  EXPECT_TRUE(SameGuid(type.majortype, GUID_NULL));
  EXPECT_TRUE(SameGuid(type.formattype, GUID_NULL));
  EXPECT_TRUE(type.bFixedSizeSamples);
  EXPECT_EQ(type.lSampleSize, 1u);
  EXPECT_EQ(type.pbFormat, nullptr);
  EXPECT_EQ(out->ConnectedTo(nullptr), E_POINTER);
  EXPECT_EQ(out->Connect(nullptr, nullptr), E_POINTER);
}

TEST_F(PinConnection, OurOutputAndInputAgreeOnATypeAndShareTheInputsAllocator) {
  out->rules.offered = {MEDIASUBTYPE_IEEE_FLOAT, MEDIASUBTYPE_PCM};
  in->rules.accepted = {MEDIASUBTYPE_PCM};
  ASSERT_EQ(out->Connect(in, nullptr), S_OK);

  ComPtr<IPin> peer;
  ASSERT_EQ(out->ConnectedTo(&peer), S_OK);
  EXPECT_EQ(peer.Get(), static_cast<IPin*>(in));
  ASSERT_EQ(in->ConnectedTo(peer.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_EQ(peer.Get(), static_cast<IPin*>(out));

  AM_MEDIA_TYPE type;
  ASSERT_EQ(in->ConnectionMediaType(&type), S_OK);
  MediaTypeValue agreed;
  agreed.CopyFrom(type);
  MediaTypeValue::FreeContents(type);
  EXPECT_TRUE(SameGuid(agreed.Subtype(), MEDIASUBTYPE_PCM));
  EXPECT_EQ(agreed.FormatLength(), 4u);

  // The input pin made the system memory allocator and the output pin was handed it.
  ASSERT_NE(in->Allocator(), nullptr);
  EXPECT_EQ(out->Allocator(), in->Allocator());
  EXPECT_FALSE(in->IsReadOnly());
  EXPECT_EQ(out->Connect(in, nullptr), VFW_E_ALREADY_CONNECTED);
}

TEST_F(PinConnection, DisconnectNeedsAStoppedFilterAndKeepsTheLastType) {
  out->rules.offered = {MEDIASUBTYPE_PCM};
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  upstream->state = State_Paused;
  EXPECT_EQ(out->Disconnect(), VFW_E_NOT_STOPPED);
  EXPECT_TRUE(out->IsConnected());
  upstream->state = State_Stopped;
  EXPECT_EQ(out->Disconnect(), S_OK);
  EXPECT_EQ(out->Disconnect(), S_FALSE);
  EXPECT_FALSE(out->IsConnected());
  EXPECT_TRUE(SameGuid(out->ConnectionType().Subtype(), MEDIASUBTYPE_PCM));
  EXPECT_EQ(out->Allocator(), nullptr);
  EXPECT_EQ(out->Transport(), nullptr);
}

TEST_F(PinConnection, ConnectAndReceiveConnectionRefuseWhileTheFilterRuns) {
  out->rules.offered = {MEDIASUBTYPE_PCM};
  upstream->state = State_Running;
  EXPECT_EQ(out->Connect(downstreamPeer.Get(), nullptr), VFW_E_NOT_STOPPED);
  downstream->state = State_Paused;
  EXPECT_EQ(ConnectInputFromPeer(MEDIASUBTYPE_PCM), VFW_E_NOT_STOPPED);
  EXPECT_TRUE(downstreamPeer->tried.empty());
}

TEST_F(PinConnection, QueryAcceptTurnsRefusalsIntoFalse) {
  in->rules.accepted = {MEDIASUBTYPE_PCM};
  in->rules.refusal = E_FAIL;
  const MediaTypeValue pcm = AudioType(MEDIASUBTYPE_PCM);
  const MediaTypeValue floats = AudioType(MEDIASUBTYPE_IEEE_FLOAT);
  EXPECT_EQ(in->QueryAccept(&pcm.Type()), S_OK);
  EXPECT_EQ(in->QueryAccept(&floats.Type()), S_FALSE);
  EXPECT_EQ(in->QueryAccept(nullptr), E_POINTER);
}

TEST_F(PinConnection, PinsOfTheSameDirectionDoNotConnect) {
  auto other = MakeDouble<FakeFilter>();
  auto* secondOut = other->AddPin<TestOutputPin>();
  secondOut->rules.offered = {MEDIASUBTYPE_PCM};
  out->rules.offered = {MEDIASUBTYPE_PCM};
  EXPECT_EQ(out->Connect(secondOut, nullptr), VFW_E_INVALID_DIRECTION);
  const MediaTypeValue pcm = AudioType(MEDIASUBTYPE_PCM);
  EXPECT_EQ(out->Connect(secondOut, &pcm.Type()), VFW_E_INVALID_DIRECTION);
  EXPECT_FALSE(out->IsConnected());
  EXPECT_FALSE(secondOut->IsConnected());

  auto inputPeer = MakeDouble<PeerPin>(PINDIR_INPUT);
  EXPECT_EQ(in->ReceiveConnection(inputPeer.Get(), &pcm.Type()), VFW_E_INVALID_DIRECTION);
}

TEST_F(PinConnection, AgreementTriesThePeersTypesThenItsOwn) {
  downstreamPeer->Offer(MEDIASUBTYPE_IEEE_FLOAT);
  downstreamPeer->Offer(MEDIASUBTYPE_PCM);
  downstreamPeer->AnswerFor(MEDIASUBTYPE_IEEE_FLOAT, E_FAIL);
  downstreamPeer->AnswerFor(MEDIASUBTYPE_PCM, VFW_E_TYPE_NOT_ACCEPTED);
  out->rules.offered = {MEDIASUBTYPE_MPEG1AudioPayload};
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  ASSERT_EQ(downstreamPeer->tried.size(), 3u);
  EXPECT_TRUE(SameGuid(downstreamPeer->tried[0], MEDIASUBTYPE_IEEE_FLOAT));
  EXPECT_TRUE(SameGuid(downstreamPeer->tried[1], MEDIASUBTYPE_PCM));
  EXPECT_TRUE(SameGuid(downstreamPeer->tried[2], MEDIASUBTYPE_MPEG1AudioPayload));
  EXPECT_TRUE(SameGuid(out->ConnectionType().Subtype(), MEDIASUBTYPE_MPEG1AudioPayload));
  EXPECT_EQ(downstreamPeer->connector.Get(), static_cast<IPin*>(out));
}

TEST_F(PinConnection, AgreementReportsTheFirstSpecificReasonElseNoAcceptableTypes) {
  downstreamPeer->Offer(MEDIASUBTYPE_IEEE_FLOAT);
  downstreamPeer->Offer(MEDIASUBTYPE_PCM);
  downstreamPeer->Offer(MEDIASUBTYPE_MPEG1AudioPayload);
  downstreamPeer->AnswerFor(MEDIASUBTYPE_IEEE_FLOAT, E_INVALIDARG);
  downstreamPeer->AnswerFor(MEDIASUBTYPE_PCM, VFW_E_NO_TRANSPORT);
  downstreamPeer->AnswerFor(MEDIASUBTYPE_MPEG1AudioPayload, E_OUTOFMEMORY);
  EXPECT_EQ(out->Connect(downstreamPeer.Get(), nullptr), VFW_E_NO_TRANSPORT);
  EXPECT_FALSE(out->IsConnected());
  // The type of the last attempt stays recorded on the pin.
  EXPECT_TRUE(SameGuid(out->ConnectionType().Subtype(), MEDIASUBTYPE_MPEG1AudioPayload));

  auto plain = MakeDouble<PeerPin>(PINDIR_INPUT);
  plain->Offer(MEDIASUBTYPE_PCM);
  plain->AnswerFor(MEDIASUBTYPE_PCM, E_FAIL);
  EXPECT_EQ(out->Connect(plain.Get(), nullptr), VFW_E_NO_ACCEPTABLE_TYPES);
}

TEST_F(PinConnection, OurOwnRefusalsCountAsPlainOrSpecificLikeThePeers) {
  downstreamPeer->Offer(MEDIASUBTYPE_PCM);
  out->rules.accepted = {MEDIASUBTYPE_IEEE_FLOAT};
  out->rules.refusal = VFW_E_UNSUPPORTED_AUDIO;
  EXPECT_EQ(out->Connect(downstreamPeer.Get(), nullptr), VFW_E_UNSUPPORTED_AUDIO);
  out->rules.refusal = S_FALSE;
  EXPECT_EQ(out->Connect(downstreamPeer.Get(), nullptr), VFW_E_NO_ACCEPTABLE_TYPES);
  EXPECT_TRUE(downstreamPeer->tried.empty());
}

TEST_F(PinConnection, PartialTypeLimitsTheCandidatesAndAFullTypeIsTheOnlyOne) {
  downstreamPeer->Offer(MEDIASUBTYPE_IEEE_FLOAT);
  downstreamPeer->Offer(MEDIASUBTYPE_PCM);
  MediaTypeValue partial;
  partial.SetMajorType(MEDIATYPE_Audio);
  partial.SetSubtype(MEDIASUBTYPE_PCM);
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), &partial.Type()), S_OK);
  ASSERT_EQ(downstreamPeer->tried.size(), 1u);
  EXPECT_TRUE(SameGuid(downstreamPeer->tried[0], MEDIASUBTYPE_PCM));
  ASSERT_EQ(out->Disconnect(), S_OK);

  downstreamPeer->tried.clear();
  const MediaTypeValue full = AudioType(MEDIASUBTYPE_DOLBY_AC3);
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), &full.Type()), S_OK);
  ASSERT_EQ(downstreamPeer->tried.size(), 1u);
  EXPECT_TRUE(SameGuid(downstreamPeer->tried[0], MEDIASUBTYPE_DOLBY_AC3));
}

TEST_F(PinConnection, FailedCompletionTellsTheReceivingPinToDisconnect) {
  downstreamPeer->notifyResult = E_FAIL;  // no allocator can be handed over
  const MediaTypeValue pcm = AudioType(MEDIASUBTYPE_PCM);
  EXPECT_EQ(out->Connect(downstreamPeer.Get(), &pcm.Type()), E_FAIL);
  EXPECT_EQ(downstreamPeer->disconnects, 1);
  EXPECT_FALSE(out->IsConnected());
  EXPECT_EQ(out->Allocator(), nullptr);
  EXPECT_EQ(out->Transport(), nullptr);
}

TEST_F(PinConnection, OutputNeedsAMemoryTransportDownstream) {
  downstreamPeer->hasTransport = false;
  const MediaTypeValue pcm = AudioType(MEDIASUBTYPE_PCM);
  EXPECT_EQ(out->Connect(downstreamPeer.Get(), &pcm.Type()), E_NOINTERFACE);
  EXPECT_TRUE(downstreamPeer->tried.empty());
}

TEST_F(PinConnection, ReceiveConnectionMapsPlainRefusalsAndKeepsSpecificOnes) {
  in->rules.accepted = {MEDIASUBTYPE_PCM};
  EXPECT_EQ(in->ReceiveConnection(upstreamPeer.Get(), nullptr), E_POINTER);
  in->rules.refusal = E_INVALIDARG;
  EXPECT_EQ(ConnectInputFromPeer(MEDIASUBTYPE_IEEE_FLOAT), VFW_E_TYPE_NOT_ACCEPTED);
  in->rules.refusal = VFW_E_UNSUPPORTED_AUDIO;
  EXPECT_EQ(ConnectInputFromPeer(MEDIASUBTYPE_IEEE_FLOAT), VFW_E_UNSUPPORTED_AUDIO);
  EXPECT_FALSE(in->IsConnected());
  ASSERT_EQ(ConnectInputFromPeer(MEDIASUBTYPE_PCM), S_OK);
  EXPECT_EQ(in->ConnectedPin(), static_cast<IPin*>(upstreamPeer.Get()));
  EXPECT_EQ(ConnectInputFromPeer(MEDIASUBTYPE_PCM), VFW_E_ALREADY_CONNECTED);
}

TEST_F(PinConnection, PinInfoNamesTheFilterAndTruncatesLongNames) {
  const std::wstring longName(300, L'x');
  auto* named = upstream->AddPin<TestInputPin>(longName.c_str());
  PIN_INFO info;
  ASSERT_EQ(named->QueryPinInfo(&info), S_OK);
  EXPECT_EQ(info.pFilter, static_cast<IBaseFilter*>(upstream.Get()));
  info.pFilter->Release();
  EXPECT_EQ(info.dir, PINDIR_INPUT);
  EXPECT_EQ(std::wcslen(info.achName), sizeof info.achName / sizeof info.achName[0] - 1);

  LPWSTR id = nullptr;
  ASSERT_EQ(out->QueryId(&id), S_OK);
  EXPECT_STREQ(id, L"Test Out");
  CoTaskMemFree(id);
  PIN_DIRECTION direction;
  ASSERT_EQ(out->QueryDirection(&direction), S_OK);
  EXPECT_EQ(direction, PINDIR_OUTPUT);
  EXPECT_EQ(out->QueryInternalConnections(nullptr, nullptr), E_NOTIMPL);
}

TEST_F(PinConnection, PinsAnswerTheirInterfacesAndLiveOnTheirFiltersCount) {
  ComPtr<IMemInputPin> transport;
  EXPECT_EQ(in->QueryInterface(IID_PPV_ARGS(&transport)), S_OK);
  EXPECT_EQ(out->QueryInterface(IID_PPV_ARGS(&transport)), E_NOINTERFACE);
  ComPtr<IQualityControl> quality;
  EXPECT_EQ(out->QueryInterface(IID_PPV_ARGS(&quality)), S_OK);
  EXPECT_EQ(out->QueryInterface(IID_IPin, nullptr), E_POINTER);

  const LONG before = upstream->References();
  out->AddRef();
  EXPECT_EQ(upstream->References(), before + 1);
  out->Release();
  EXPECT_EQ(upstream->References(), before);
}

TEST_F(PinConnection, OutputPinRefusesUpstreamCallsAndSendsOnlyWhenConnected) {
  EXPECT_EQ(out->EndOfStream(), E_UNEXPECTED);
  EXPECT_EQ(out->BeginFlush(), E_UNEXPECTED);
  EXPECT_EQ(out->EndFlush(), E_UNEXPECTED);
  EXPECT_EQ(out->SendEndOfStream(), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(out->SendBeginFlush(), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(out->SendEndFlush(), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(out->SendNewSegment(0, 10, 1.0), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(out->DeliverSample(nullptr), VFW_E_NOT_CONNECTED);
  IMediaSample* sample = nullptr;
  EXPECT_EQ(out->ObtainBuffer(&sample, nullptr, nullptr, 0), E_NOINTERFACE);
  EXPECT_EQ(out->Activate(), VFW_E_NO_ALLOCATOR);
  EXPECT_EQ(out->Deactivate(), VFW_E_NO_ALLOCATOR);

  out->rules.offered = {MEDIASUBTYPE_PCM};
  ASSERT_EQ(out->Connect(downstreamPeer.Get(), nullptr), S_OK);
  EXPECT_EQ(out->SendEndOfStream(), S_OK);
  EXPECT_EQ(out->SendBeginFlush(), S_OK);
  EXPECT_EQ(out->SendEndFlush(), S_OK);
  EXPECT_EQ(out->SendNewSegment(0, 10, 1.0), S_OK);
  EXPECT_EQ(downstreamPeer->endOfStreams, 1);
  EXPECT_EQ(downstreamPeer->beginFlushes, 1);
  EXPECT_EQ(downstreamPeer->endFlushes, 1);
  EXPECT_EQ(downstreamPeer->newSegments, 1);
}

}  // namespace
}  // namespace brevin::test
