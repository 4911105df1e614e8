#include "allocation_failure.h"

#include <atomic>

namespace brevin::test {
namespace {

// Lives for the whole process: the runtime may keep it until the blocks it saw are freed.
class FailingSpy : public IMallocSpy {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
      *object = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override {
    if (request == failingSize) {
      ++refused;
      return 0;
    }
    return request;
  }
  void* STDMETHODCALLTYPE PostAlloc(void* actual) override { return actual; }
  void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override { return request; }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest,
                                      BOOL) override {
    *newRequest = request;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

  std::atomic<SIZE_T> failingSize{0};
  std::atomic<int> refused{0};
};

FailingSpy spy;

}  // namespace

AllocationFailure::AllocationFailure(SIZE_T failingSize) {
  spy.failingSize = failingSize;
  spy.refused = 0;
  registered_ = SUCCEEDED(CoRegisterMallocSpy(&spy));
}

AllocationFailure::~AllocationFailure() {
  spy.failingSize = 0;
  if (registered_) CoRevokeMallocSpy();
}

int AllocationFailure::Refused() const { return spy.refused; }

}  // namespace brevin::test
