#include "bwf_reader.h"

#include <algorithm>
#include <array>
#include <vector>

#include "number_text.h"
#include "reader_text.h"
#include "time_code.h"

namespace timecode {

namespace {

// The "bext" chunk as read: its header, at most this many data bytes, and the 43 bytes after.
constexpr std::uint32_t kMaxBextData = 6000;
constexpr std::size_t kBextTail = 51;  // header (8) + 43 following bytes
constexpr std::size_t kFmtBytes = 61;  // "fmt " header and the fields the reader may use

// Offsets from the "bext" header.
constexpr std::size_t kDescription = 8;
constexpr std::size_t kDescriptionLength = 256;
constexpr std::size_t kOriginationDate = 328;
constexpr std::size_t kOriginationTime = 338;
constexpr std::size_t kTimeReference = 346;
constexpr std::size_t kFixedFieldsEnd = kTimeReference + 5;  // the low word and one high byte

// Offset of the sample rate from the "fmt " header.
constexpr std::size_t kSampleRate = 12;

constexpr std::uint32_t kMaxSamplerate = 192000;
constexpr std::uint32_t kDefaultRate = 44100;
static_assert(kDefaultSamplerate == "44100");

// Cuts the caption before its first carriage return; true when it held one.
bool CutAtCarriageReturn(std::string& caption) {
  const std::size_t cr = caption.find('\r');
  if (cr == std::string::npos) return false;
  caption.erase(cr);
  return true;
}

// The frame-rate keys: "FRAMERATE=" gives the 10 characters after it; unless that value holds a
// carriage return, "SPEED=" then gives 10 characters from the second character after its "=".
void ApplyFrameRateKeys(std::string_view bextText, BwfTimeCode& result) {
  const std::size_t frameRate = bextText.find("FRAMERATE=");
  if (frameRate != std::string_view::npos) {
    result.framerate = Characters(bextText, frameRate + 10, 10);
    result.framerateFromFile = true;
  }
  if (CutAtCarriageReturn(result.framerate)) return;
  const std::size_t speed = bextText.find("SPEED=");
  if (speed != std::string_view::npos) {
    result.framerate = Characters(bextText, speed + 7, 10);
    result.framerateFromFile = true;
    CutAtCarriageReturn(result.framerate);
  }
}

// "UBITS=" followed by eight characters, with or without a leading "$", shown as four pairs.
std::optional<std::string> UserBits(std::string_view bextText) {
  const std::size_t key = bextText.find("UBITS=");
  if (key == std::string_view::npos) return std::nullopt;
  std::size_t at = key + 6;
  if (Characters(bextText, at, 1) == "$") ++at;
  std::string bits;
  for (int pair = 0; pair < 4; ++pair) {
    if (pair > 0) bits += '-';
    bits += Characters(bextText, at + 2 * static_cast<std::size_t>(pair), 2);
  }
  return bits;
}

std::string Description(std::span<const std::uint8_t> bext) {
  const auto field = bext.subspan(kDescription, kDescriptionLength);
  const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  std::string text(field.begin(), end);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// A rate of 0 or above 192000 samples per second is not believed.
std::uint32_t UsableSamplerate(std::uint32_t rate) {
  return rate == 0 || rate > kMaxSamplerate ? kDefaultRate : rate;
}

}  // namespace

BwfTimeCode ReadBWFTimeCode(const std::filesystem::path& path, const ChunkScan& scan,
                            std::string_view framerateCaption) {
  const FileBytes bytes(path);
  return ReadBWFTimeCode(bytes, scan, framerateCaption);
}

BwfTimeCode ReadBWFTimeCode(const ByteSource& bytes, const ChunkScan& scan,
                            std::string_view framerateCaption) {
  BwfTimeCode result;
  result.framerate = std::string(framerateCaption);

  // The "bext" chunk from its header on, plus the 43 bytes after it, all searched for the keys.
  // The buffer always covers the fixed fields; bytes not read stay zero.
  const auto index = [](int i) { return static_cast<std::size_t>(std::clamp(i, 0, kMaxChunks)); };
  const ChunkEntry& bextEntry = scan.chunkTable[index(scan.bextChunk)];
  const std::uint32_t bextSize = scan.noBext ? 0 : std::min(bextEntry.size, kMaxBextData);
  const std::size_t bextRead = bextSize + kBextTail;
  std::vector<std::uint8_t> bext(std::max(bextRead, kFixedFieldsEnd), 0);
  bytes.ReadAt(bextEntry.pos, std::span(bext).first(bextRead));
  const std::string bextText = BytesAsCharacters(std::span(bext).first(bextRead));

  // The "fmt " chunk: its header and size bytes, at most 61. Without a "fmt " chunk the sample
  // rate is unknown and the default is used.
  std::array<std::uint8_t, kFmtBytes> fmt{};
  if (scan.fmtChunk > 0) {
    const ChunkEntry& fmtEntry = scan.chunkTable[index(scan.fmtChunk)];
    const std::uint64_t fmtRead = std::min<std::uint64_t>(fmtEntry.size + 10ULL, kFmtBytes);
    bytes.ReadAt(fmtEntry.pos, std::span(fmt).first(static_cast<std::size_t>(fmtRead)));
  }
  const std::uint32_t samplerate = UsableSamplerate(ReadLE32(fmt, kSampleRate));
  result.samplerate = std::to_string(samplerate);

  result.debugAppend += kDebugLineBreak;
  result.debugAppend += Description(bext);

  ApplyFrameRateKeys(bextText, result);
  result.ub = UserBits(bextText);

  const std::span<const std::uint8_t> fixed(bext);
  result.fdt = BytesAsCharacters(fixed.subspan(kOriginationDate, 10)) + " " +
               BytesAsCharacters(fixed.subspan(kOriginationTime, 5));

  result.rawSamples = ReadLE32(bext, kTimeReference) +
                      (static_cast<std::uint64_t>(bext[kTimeReference + 4]) << 32);
  result.rawSeconds = static_cast<double>(result.rawSamples) / samplerate;

  result.debugAppend += "--TC Stamp--";
  result.debugAppend += kDebugLineBreak;
  result.debugAppend += "Raw Samples=" + NumberText(static_cast<double>(result.rawSamples));
  result.debugAppend += kDebugLineBreak;
  result.debugAppend += "Raw Secs=" + NumberText(result.rawSeconds);

  result.tcOffset = RateCorrect(result.rawSeconds, result.framerate, RateCorrection::DisplayBwf);
  result.bwfStartTC = result.tcOffset;
  result.stc = FormatTC(SecondsToTC(result.tcOffset, result.framerate, kBwfStartTC));
  return result;
}

}  // namespace timecode
