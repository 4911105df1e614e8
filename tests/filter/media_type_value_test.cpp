// The owning media type value: fresh state, sizes, the format block rules, copies and matching.
#include <objbase.h>
#include <uuids.h>

#include <cstring>

#include <gtest/gtest.h>

#include "allocation_failure.h"
#include "audio_types.h"
#include "counted_double.h"
#include "media_type_value.h"

namespace brevin {
namespace {

class CountedUnknown : public IUnknown, public test::CountedDouble {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  BREVIN_COUNTED_DOUBLE
};

TEST(MediaTypeValue, FreshValueHasNullTypesAndFixedSamplesOfOne) {
  MediaTypeValue value;
  EXPECT_TRUE(IsEqualGUID(value.MajorType(), GUID_NULL));
  EXPECT_TRUE(IsEqualGUID(value.Subtype(), GUID_NULL));
  EXPECT_TRUE(IsEqualGUID(value.FormatType(), GUID_NULL));
  EXPECT_TRUE(value.Type().bFixedSizeSamples);
  EXPECT_EQ(value.Type().lSampleSize, 1u);
  EXPECT_EQ(value.Format(), nullptr);
  EXPECT_TRUE(value.IsPartiallySpecified());

  value.SetSampleSize(0);
  EXPECT_FALSE(value.Type().bFixedSizeSamples);
  EXPECT_EQ(value.Type().lSampleSize, 1u);
  value.SetSampleSize(4096);
  EXPECT_TRUE(value.Type().bFixedSizeSamples);
  EXPECT_EQ(value.Type().lSampleSize, 4096u);
}

TEST(MediaTypeValue, FormatBlockIsReusedAtTheSameLengthAndReplacedOtherwise) {
  MediaTypeValue value;
  BYTE* first = value.AllocateFormat(16);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(value.AllocateFormat(16), first);
  const BYTE bytes[24] = {9, 8, 7};
  ASSERT_TRUE(value.SetFormat(bytes, sizeof bytes));
  EXPECT_EQ(value.FormatLength(), 24u);
  EXPECT_EQ(std::memcmp(value.Format(), bytes, sizeof bytes), 0);
}

TEST(MediaTypeValue, FailedAllocationKeepsTheOldBlockOnlyWhenItIsLargeEnough) {
  MediaTypeValue value;
  const BYTE bytes[32] = {1, 2, 3, 4, 5, 6};
  ASSERT_TRUE(value.SetFormat(bytes, sizeof bytes));
  const BYTE* old = value.Format();
  {
    test::AllocationFailure failure(64);
    ASSERT_TRUE(failure.Active());
    EXPECT_EQ(value.AllocateFormat(64), nullptr);
    EXPECT_EQ(failure.Refused(), 1);
  }
  EXPECT_EQ(value.Format(), old);
  EXPECT_EQ(value.FormatLength(), 32u);
  {
    test::AllocationFailure failure(20);
    ASSERT_TRUE(failure.Active());
    const BYTE shorter[20] = {7, 7, 7};
    ASSERT_TRUE(value.SetFormat(shorter, sizeof shorter));
    EXPECT_EQ(failure.Refused(), 1);
    EXPECT_EQ(value.Format(), old);
    EXPECT_EQ(value.FormatLength(), 20u);
    EXPECT_EQ(std::memcmp(value.Format(), shorter, sizeof shorter), 0);
  }
}

TEST(MediaTypeValue, CopyIsDeepAndHoldsItsOwnUnknownReference) {
  auto unknown = test::MakeDouble<CountedUnknown>();
  MediaTypeValue original = test::AudioType(MEDIASUBTYPE_PCM);
  AM_MEDIA_TYPE withUnknown = original.Type();
  withUnknown.pUnk = unknown.Get();

  MediaTypeValue copy;
  ASSERT_EQ(copy.CopyFrom(withUnknown), S_OK);
  EXPECT_EQ(unknown->References(), 2);
  EXPECT_NE(copy.Format(), original.Format());
  EXPECT_EQ(copy.FormatLength(), original.FormatLength());
  EXPECT_EQ(std::memcmp(copy.Format(), original.Format(), original.FormatLength()), 0);
  EXPECT_TRUE(IsEqualGUID(copy.Subtype(), MEDIASUBTYPE_PCM));

  MediaTypeValue moved = std::move(copy);
  EXPECT_EQ(unknown->References(), 2);
  moved.Free();
  EXPECT_EQ(unknown->References(), 1);
  EXPECT_EQ(moved.Format(), nullptr);
}

TEST(MediaTypeValue, FailedCopyLeavesTheTargetAsItWas) {
  MediaTypeValue source;
  BYTE big[100] = {};
  source.SetMajorType(MEDIATYPE_Audio);
  source.SetFormat(big, sizeof big);
  MediaTypeValue target = test::AudioType(MEDIASUBTYPE_PCM);
  const BYTE* before = target.Format();

  test::AllocationFailure failure(sizeof big);
  ASSERT_TRUE(failure.Active());
  EXPECT_EQ(target.CopyFrom(source.Type()), E_OUTOFMEMORY);
  EXPECT_EQ(target.Format(), before);
  EXPECT_TRUE(IsEqualGUID(target.Subtype(), MEDIASUBTYPE_PCM));
}

TEST(MediaTypeValue, TaskMemoryHandOverAndAdoptionMoveTheBlockWithoutCopying) {
  MediaTypeValue value = test::AudioType(MEDIASUBTYPE_PCM);
  const BYTE* block = value.Format();
  AM_MEDIA_TYPE* handed = value.ReleaseToTaskMemory();
  ASSERT_NE(handed, nullptr);
  EXPECT_EQ(handed->pbFormat, block);
  EXPECT_EQ(value.Format(), nullptr);

  MediaTypeValue adopted = MediaTypeValue::Adopt(handed);
  EXPECT_EQ(adopted.Format(), block);
  EXPECT_TRUE(IsEqualGUID(adopted.Subtype(), MEDIASUBTYPE_PCM));
}

TEST(MediaTypeValue, PatternMatchComparesOnlyWhatThePatternGives) {
  const MediaTypeValue pcm = test::AudioType(MEDIASUBTYPE_PCM);
  MediaTypeValue pattern;
  EXPECT_TRUE(pcm.MatchesPattern(pattern.Type()));
  pattern.SetMajorType(MEDIATYPE_Audio);
  EXPECT_TRUE(pcm.MatchesPattern(pattern.Type()));
  pattern.SetSubtype(MEDIASUBTYPE_IEEE_FLOAT);
  EXPECT_FALSE(pcm.MatchesPattern(pattern.Type()));
  pattern.SetSubtype(GUID_NULL);

  // With a format type, the block must be the same length and the same bytes.
  pattern.SetFormatType(FORMAT_WaveFormatEx);
  EXPECT_FALSE(pcm.MatchesPattern(pattern.Type()));
  const BYTE same[4] = {1, 2, 3, 4};
  pattern.SetFormat(same, sizeof same);
  EXPECT_TRUE(pcm.MatchesPattern(pattern.Type()));
  const BYTE different[4] = {1, 2, 3, 5};
  pattern.SetFormat(different, sizeof different);
  EXPECT_FALSE(pcm.MatchesPattern(pattern.Type()));
  EXPECT_FALSE(pcm.IsPartiallySpecified());
}

}  // namespace
}  // namespace brevin
