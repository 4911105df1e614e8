#include "wave_file.h"

#include <cstdio>
#include <cstring>

namespace brevin::test {
namespace {

void Put32(std::vector<BYTE>& out, DWORD value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

void Put16(std::vector<BYTE>& out, WORD value) {
  out.push_back(static_cast<BYTE>(value));
  out.push_back(static_cast<BYTE>(value >> 8));
}

void PutTag(std::vector<BYTE>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

WaveFile::WaveFile(WORD channels, DWORD sampleRate, WORD bitsPerSample, DWORD frames) {
  const WORD blockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
  audio_.resize(static_cast<size_t>(frames) * blockAlign);
  // Bytes that differ from their neighbours, so a lost, doubled or moved block shows.
  for (size_t i = 0; i < audio_.size(); ++i) {
    audio_[i] = static_cast<BYTE>((i * 31 + i / 251) & 0xFF);
  }

  std::vector<BYTE> file;
  PutTag(file, "RIFF");
  Put32(file, static_cast<DWORD>(4 + 8 + 16 + 8 + audio_.size()));
  PutTag(file, "WAVE");
  PutTag(file, "fmt ");
  Put32(file, 16);
  Put16(file, WAVE_FORMAT_PCM);
  Put16(file, channels);
  Put32(file, sampleRate);
  Put32(file, sampleRate * blockAlign);
  Put16(file, blockAlign);
  Put16(file, bitsPerSample);
  PutTag(file, "data");
  Put32(file, static_cast<DWORD>(audio_.size()));
  file.insert(file.end(), audio_.begin(), audio_.end());

  wchar_t folder[MAX_PATH];
  wchar_t name[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"brv", 0, name)) return;
  path_ = name;
  HANDLE handle = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  DWORD done = 0;
  written_ = WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &done, nullptr) &&
             done == file.size();
  CloseHandle(handle);
}

WaveFile::~WaveFile() {
  if (!path_.empty()) DeleteFileW(path_.c_str());
}

}  // namespace brevin::test
