#pragma once
// An owning DirectShow media type: the value owns its format block (COM task memory) and holds a
// reference on its pUnk.
#include <windows.h>
#include <strmif.h>

#include <memory>

namespace brevin {

class MediaTypeValue {
 public:
  // A fresh value: GUID_NULL types, fixed-size samples of size 1, no format block.
  MediaTypeValue();
  ~MediaTypeValue();
  MediaTypeValue(MediaTypeValue&& other) noexcept;
  MediaTypeValue& operator=(MediaTypeValue&& other) noexcept;
  // Copies can fail for lack of memory, so they are explicit: see CopyFrom.
  MediaTypeValue(const MediaTypeValue&) = delete;
  MediaTypeValue& operator=(const MediaTypeValue&) = delete;

  // Takes over the contents of a task-allocated structure (as enumerators and samples hand them
  // out) and frees the structure. A null pointer gives a fresh value.
  static MediaTypeValue Adopt(AM_MEDIA_TYPE* taskAllocated);

  const AM_MEDIA_TYPE& Type() const { return type_; }
  const GUID& MajorType() const { return type_.majortype; }
  const GUID& Subtype() const { return type_.subtype; }
  const GUID& FormatType() const { return type_.formattype; }
  ULONG FormatLength() const { return type_.cbFormat; }
  const BYTE* Format() const { return type_.pbFormat; }

  void SetMajorType(const GUID& major) { type_.majortype = major; }
  void SetSubtype(const GUID& subtype) { type_.subtype = subtype; }
  void SetFormatType(const GUID& formatType) { type_.formattype = formatType; }
  void SetTemporalCompression(bool compressed) { type_.bTemporalCompression = compressed; }
  // 0 means variable-size samples; any other size makes them fixed-size.
  void SetSampleSize(ULONG size);

  // A format block of `length` bytes (contents unspecified), or null when none can be had. The
  // present block is reused when it has that length already, and also when a new one cannot be
  // allocated but the present one is large enough.
  BYTE* AllocateFormat(ULONG length);
  bool SetFormat(const BYTE* bytes, ULONG length);

  // Deep copy of `source` (format block copied, pUnk referenced). E_OUTOFMEMORY leaves this value
  // as it was.
  HRESULT CopyFrom(const AM_MEDIA_TYPE& source);
  // Deep copy into a caller's structure whose old contents are not looked at.
  HRESULT CopyTo(AM_MEDIA_TYPE& target) const;
  // Moves the contents into a new task-allocated structure and leaves this value fresh; null when
  // the structure cannot be allocated (this value is then unchanged).
  AM_MEDIA_TYPE* ReleaseToTaskMemory();
  // Releases the format block and pUnk.
  void Free();

  // Major type or format type not given.
  bool IsPartiallySpecified() const { return IsPartiallySpecified(type_); }
  static bool IsPartiallySpecified(const AM_MEDIA_TYPE& type);
  // Every GUID the pattern gives is equal; a pattern with a format type also needs an equal block.
  bool MatchesPattern(const AM_MEDIA_TYPE& pattern) const;

  // Helpers for plain structures that came from elsewhere.
  static void ResetToFresh(AM_MEDIA_TYPE& type);
  static void FreeContents(AM_MEDIA_TYPE& type);
  static void DeleteTaskAllocated(AM_MEDIA_TYPE* type);

 private:
  static HRESULT CopyInto(const AM_MEDIA_TYPE& source, AM_MEDIA_TYPE& target);

  AM_MEDIA_TYPE type_;
};

struct TaskMediaTypeDelete {
  void operator()(AM_MEDIA_TYPE* type) const { MediaTypeValue::DeleteTaskAllocated(type); }
};
// A task-allocated media type as COM hands it over, freed with its contents.
using TaskMediaType = std::unique_ptr<AM_MEDIA_TYPE, TaskMediaTypeDelete>;

}  // namespace brevin
