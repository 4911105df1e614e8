// The Brevin filter's own decisions: the input check, the extensible output type and its
// arithmetic, the buffer size, the per-sample copy with its flags, the parameters, the property
// page list and the class factory.
#include <windows.h>
#include <strmif.h>
#include <objbase.h>
#include <ocidl.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>
#include <ks.h>
#include <ksmedia.h>
#include <mmreg.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "allocation_failure.h"
#include "brevin_filter.h"
#include "class_factory.h"
#include "class_ids.h"
#include "fake_allocator.h"
#include "fake_sample.h"
#include "module_state.h"
#include "transform_fixture.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

// A plain PCM wave format type; the byte rate is the consistent one unless given.
MediaTypeValue WaveType(WORD channels, DWORD rate, WORD bits, DWORD byteRate = 0,
                        const GUID& subtype = MEDIASUBTYPE_PCM) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  format.nAvgBytesPerSec = byteRate ? byteRate : rate * format.nBlockAlign;
  format.wBitsPerSample = bits;
  MediaTypeValue type;
  type.SetMajorType(MEDIATYPE_Audio);
  type.SetSubtype(subtype);
  type.SetFormatType(FORMAT_WaveFormatEx);
  type.SetFormat(reinterpret_cast<const BYTE*>(&format), sizeof format);
  return type;
}

WAVEFORMATEXTENSIBLE BlockOf(const MediaTypeValue& type) {
  WAVEFORMATEXTENSIBLE block{};
  std::memcpy(&block, type.Format(), sizeof block);
  return block;
}

class Brevin : public TransformFixture<BrevinFilter> {
 protected:
  Brevin() : TransformFixture(new BrevinFilter(nullptr, nullptr)) {}

  HRESULT ConnectInput(const MediaTypeValue& type) { return ConnectInputWith(type); }

  MediaTypeValue Proposed() {
    MediaTypeValue type;
    EXPECT_EQ(transform->ProposeOutputType(0, type), S_OK);
    return type;
  }

  // 16-bit stereo 44100 Hz in, the extensible type out to a downstream pin whose allocator is a
  // fake that records what it is asked; paused.
  void Stream() {
    downstream->allocator = allocator;
    ASSERT_EQ(ConnectInput(WaveType(2, 44100, 16)), S_OK);
    ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
    ASSERT_EQ(filter->JoinFilterGraph(graph.Get(), L"Brevin"), S_OK);
    ASSERT_EQ(filter->Pause(), S_OK);
  }

  ComPtr<FakeSample> Sample(long length, bool sample2) {
    auto sample = MakeDouble<FakeSample>(length, sample2);
    sample->actualLength = length;
    for (long i = 0; i < length; ++i) sample->Data()[i] = static_cast<BYTE>(i * 13 + 5);
    return sample;
  }

  ComPtr<FakeAllocator> allocator = MakeDouble<FakeAllocator>();
};

struct Conversion {
  WORD channels;
  DWORD rate;
  WORD bits;
  DWORD byteRate;
  WORD blockAlign;
  DWORD channelMask;
};

class ExtensibleConversion : public Brevin, public ::testing::WithParamInterface<Conversion> {};

TEST_P(ExtensibleConversion, OutputBlockFollowsTheInputInThirtyTwoBitArithmetic) {
  const Conversion& c = GetParam();
  ASSERT_EQ(ConnectInput(WaveType(c.channels, c.rate, c.bits)), S_OK);
  const MediaTypeValue type = Proposed();
  EXPECT_TRUE(IsEqualGUID(type.MajorType(), MEDIATYPE_Audio));
  EXPECT_TRUE(IsEqualGUID(type.Subtype(), MEDIASUBTYPE_PCM));
  EXPECT_TRUE(IsEqualGUID(type.FormatType(), FORMAT_WaveFormatEx));
  EXPECT_TRUE(type.Type().bFixedSizeSamples);
  EXPECT_EQ(type.Type().lSampleSize, 1u);
  EXPECT_FALSE(type.Type().bTemporalCompression);
  ASSERT_EQ(type.FormatLength(), 40u);

  const WAVEFORMATEXTENSIBLE block = BlockOf(type);
  EXPECT_EQ(block.Format.wFormatTag, 0xFFFE);
  EXPECT_EQ(block.Format.nChannels, c.channels);
  EXPECT_EQ(block.Format.nSamplesPerSec, c.rate);
  EXPECT_EQ(block.Format.nAvgBytesPerSec, c.byteRate);
  EXPECT_EQ(block.Format.nBlockAlign, c.blockAlign);
  EXPECT_EQ(block.Format.wBitsPerSample, c.bits);
  EXPECT_EQ(block.Format.cbSize, 22);
  EXPECT_EQ(block.Samples.wValidBitsPerSample, c.bits);
  EXPECT_EQ(block.dwChannelMask, c.channelMask);
  EXPECT_TRUE(IsEqualGUID(block.SubFormat, KSDATAFORMAT_SUBTYPE_PCM));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ExtensibleConversion,
    ::testing::Values(Conversion{2, 44100, 16, 176400, 4, 0x3},
                      Conversion{6, 48000, 24, 864000, 18, 0x3F},
                      Conversion{1, 22050, 12, (12 * 22050) >> 3, 1, 0x1},  // align truncated
                      Conversion{8, 96000, 32, 3072000, 32, 0xFF},
                      Conversion{0, 44100, 16, 0, 0, 0},
                      Conversion{32, 48000, 16, 3072000, 64, 0},
                      // 32 x 2^28 x 2 is 2^34: the byte rate wraps to 0 before the shift.
                      Conversion{2, 0x10000000, 32, 0, 8, 0x3}));

TEST_F(Brevin, InconsistentByteRateIsRecomputedForTheTypeButSizesTheBuffer) {
  ASSERT_EQ(ConnectInput(WaveType(2, 44100, 16, 12345)), S_OK);
  EXPECT_EQ(BlockOf(Proposed()).Format.nAvgBytesPerSec, 176400u);
  ALLOCATOR_PROPERTIES request{};
  ASSERT_EQ(transform->SizeBuffers(allocator.Get(), &request), S_OK);
  EXPECT_EQ(allocator->requested.cBuffers, 1);
  EXPECT_EQ(allocator->requested.cbBuffer, 12345 / 2);
}

TEST_F(Brevin, InputCheckLooksAtTheFormatTypeFirstAndKeepsTheLastTypeItPassed) {
  ASSERT_EQ(ConnectInput(WaveType(2, 44100, 16)), S_OK);

  MediaTypeValue otherFormat = WaveType(6, 48000, 24);
  otherFormat.SetFormatType(FORMAT_None);
  EXPECT_EQ(transform->AcceptInputType(otherFormat.Type()), E_INVALIDARG);
  otherFormat.SetSubtype(MEDIASUBTYPE_IEEE_FLOAT);
  EXPECT_EQ(transform->AcceptInputType(otherFormat.Type()), E_INVALIDARG);
  EXPECT_EQ(transform->AcceptInputType(WaveType(6, 48000, 24, 0, MEDIASUBTYPE_IEEE_FLOAT).Type()),
            E_FAIL);
  MediaTypeValue video = WaveType(6, 48000, 24);
  video.SetMajorType(MEDIATYPE_Video);
  EXPECT_EQ(transform->AcceptInputType(video.Type()), E_FAIL);

  // A block too short to hold the fields read, or none at all, is refused.
  MediaTypeValue shortBlock = WaveType(6, 48000, 24);
  shortBlock.AllocateFormat(sizeof(WAVEFORMATEX) - 1);
  EXPECT_EQ(transform->AcceptInputType(shortBlock.Type()), E_INVALIDARG);
  MediaTypeValue noBlock = WaveType(6, 48000, 24);
  noBlock.Free();
  EXPECT_EQ(transform->AcceptInputType(noBlock.Type()), E_INVALIDARG);
  EXPECT_EQ(in->QueryAccept(&noBlock.Type()), S_FALSE);
  EXPECT_EQ(BlockOf(Proposed()).Format.nChannels, 2);

  // A query that passes is remembered, though the connection stays as it was.
  const MediaTypeValue six = WaveType(6, 48000, 24);
  EXPECT_EQ(in->QueryAccept(&six.Type()), S_OK);
  EXPECT_EQ(BlockOf(Proposed()).Format.nChannels, 6);
}

TEST_F(Brevin, TransformCheckJudgesTheInputTypeOnly) {
  const MediaTypeValue pcm = WaveType(2, 44100, 16);
  const MediaTypeValue floats = WaveType(2, 44100, 32, 0, MEDIASUBTYPE_IEEE_FLOAT);
  MediaTypeValue anything;
  EXPECT_EQ(transform->AcceptTransform(pcm.Type(), anything.Type()), S_OK);
  EXPECT_EQ(transform->AcceptTransform(floats.Type(), pcm.Type()), VFW_E_TYPE_NOT_ACCEPTED);

  // So a downstream pin that offers its own plain type connects with it.
  downstream->Offer(MEDIASUBTYPE_PCM);
  ASSERT_EQ(ConnectInput(pcm), S_OK);
  ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
  EXPECT_EQ(out->ConnectionType().FormatLength(), 4u);
}

TEST_F(Brevin, OutputTypeNeedsTheInputAndHasOnePosition) {
  MediaTypeValue type;
  EXPECT_EQ(transform->ProposeOutputType(0, type), E_UNEXPECTED);
  ALLOCATOR_PROPERTIES request{};
  EXPECT_EQ(transform->SizeBuffers(allocator.Get(), &request), E_UNEXPECTED);
  ASSERT_EQ(ConnectInput(WaveType(2, 44100, 16)), S_OK);
  EXPECT_EQ(transform->ProposeOutputType(1, type), VFW_S_NO_MORE_ITEMS);
  EXPECT_EQ(transform->ProposeOutputType(-1, type), E_INVALIDARG);
  EXPECT_EQ(type.Format(), nullptr);

  AllocationFailure noBlock(sizeof(WAVEFORMATEXTENSIBLE));
  ASSERT_TRUE(noBlock.Active());
  EXPECT_EQ(transform->ProposeOutputType(0, type), E_OUTOFMEMORY);
  EXPECT_EQ(type.Format(), nullptr);
}

TEST_F(Brevin, BufferIsHalfASecondAndMustBeGrantedWhole) {
  ASSERT_EQ(ConnectInput(WaveType(1, 44100, 16, 88200)), S_OK);
  ALLOCATOR_PROPERTIES request{};
  request.cbAlign = 4;
  request.cbPrefix = 8;
  allocator->grantedBuffers = 2;
  ASSERT_EQ(transform->SizeBuffers(allocator.Get(), &request), S_OK);
  EXPECT_EQ(allocator->requested.cBuffers, 1);
  EXPECT_EQ(allocator->requested.cbBuffer, 44100);
  EXPECT_EQ(allocator->requested.cbAlign, 4);
  EXPECT_EQ(allocator->requested.cbPrefix, 8);

  auto small = MakeDouble<FakeAllocator>();
  small->largestBuffer = 32768;
  EXPECT_EQ(transform->SizeBuffers(small.Get(), &request), E_FAIL);
  small->setPropertiesResult = VFW_E_ALREADY_COMMITTED;
  EXPECT_EQ(transform->SizeBuffers(small.Get(), &request), VFW_E_ALREADY_COMMITTED);
}

class SampleCopy : public Brevin, public ::testing::WithParamInterface<bool> {};

TEST_P(SampleCopy, BytesTimesAndFlagsComeOutAsTheyWentIn) {
  Stream();
  auto sample = Sample(1000, GetParam());
  sample->hasTime = true;
  sample->start = 10000;
  sample->stop = 20000;
  sample->hasMediaTime = true;
  sample->mediaStart = 441;
  sample->mediaStop = 691;
  sample->syncPoint = S_OK;
  sample->preroll = S_OK;
  sample->discontinuity = S_OK;
  ASSERT_EQ(in->Receive(sample.Get()), S_OK);
  ASSERT_EQ(downstream->received, 1);
  auto* delivered = static_cast<FakeSample*>(downstream->lastSample.Get());
  EXPECT_EQ(delivered->GetSize(), 88200);
  ASSERT_EQ(delivered->actualLength, 1000);
  EXPECT_EQ(std::memcmp(delivered->Data(), sample->Data(), 1000), 0);
  EXPECT_EQ(delivered->start, 10000);
  EXPECT_EQ(delivered->stop, 20000);
  EXPECT_TRUE(delivered->hasMediaTime);
  EXPECT_EQ(delivered->mediaStart, 441);
  EXPECT_EQ(delivered->mediaStop, 691);
  EXPECT_EQ(delivered->syncPoint, S_OK);
  EXPECT_EQ(delivered->preroll, S_OK);
  EXPECT_EQ(delivered->discontinuity, S_OK);
  EXPECT_FALSE(delivered->hasType);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutSample2, SampleCopy, ::testing::Bool());

TEST_F(Brevin, AFlagQuestionWithoutAYesOrNoStopsTheSample) {
  Stream();
  for (HRESULT FakeSample::*flag :
       {&FakeSample::syncPoint, &FakeSample::preroll, &FakeSample::discontinuity}) {
    auto sample = Sample(100, true);
    sample.Get()->*flag = E_FAIL;
    EXPECT_EQ(in->Receive(sample.Get()), E_UNEXPECTED);
  }
  EXPECT_EQ(downstream->received, 0);
  auto plain = Sample(100, true);
  EXPECT_EQ(in->Receive(plain.Get()), S_OK);
  EXPECT_EQ(downstream->received, 1);
}

TEST_F(Brevin, ATypeChangeTravelsOnAsTheUpstreamGaveIt) {
  Stream();
  auto sample = Sample(64, false);
  sample->hasType = true;
  sample->type = WaveType(2, 48000, 16);
  ASSERT_EQ(in->Receive(sample.Get()), S_OK);
  auto* delivered = static_cast<FakeSample*>(downstream->lastSample.Get());
  ASSERT_TRUE(delivered->hasType);
  EXPECT_EQ(delivered->type.FormatLength(), sizeof(WAVEFORMATEX));
  EXPECT_EQ(reinterpret_cast<const WAVEFORMATEX*>(delivered->type.Format())->nSamplesPerSec,
            48000u);
}

TEST_F(Brevin, ASampleLargerThanTheOutputBufferIsRefusedUncopied) {
  Stream();
  auto sample = Sample(88201, true);
  EXPECT_EQ(in->Receive(sample.Get()), VFW_E_BUFFER_OVERFLOW);
  EXPECT_EQ(downstream->received, 0);
  auto fits = Sample(88200, true);
  EXPECT_EQ(in->Receive(fits.Get()), S_OK);
  EXPECT_EQ(downstream->received, 1);
}

TEST_F(Brevin, ParametersStartFromTheProfileAndAreKeptPerFilter) {
  int params[2] = {-1, -1};
  EXPECT_EQ(transform->GetParams(nullptr), E_POINTER);
  ASSERT_EQ(transform->GetParams(params), S_OK);

  ASSERT_TRUE(WriteProfileStringA("Brevin", "param1", "42"));
  ASSERT_TRUE(WriteProfileStringA("Brevin", "param2", "-7"));
  auto* fromProfile = new BrevinFilter(nullptr, nullptr);
  ComPtr<IConversionParams> read;
  fromProfile->InnerQueryInterface(IID_PPV_ARGS(&read));
  WriteProfileStringA("Brevin", nullptr, nullptr);
  ASSERT_EQ(read->GetParams(params), S_OK);
  EXPECT_EQ(params[0], 42);
  EXPECT_EQ(params[1], -7);

  auto* fresh = new BrevinFilter(nullptr, nullptr);
  ComPtr<IConversionParams> none;
  fresh->InnerQueryInterface(IID_PPV_ARGS(&none));
  ASSERT_EQ(none->GetParams(params), S_OK);
  EXPECT_EQ(params[0], 0);
  EXPECT_EQ(params[1], 0);

  EXPECT_EQ(none->SetParams(5, 6), S_OK);
  ASSERT_EQ(none->GetParams(params), S_OK);
  EXPECT_EQ(params[0], 5);
  EXPECT_EQ(params[1], 6);
  ASSERT_EQ(read->GetParams(params), S_OK);
  EXPECT_EQ(params[0], 42);
}

TEST_F(Brevin, SetParamsAsksForAReconnectionOnceTheOutputHasATypedFormat) {
  ASSERT_EQ(filter->JoinFilterGraph(graph.Get(), L"Brevin"), S_OK);
  ASSERT_EQ(transform->SetParams(1, 2), S_OK);
  EXPECT_TRUE(graph->reconnected.empty());

  ASSERT_EQ(ConnectInput(WaveType(2, 44100, 16)), S_OK);
  ASSERT_EQ(out->Connect(downstream.Get(), nullptr), S_OK);
  ASSERT_EQ(transform->SetParams(3, 4), S_OK);
  ASSERT_EQ(graph->reconnected.size(), 1u);
  EXPECT_EQ(graph->reconnected[0], static_cast<IPin*>(out));

  // The type stays with the pin after disconnection, and so does the request.
  ASSERT_EQ(out->Disconnect(), S_OK);
  ASSERT_EQ(transform->SetParams(5, 6), S_OK);
  EXPECT_EQ(graph->reconnected.size(), 2u);
}

TEST_F(Brevin, AnswersItsInterfacesAndNamesItsPropertyPage) {
  ComPtr<IUnknown> found;
  EXPECT_EQ(filter->QueryInterface(__uuidof(IConversionParams), &found), S_OK);
  EXPECT_EQ(filter->QueryInterface(IID_ISpecifyPropertyPages, &found), S_OK);
  EXPECT_EQ(filter->QueryInterface(IID_IAMovieSetup, &found), S_OK);
  EXPECT_EQ(filter->QueryInterface(IID_IMediaFilter, &found), S_OK);
  EXPECT_EQ(filter->QueryInterface(IID_IPersistStream, &found), E_NOINTERFACE);
  EXPECT_EQ(filter->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  CLSID classId{};
  ASSERT_EQ(filter->GetClassID(&classId), S_OK);
  EXPECT_TRUE(IsEqualCLSID(classId, CLSID_BrevinFilter));
  ComPtr<IAMovieSetup> setup;
  ASSERT_EQ(filter.As(&setup), S_OK);
  EXPECT_EQ(setup->Register(), S_FALSE);

  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(filter.As(&pages), S_OK);
  CAUUID list{};
  ASSERT_EQ(pages->GetPages(&list), S_OK);
  ASSERT_EQ(list.cElems, 1u);
  EXPECT_TRUE(IsEqualGUID(list.pElems[0], CLSID_BrevinPropertyPage));
  CoTaskMemFree(list.pElems);
  EXPECT_EQ(pages->GetPages(nullptr), E_POINTER);

  AllocationFailure noList(sizeof(GUID));
  ASSERT_TRUE(noList.Active());
  list = CAUUID{};
  EXPECT_EQ(pages->GetPages(&list), E_OUTOFMEMORY);
  EXPECT_EQ(list.cElems, 1u);
  EXPECT_EQ(list.pElems, nullptr);
}

// An aggregating object that only passes its reference count through.
class Aggregator : public IUnknown, public CountedDouble {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  BREVIN_COUNTED_DOUBLE
};

TEST(BrevinClassFactory, CreatesFiltersAndRefusesWhatCannotBeHandedOut) {
  const FactoryTemplate* row = FindClass(CLSID_BrevinFilter);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(FindClass(CLSID_NULL), nullptr);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ((new ClassFactory(row))->QueryInterface(IID_PPV_ARGS(&factory)), S_OK);
  const LONG before = UnknownBase::LiveObjects();

  ComPtr<IBaseFilter> made;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter, nullptr), E_POINTER);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&made)), S_OK);
  FILTER_STATE state;
  EXPECT_EQ(made->GetState(0, &state), S_OK);
  made.Reset();
  EXPECT_EQ(UnknownBase::LiveObjects(), before);

  // An interface the object lacks: made, refused, and gone again.
  ComPtr<IPersistStream> persist;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&persist)), E_NOINTERFACE);
  EXPECT_EQ(UnknownBase::LiveObjects(), before);

  // Aggregated: only the inner IUnknown may be asked for, and it counts on the aggregator.
  auto outer = MakeDouble<Aggregator>();
  EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_PPV_ARGS(&made)), E_NOINTERFACE);
  EXPECT_EQ(UnknownBase::LiveObjects(), before);
  ComPtr<IUnknown> inner;
  ASSERT_EQ(factory->CreateInstance(outer.Get(), IID_PPV_ARGS(&inner)), S_OK);
  ASSERT_EQ(inner->QueryInterface(IID_PPV_ARGS(&made)), S_OK);
  EXPECT_EQ(outer->References(), 2);
  made.Reset();
  inner.Reset();
  EXPECT_EQ(UnknownBase::LiveObjects(), before);

  const LONG locks = Module().serverLocks;
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(Module().serverLocks, locks + 1);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(Module().serverLocks, locks);
}

}  // namespace
}  // namespace brevin::test
