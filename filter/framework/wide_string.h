#pragma once
// Wide string copies as COM objects hand them around: owned copies that may be missing when
// memory runs out, truncated copies into fixed arrays, and task-allocated copies for callers.
#include <windows.h>

#include <cstddef>
#include <memory>

namespace brevin {

// An owned copy of `text`; null when `text` is null or the copy cannot be allocated.
std::unique_ptr<wchar_t[]> CopyWideString(const wchar_t* text);

// Copies `text` (empty when null) into `target`, cut to fit `capacity` characters with the
// terminator.
void CopyTruncated(wchar_t* target, size_t capacity, const wchar_t* text);

// A task-allocated copy of `text` (empty when null) for the caller to free; E_OUTOFMEMORY.
HRESULT CopyToTaskMemory(const wchar_t* text, LPWSTR* copy);

}  // namespace brevin
