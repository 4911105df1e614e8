#include "media_type_value.h"

#include <objbase.h>

#include <cstring>
#include <utility>

namespace brevin {

MediaTypeValue::MediaTypeValue() { ResetToFresh(type_); }

MediaTypeValue::~MediaTypeValue() { Free(); }

MediaTypeValue::MediaTypeValue(MediaTypeValue&& other) noexcept : type_(other.type_) {
  ResetToFresh(other.type_);
}

MediaTypeValue& MediaTypeValue::operator=(MediaTypeValue&& other) noexcept {
  if (this != &other) {
    Free();
    type_ = other.type_;
    ResetToFresh(other.type_);
  }
  return *this;
}

MediaTypeValue MediaTypeValue::Adopt(AM_MEDIA_TYPE* taskAllocated) {
  MediaTypeValue value;
  if (taskAllocated) {
    value.type_ = *taskAllocated;
    CoTaskMemFree(taskAllocated);
  }
  return value;
}

void MediaTypeValue::ResetToFresh(AM_MEDIA_TYPE& type) {
  std::memset(&type, 0, sizeof type);
  type.bFixedSizeSamples = TRUE;
  type.lSampleSize = 1;
}

void MediaTypeValue::FreeContents(AM_MEDIA_TYPE& type) {
  if (type.pbFormat) CoTaskMemFree(type.pbFormat);
  type.pbFormat = nullptr;
  type.cbFormat = 0;
  if (type.pUnk) type.pUnk->Release();
  type.pUnk = nullptr;
}

void MediaTypeValue::DeleteTaskAllocated(AM_MEDIA_TYPE* type) {
  if (!type) return;
  FreeContents(*type);
  CoTaskMemFree(type);
}

void MediaTypeValue::Free() { FreeContents(type_); }

void MediaTypeValue::SetSampleSize(ULONG size) {
  if (size == 0) {
    type_.bFixedSizeSamples = FALSE;
  } else {
    type_.bFixedSizeSamples = TRUE;
    type_.lSampleSize = size;
  }
}

BYTE* MediaTypeValue::AllocateFormat(ULONG length) {
  if (type_.pbFormat && type_.cbFormat == length) return type_.pbFormat;
  auto* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
  if (!block) {
    if (!type_.pbFormat || length > type_.cbFormat) return nullptr;
    // The old block is large enough: keep it, now holding `length` bytes.
    type_.cbFormat = length;
    return type_.pbFormat;
  }
  if (type_.pbFormat) CoTaskMemFree(type_.pbFormat);
  type_.pbFormat = block;
  type_.cbFormat = length;
  return block;
}

bool MediaTypeValue::SetFormat(const BYTE* bytes, ULONG length) {
  BYTE* block = AllocateFormat(length);
  if (!block) return false;
  if (length) std::memcpy(block, bytes, length);
  return true;
}

HRESULT MediaTypeValue::CopyFrom(const AM_MEDIA_TYPE& source) {
  if (&source == &type_) return S_OK;
  AM_MEDIA_TYPE copy;
  const HRESULT hr = MediaTypeValue::CopyInto(source, copy);
  if (FAILED(hr)) return hr;
  Free();
  type_ = copy;
  return S_OK;
}

HRESULT MediaTypeValue::CopyTo(AM_MEDIA_TYPE& target) const { return CopyInto(type_, target); }

HRESULT MediaTypeValue::CopyInto(const AM_MEDIA_TYPE& source, AM_MEDIA_TYPE& target) {
  BYTE* block = nullptr;
  ULONG length = 0;
  if (source.pbFormat && source.cbFormat) {
    block = static_cast<BYTE*>(CoTaskMemAlloc(source.cbFormat));
    if (!block) return E_OUTOFMEMORY;
    std::memcpy(block, source.pbFormat, source.cbFormat);
    length = source.cbFormat;
  }
  target = source;
  target.pbFormat = block;
  target.cbFormat = length;
  if (target.pUnk) target.pUnk->AddRef();
  return S_OK;
}

AM_MEDIA_TYPE* MediaTypeValue::ReleaseToTaskMemory() {
  auto* handed = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
  if (!handed) return nullptr;
  *handed = type_;
  ResetToFresh(type_);
  return handed;
}

bool MediaTypeValue::IsPartiallySpecified(const AM_MEDIA_TYPE& type) {
  return IsEqualGUID(type.majortype, GUID_NULL) || IsEqualGUID(type.formattype, GUID_NULL);
}

bool MediaTypeValue::MatchesPattern(const AM_MEDIA_TYPE& pattern) const {
  auto given = [](const GUID& g) { return !IsEqualGUID(g, GUID_NULL); };
  if (given(pattern.majortype) && !IsEqualGUID(pattern.majortype, type_.majortype)) return false;
  if (given(pattern.subtype) && !IsEqualGUID(pattern.subtype, type_.subtype)) return false;
  if (!given(pattern.formattype)) return true;
  if (!IsEqualGUID(pattern.formattype, type_.formattype)) return false;
  if (pattern.cbFormat != type_.cbFormat) return false;
  if (pattern.cbFormat == 0) return true;
  if (!pattern.pbFormat || !type_.pbFormat) return pattern.pbFormat == type_.pbFormat;
  return std::memcmp(pattern.pbFormat, type_.pbFormat, pattern.cbFormat) == 0;
}

}  // namespace brevin
