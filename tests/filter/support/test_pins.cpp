#include "test_pins.h"

#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>

#include "audio_types.h"

namespace brevin::test {

HRESULT TypeRules::Accept(const AM_MEDIA_TYPE& type) const {
  if (!IsEqualGUID(type.majortype, MEDIATYPE_Audio)) return refusal;
  if (accepted.empty()) return S_OK;
  const bool listed = std::any_of(accepted.begin(), accepted.end(),
                                  [&](const GUID& g) { return IsEqualGUID(g, type.subtype); });
  return listed ? S_OK : refusal;
}

HRESULT TypeRules::Offer(int position, MediaTypeValue& type) const {
  if (position < 0) return E_INVALIDARG;
  if (position >= static_cast<int>(offered.size())) return VFW_S_NO_MORE_ITEMS;
  type = AudioType(offered[static_cast<size_t>(position)]);
  return S_OK;
}

HRESULT TestInputPin::EndOfStream() {
  ++endOfStreams;
  return S_OK;
}

HRESULT TestOutputPin::SizeOutputBuffers(IMemAllocator* allocator,
                                         ALLOCATOR_PROPERTIES* properties) {
  sizedWith.push_back(*properties);
  properties->cBuffers = buffers;
  properties->cbBuffer = bufferSize;
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT hr = allocator->SetProperties(properties, &actual);
  if (FAILED(hr)) return hr;
  if (actual.cBuffers < buffers || actual.cbBuffer < bufferSize) return E_FAIL;
  return S_OK;
}

HRESULT TestOutputPin::Notify(IBaseFilter*, Quality) {
  ++qualityNotices;
  return S_OK;
}

}  // namespace brevin::test
