#include "fake_allocator.h"

#include <vfwmsgs.h>

#include <algorithm>

#include "fake_sample.h"

namespace brevin::test {

HRESULT FakeAllocator::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMemAllocator)) {
    *object = static_cast<IMemAllocator*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT FakeAllocator::SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) {
  requested = *request;
  if (FAILED(setPropertiesResult)) return setPropertiesResult;
  granted = *request;
  granted.cbBuffer = std::min(granted.cbBuffer, largestBuffer);
  if (grantedBuffers) granted.cBuffers = grantedBuffers;
  *actual = granted;
  return S_OK;
}

HRESULT FakeAllocator::GetProperties(ALLOCATOR_PROPERTIES* properties) {
  *properties = granted;
  return S_OK;
}

HRESULT FakeAllocator::Commit() {
  ++commits;
  return S_OK;
}

HRESULT FakeAllocator::Decommit() {
  ++decommits;
  return decommitResult;
}

HRESULT FakeAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                 REFERENCE_TIME* stop, DWORD flags) {
  if (commits == 0) return VFW_E_NOT_COMMITTED;
  lastBufferFlags = flags;
  lastBufferHadStart = start != nullptr;
  lastBufferHadStop = stop != nullptr;
  *sample = MakeDouble<FakeSample>(granted.cbBuffer, samplesOfferSample2).Detach();
  return S_OK;
}

HRESULT FakeAllocator::ReleaseBuffer(IMediaSample*) { return S_OK; }

}  // namespace brevin::test
