#pragma once
// The MP3 tag-area time code: the last 128 bytes of the file read as text, with the keys "TC="
// (start time code), "UB=" (user bits, up to the "TC=" key), "FR=" (frame rate) and "D="
// (duration), found anywhere, letter case ignored, first occurrence.
//
// Use from the window, after the player was given the file and only when MediaExt is exactly
// "Mp3", "MP3" or "mp3":
//   const timecode::Id3TimeCode id3 = timecode::ReadID3TimeCode(path, {STC, Framerate, FDT});
//   TCLabel = id3.tcLabel;   Duration = id3.duration;
//   then each value that is set:   STC = *id3.stc;  TCSource = *id3.tcSource;  UB = *id3.ub;
//   Framerate = *id3.framerate (shown green);  append *id3.debugAppend to Dbugtxt;
//   TCOffset = *id3.tcOffset;  ID3Duration = *id3.id3Duration;  FDT = *id3.fdt;
//   ID3StartTC = *id3.id3StartTC.
//
// The reader stops quietly at the first failure (the file cannot be read or is shorter than 128
// bytes; a "UB=" with no "TC=" after it; no modified time when FDT must be filled): what it set
// before stays set, nothing after is set, and then id3StartTC is empty. No message is shown.
//
// Texts are file characters, one byte each (reader_text.h): show them as Latin-1.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "byte_source.h"
#include "file_time.h"

namespace timecode {

inline constexpr std::string_view kElapsedTimeLabel = "ELAPSED TIME";
inline constexpr std::string_view kId3TCLabel = "ID3 TIME CODE";
inline constexpr int kTCSourceId3 = 2;
inline constexpr std::size_t kTagAreaSize = 128;

// The captions the reader reads, as the window shows them.
struct Id3Captions {
  std::string_view stc;        // "00:00:00:00" after opening
  std::string_view framerate;  // e.g. "30.000 ND"
  std::string_view fdt;        // filled from the modified time only when empty
};

struct Id3TimeCode {
  std::string tcLabel{kElapsedTimeLabel};  // "ID3 TIME CODE" when "TC=" was found
  std::string duration;                    // emptied, or the "D=" value
  std::optional<std::string> stc;          // the "TC=" value
  std::optional<int> tcSource;             // 2 with "TC="
  std::optional<std::string> ub;           // the "UB=" value
  std::optional<std::string> framerate;    // the "FR=" value; show it green
  std::optional<std::string> debugAppend;  // a line break and the 128 characters
  std::optional<double> tcOffset;          // the start time code in seconds
  std::optional<double> id3Duration;       // the "D=" value in seconds
  std::optional<std::string> fdt;          // "YYYY-MM-DD/HH:MM:SS" when FDT was empty
  std::optional<double> id3StartTC;        // set only when the reader ran to its end
  std::string tagText;                     // the 128 characters (zero bytes as blanks)
};

Id3TimeCode ReadID3TimeCode(const std::filesystem::path& path, const Id3Captions& captions);

// The same over bytes already open; `modified` is the file's modified time (needed only when
// the FDT caption is empty).
Id3TimeCode ReadID3TimeCode(const ByteSource& bytes, const Id3Captions& captions,
                            const std::optional<LocalDateTime>& modified);

}  // namespace timecode
