#pragma once
// A transform of our own on the framework: takes audio, offers downstream its input type, and
// copies each sample's bytes into one output buffer of a set size.
#include <windows.h>
#include <strmif.h>

#include <vector>

#include "transform_filter_base.h"

namespace brevin::test {

class CopyTransform : public TransformFilterBase {
 public:
  CopyTransform() : TransformFilterBase(nullptr, CLSID_NULL) {}

  HRESULT TransformSample(IMediaSample* input, IMediaSample* output) override;
  // Audio of the accepted subtypes (any audio when empty); E_FAIL otherwise.
  HRESULT AcceptInputType(const AM_MEDIA_TYPE& type) override;
  HRESULT AcceptTransform(const AM_MEDIA_TYPE& input, const AM_MEDIA_TYPE& output) override;
  HRESULT SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;
  HRESULT ProposeOutputType(int position, MediaTypeValue& type) override;

  std::vector<GUID> accepted;
  long bufferSize = 256 * 1024;
  // Samples to drop (TransformSample answers S_FALSE) before copying again.
  int dropping = 0;
  int transformed = 0;
  long long bytes = 0;
  unsigned long long byteSum = 0;  // sum of every byte copied
};

}  // namespace brevin::test
