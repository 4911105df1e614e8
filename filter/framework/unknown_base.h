#pragma once
// The aggregatable, reference-counted base of every COM object in the module.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace brevin {

// The non-delegating IUnknown. Its three slots have the shape of IUnknown's, so a pointer to it
// can be handed to an aggregating outer object as the inner IUnknown.
class InnerUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE InnerAddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE InnerRelease() = 0;

 protected:
  ~InnerUnknown() = default;
};

// Counts one live object of the module for as long as it exists. Every object that keeps the
// module loaded holds one.
class LiveObject {
 public:
  LiveObject();
  ~LiveObject();
  LiveObject(const LiveObject&) = delete;
  LiveObject& operator=(const LiveObject&) = delete;

  // Objects of the module alive right now; the module may unload only at zero.
  static LONG Count();
};

class UnknownBase : public InnerUnknown {
 public:
  // `outer` is the aggregating object's IUnknown, or null for an object that is its own owner.
  explicit UnknownBase(IUnknown* outer);
  virtual ~UnknownBase();
  UnknownBase(const UnknownBase&) = delete;
  UnknownBase& operator=(const UnknownBase&) = delete;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE InnerAddRef() override;
  ULONG STDMETHODCALLTYPE InnerRelease() override;

  // The IUnknown every interface of the object delegates to.
  IUnknown* Owner() const { return owner_; }
  IUnknown* AsInnerUnknown() {
    return reinterpret_cast<IUnknown*>(static_cast<InnerUnknown*>(this));
  }

  static LONG LiveObjects() { return LiveObject::Count(); }

 protected:
  // Hands `iface` out through `object` with a reference added.
  static HRESULT HandOut(IUnknown* iface, void** object);
  // Runs when the last reference has gone, just before the object is deleted, while it is still
  // whole: the place to let go of what the object holds through its own virtual methods.
  virtual void LastReferenceReleased() {}

 private:
  LiveObject live_;
  IUnknown* owner_;
  std::atomic<LONG> references_{0};
};

}  // namespace brevin

// The outer IUnknown methods of a class's interfaces: all of them go to the owner.
#define BREVIN_OUTER_UNKNOWN                                                                 \
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {             \
    return Owner()->QueryInterface(iid, object);                                             \
  }                                                                                          \
  ULONG STDMETHODCALLTYPE AddRef() override { return Owner()->AddRef(); }                    \
  ULONG STDMETHODCALLTYPE Release() override { return Owner()->Release(); }
