#pragma once
// Pins built on the framework bases, with type rules the tests set: what they accept, what they
// offer, and how the output pin sizes its buffers.
#include <windows.h>
#include <strmif.h>

#include <vector>

#include "input_pin_base.h"
#include "output_pin_base.h"

namespace brevin::test {

struct TypeRules {
  // Audio types with one of these subtypes are accepted (any audio type when empty).
  std::vector<GUID> accepted;
  // What AcceptMediaType answers for a type it does not take.
  HRESULT refusal = S_FALSE;
  // Subtypes of the audio types offered, in order.
  std::vector<GUID> offered;

  HRESULT Accept(const AM_MEDIA_TYPE& type) const;
  HRESULT Offer(int position, MediaTypeValue& type) const;
};

class TestInputPin : public InputPinBase {
 public:
  TestInputPin(PinOwner* owner, CriticalSection* lock, const wchar_t* name = L"Test In")
      : InputPinBase(name, owner, lock) {}

  HRESULT AcceptMediaType(const AM_MEDIA_TYPE& type) override { return rules.Accept(type); }
  HRESULT OfferedMediaType(int position, MediaTypeValue& type) override {
    return rules.Offer(position, type);
  }
  HRESULT STDMETHODCALLTYPE EndOfStream() override;

  TypeRules rules;
  int endOfStreams = 0;
};

class TestOutputPin : public OutputPinBase {
 public:
  TestOutputPin(PinOwner* owner, CriticalSection* lock, const wchar_t* name = L"Test Out")
      : OutputPinBase(name, owner, lock) {}

  HRESULT AcceptMediaType(const AM_MEDIA_TYPE& type) override { return rules.Accept(type); }
  HRESULT OfferedMediaType(int position, MediaTypeValue& type) override {
    return rules.Offer(position, type);
  }
  // Asks for `buffers` buffers of `bufferSize` bytes and fails when granted less.
  HRESULT SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;
  HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* sender, Quality quality) override;

  TypeRules rules;
  long buffers = 2;
  long bufferSize = 4096;
  std::vector<ALLOCATOR_PROPERTIES> sizedWith;  // the requirements each sizing started from
  int qualityNotices = 0;
};

}  // namespace brevin::test
