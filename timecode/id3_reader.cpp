#include "id3_reader.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "frame_rate_caption.h"
#include "reader_text.h"
#include "time_code.h"

namespace timecode {

namespace {

constexpr double kDurationFrameDivisor = 30;
constexpr std::size_t kNotFound = std::string_view::npos;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

Id3TimeCode ReadID3TimeCode(const std::filesystem::path& path, const Id3Captions& captions) {
  const FileBytes bytes(path);
  std::optional<LocalDateTime> modified;
  if (captions.fdt.empty()) modified = FileModifiedLocalTime(path);
  return ReadID3TimeCode(bytes, captions, modified);
}

Id3TimeCode ReadID3TimeCode(const ByteSource& bytes, const Id3Captions& captions,
                            const std::optional<LocalDateTime>& modified) {
  Id3TimeCode result;
  if (!bytes.IsOpen() || bytes.Length() < kTagAreaSize) return result;

  std::array<std::uint8_t, kTagAreaSize> area{};
  bytes.ReadAt(bytes.Length() - kTagAreaSize, area);
  result.tagText = BytesAsCharacters(area);
  const std::string_view text = result.tagText;
  const std::string lower = Lower(text);

  const std::size_t tc = lower.find("tc=");
  if (tc != kNotFound) {
    result.stc = Characters(text, tc + 3, 11);
    result.tcLabel = kId3TCLabel;
    result.tcSource = kTCSourceId3;
  }
  // The user bits run from after "UB=" up to the "TC=" key; without a "TC=" after it the reader
  // stops here.
  const std::size_t ub = lower.find("ub=");
  if (ub != kNotFound) {
    if (tc == kNotFound || tc < ub + 3) return result;
    result.ub = Characters(text, ub + 3, tc - ub - 3);
  }
  const std::size_t fr = lower.find("fr=");
  if (fr != kNotFound) result.framerate = Characters(text, fr + 3, 9);
  const std::size_t d = lower.find("d=");
  if (d != kNotFound) result.duration = Characters(text, d + 2, 11);

  result.debugAppend.emplace(kDebugLineBreak);
  result.debugAppend->append(text);

  const std::string_view framerate = result.framerate ? *result.framerate : captions.framerate;
  result.tcOffset = TCToSeconds(result.stc ? *result.stc : captions.stc, StartTCDivisor(framerate));
  if (!result.duration.empty()) {
    result.id3Duration = TCToSeconds(result.duration, kDurationFrameDivisor);
  }
  if (captions.fdt.empty()) {
    if (!modified) return result;
    result.fdt = DateSlashTimeText(*modified);
  }
  result.id3StartTC = result.tcOffset;
  return result;
}

}  // namespace timecode
