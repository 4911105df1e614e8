#include "wide_string.h"

#include <objbase.h>

#include <cstring>
#include <cwchar>
#include <new>

namespace brevin {

std::unique_ptr<wchar_t[]> CopyWideString(const wchar_t* text) {
  if (!text) return nullptr;
  const size_t length = std::wcslen(text) + 1;
  std::unique_ptr<wchar_t[]> copy(new (std::nothrow) wchar_t[length]);
  if (copy) std::wmemcpy(copy.get(), text, length);
  return copy;
}

void CopyTruncated(wchar_t* target, size_t capacity, const wchar_t* text) {
  if (capacity == 0) return;
  target[0] = L'\0';
  if (!text) return;
  std::wcsncpy(target, text, capacity - 1);
  target[capacity - 1] = L'\0';
}

HRESULT CopyToTaskMemory(const wchar_t* text, LPWSTR* copy) {
  if (!copy) return E_POINTER;
  if (!text) text = L"";
  const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
  *copy = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
  if (!*copy) return E_OUTOFMEMORY;
  std::memcpy(*copy, text, bytes);
  return S_OK;
}

}  // namespace brevin
