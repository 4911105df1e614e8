#include "copy_transform.h"

#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>
#include <cstring>

#include "transform_input_pin.h"

namespace brevin::test {

HRESULT CopyTransform::AcceptInputType(const AM_MEDIA_TYPE& type) {
  if (!IsEqualGUID(type.majortype, MEDIATYPE_Audio)) return E_FAIL;
  if (accepted.empty()) return S_OK;
  const bool listed = std::any_of(accepted.begin(), accepted.end(),
                                  [&](const GUID& g) { return IsEqualGUID(g, type.subtype); });
  return listed ? S_OK : E_FAIL;
}

HRESULT CopyTransform::AcceptTransform(const AM_MEDIA_TYPE& input, const AM_MEDIA_TYPE&) {
  return IsEqualGUID(input.majortype, MEDIATYPE_Audio) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CopyTransform::ProposeOutputType(int position, MediaTypeValue& type) {
  if (position < 0) return E_INVALIDARG;
  if (position > 0) return VFW_S_NO_MORE_ITEMS;
  return type.CopyFrom(InputPin()->ConnectionType().Type());
}

HRESULT CopyTransform::SizeBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) {
  properties->cBuffers = 1;
  properties->cbBuffer = bufferSize;
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT hr = allocator->SetProperties(properties, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < bufferSize ? E_FAIL : S_OK;
}

HRESULT CopyTransform::TransformSample(IMediaSample* input, IMediaSample* output) {
  if (dropping > 0) {
    --dropping;
    return S_FALSE;
  }
  BYTE* from = nullptr;
  BYTE* to = nullptr;
  if (FAILED(input->GetPointer(&from)) || FAILED(output->GetPointer(&to))) return E_UNEXPECTED;
  const long length = input->GetActualDataLength();
  if (length > output->GetSize()) return VFW_E_BUFFER_OVERFLOW;
  std::memcpy(to, from, static_cast<size_t>(length));
  output->SetActualDataLength(length);
  ++transformed;
  bytes += length;
  for (long i = 0; i < length; ++i) byteSum += from[i];
  return S_OK;
}

}  // namespace brevin::test
