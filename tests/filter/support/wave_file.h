#pragma once
// Test recordings: a RIFF/WAVE file with a plain PCM format chunk and audio bytes that follow a
// fixed pattern, written to the temporary folder and removed again.
#include <windows.h>

#include <string>
#include <vector>

namespace brevin::test {

class WaveFile {
 public:
  WaveFile(WORD channels, DWORD sampleRate, WORD bitsPerSample, DWORD frames);
  ~WaveFile();
  WaveFile(const WaveFile&) = delete;
  WaveFile& operator=(const WaveFile&) = delete;

  const std::wstring& Path() const { return path_; }
  const std::vector<BYTE>& Audio() const { return audio_; }
  bool Written() const { return written_; }

 private:
  std::wstring path_;
  std::vector<BYTE> audio_;
  bool written_ = false;
};

}  // namespace brevin::test
