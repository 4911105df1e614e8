#pragma once
// The broadcast-wave time code: the "bext" chunk's time reference (samples since midnight) with
// the sample rate of the "fmt " chunk gives the start of the recording; the chunk's text may also
// carry the recorder's frame rate ("FRAMERATE=", "SPEED=") and user bits ("UBITS=").
//
// Use from the window, after ScanChunks and only when scan.noBext is false:
//   const timecode::BwfTimeCode bwf = timecode::ReadBWFTimeCode(path, scan, Framerate caption);
//   Samplerate = bwf.samplerate;   FDT = bwf.fdt;
//   Framerate = bwf.framerate;  if (bwf.framerateFromFile) Framerate colour = green (65280)
//   if (bwf.ub) UB = *bwf.ub;
//   STC = bwf.stc;   Duration = bwf.duration ("");   TCLabel = bwf.tcLabel ("BWF Time Code")
//   TCOffset = bwf.tcOffset;   BWFStartTC = bwf.bwfStartTC;   TCSource = bwf.tcSource (3)
//   append bwf.debugAppend to Dbugtxt
//
// Reads at most the first 6051 bytes from the "bext" header and the first 61 bytes from the
// "fmt " header; bytes past the end of the file read as zero.
//
// Texts are file characters, one byte each (reader_text.h): show them as Latin-1.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "byte_source.h"
#include "chunk_scanner.h"

namespace timecode {

inline constexpr std::string_view kBwfTCLabel = "BWF Time Code";
inline constexpr int kTCSourceBwf = 3;
// Used when the "fmt " chunk gives 0 or more than 192000 samples per second, or is missing.
inline constexpr std::string_view kDefaultSamplerate = "44100";

struct BwfTimeCode {
  std::string samplerate;          // digits, e.g. "48000"
  std::string fdt;                 // origination date, a blank, hours and minutes: "2026-12-07 10:30"
                                   // (zero bytes of an unset date show as blanks)
  std::string framerate;           // the Framerate caption after the keys (unchanged when none found)
  bool framerateFromFile = false;  // the caption was taken from the file: show it green
  std::optional<std::string> ub;   // "12-34-56-78" when "UBITS=" was found; else UB stays
  std::string stc;                 // start time code "HH:MM:SS:FF"
  std::string duration;            // the Duration caption is emptied
  std::string tcLabel{kBwfTCLabel};
  int tcSource = kTCSourceBwf;
  double tcOffset = 0;    // rate-corrected start in seconds
  double bwfStartTC = 0;  // the same value
  std::string debugAppend;  // description, "--TC Stamp--", "Raw Samples=", "Raw Secs=" lines
  std::uint64_t rawSamples = 0;  // the time reference as read
  double rawSeconds = 0;         // rawSamples / sample rate, before rate correction
};

// `framerateCaption` is the Framerate caption as set when the file was opened.
BwfTimeCode ReadBWFTimeCode(const std::filesystem::path& path, const ChunkScan& scan,
                            std::string_view framerateCaption);
BwfTimeCode ReadBWFTimeCode(const ByteSource& bytes, const ChunkScan& scan,
                            std::string_view framerateCaption);

}  // namespace timecode
