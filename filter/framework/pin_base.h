#pragma once
// The generic pin: IPin with the connection protocol and media type agreement, and
// IQualityControl's sink. Input and output pins derive from it.
#include <windows.h>
#include <strmif.h>

#include <atomic>
#include <memory>

#include "critical_section.h"
#include "media_type_value.h"
#include "unknown_base.h"

namespace brevin {

class PinOwner;

class PinBase : public UnknownBase, public IPin, public IQualityControl {
 public:
  // `lock` is the owning filter's filter lock. The name is copied.
  PinBase(const wchar_t* name, PinOwner* owner, CriticalSection* lock, PIN_DIRECTION direction);
  ~PinBase() override;

  BREVIN_OUTER_UNKNOWN

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  // A pin's reference count is its filter's.
  ULONG STDMETHODCALLTYPE InnerAddRef() override;
  ULONG STDMETHODCALLTYPE InnerRelease() override;

  // IPin
  HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
  HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
  HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
  HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* type) override;
  HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** enumerator) override;
  HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
  HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                       double rate) override;

  // IQualityControl (Notify is the derived pin's)
  HRESULT STDMETHODCALLTYPE SetSink(IQualityControl* sink) override;

  // Changes whenever the types the pin offers change; media type enumerators compare it.
  virtual LONG MediaTypeVersion();
  virtual HRESULT Activate();
  virtual HRESULT Deactivate() = 0;
  virtual HRESULT RunFrom(REFERENCE_TIME start);
  // S_OK when the pin takes `type`; anything else refuses it.
  virtual HRESULT AcceptMediaType(const AM_MEDIA_TYPE& type) = 0;
  virtual HRESULT SetConnectionType(const AM_MEDIA_TYPE& type);
  virtual HRESULT CheckConnection(IPin* peer);
  virtual HRESULT BreakConnection() = 0;
  virtual HRESULT CompleteConnection(IPin* receivePin);
  // The offered type at `position` (0 first); S_OK while there is one.
  virtual HRESULT OfferedMediaType(int position, MediaTypeValue& type);

  bool IsConnected() const { return connected_ != nullptr; }
  // The connected pin, without a reference added.
  IPin* ConnectedPin() const { return connected_; }
  PIN_DIRECTION Direction() const { return direction_; }
  const MediaTypeValue& ConnectionType() const { return connectionType_; }
  const wchar_t* Name() const { return name_.get(); }
  PinOwner* OwningFilter() const { return owner_; }
  CriticalSection& FilterLock() const { return *lock_; }
  bool RunTimeError() const { return runTimeError_; }
  REFERENCE_TIME SegmentStart() const { return segmentStart_; }
  REFERENCE_TIME SegmentStop() const { return segmentStop_; }
  double SegmentRate() const { return segmentRate_; }
  void SetCanReconnectWhenActive(bool can) { canReconnectWhenActive_ = can; }
  // Call when the offered types change, so that open enumerators report it.
  void IncrementMediaTypeVersion() { ++mediaTypeVersion_; }

 protected:
  void SetRunTimeError(bool error) { runTimeError_ = error; }
  IQualityControl* QualitySink() const { return qualitySink_; }

 private:
  HRESULT RefuseWhileConnectedOrActive() const;
  HRESULT CheckAndAccept(IPin* peer, const AM_MEDIA_TYPE& type);
  HRESULT AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* partial);
  HRESULT TryEnumeratedTypes(IPin* receivePin, const AM_MEDIA_TYPE* partial,
                             IEnumMediaTypes* types, HRESULT& specificReason);
  HRESULT AttemptConnection(IPin* receivePin, const AM_MEDIA_TYPE& type);
  void DropConnectedPin();

  std::unique_ptr<wchar_t[]> name_;
  IPin* connected_ = nullptr;  // counted
  PinOwner* owner_;
  CriticalSection* lock_;
  // Set by a refused in-stream type change; read on the streaming thread without the lock.
  std::atomic<bool> runTimeError_{false};
  bool canReconnectWhenActive_ = false;
  bool tryOwnTypesFirst_ = false;
  PIN_DIRECTION direction_;
  IQualityControl* qualitySink_ = nullptr;  // not counted
  std::atomic<LONG> mediaTypeVersion_{1};
  MediaTypeValue connectionType_;
  REFERENCE_TIME segmentStart_ = 0;
  REFERENCE_TIME segmentStop_ = 0x7FFFFFFFFFFFFFFF;
  double segmentRate_ = 1.0;
};

}  // namespace brevin
