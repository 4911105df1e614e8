#pragma once
// Audio media types for the tests: major type audio, the given subtype, a small wave format block.
#include <windows.h>
#include <strmif.h>
#include <uuids.h>

#include "media_type_value.h"

namespace brevin::test {

inline MediaTypeValue AudioType(const GUID& subtype) {
  MediaTypeValue type;
  type.SetMajorType(MEDIATYPE_Audio);
  type.SetSubtype(subtype);
  type.SetFormatType(FORMAT_WaveFormatEx);
  const BYTE block[4] = {1, 2, 3, 4};
  type.SetFormat(block, sizeof block);
  return type;
}

}  // namespace brevin::test
