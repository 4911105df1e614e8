#pragma once
// mpv's property names, option values and commands, in one place.

namespace mpv_names {
// Properties
inline constexpr const char* kPause = "pause";
inline constexpr const char* kTimePos = "time-pos";
inline constexpr const char* kDuration = "duration";
inline constexpr const char* kEofReached = "eof-reached";
inline constexpr const char* kSpeed = "speed";
inline constexpr const char* kAudioFilters = "af";
inline constexpr const char* kCurrentAudioOutput = "current-ao";
inline constexpr const char* kFirstPlaylistEntryId = "playlist/0/id";

// Options set before initialisation
inline constexpr const char* kVo = "vo";
inline constexpr const char* kAo = "ao";
inline constexpr const char* kAudioDevice = "audio-device";
inline constexpr const char* kAudioFallbackToNull = "audio-fallback-to-null";
inline constexpr const char* kKeepOpen = "keep-open";
inline constexpr const char* kHrSeek = "hr-seek";
inline constexpr const char* kHrSeekFramedrop = "hr-seek-framedrop";
inline constexpr const char* kLoadScripts = "load-scripts";
inline constexpr const char* kYtdl = "ytdl";
inline constexpr const char* kConfig = "config";
inline constexpr const char* kInputDefaultBindings = "input-default-bindings";
inline constexpr const char* kOsc = "osc";
inline constexpr const char* kAudioPitchCorrection = "audio-pitch-correction";
inline constexpr const char* kIdle = "idle";
inline constexpr const char* kVolume = "volume";
inline constexpr const char* kTerminal = "terminal";

// Values
inline constexpr const char* kYes = "yes";
inline constexpr const char* kNo = "no";
inline constexpr const char* kNullOutput = "null";
// The render API; where it cannot be had, no picture rather than no playback.
inline constexpr const char* kRenderApiOutput = "libmpv,null";

// Log messages asked for: the errors, which give the reason a recording cannot be played.
inline constexpr const char* kLogLevelError = "error";

// Commands
inline constexpr const char* kLoadFile = "loadfile";
inline constexpr const char* kStop = "stop";
inline constexpr const char* kSeek = "seek";
inline constexpr const char* kSeekAbsoluteExact = "absolute+exact";
// Opens the sound output again, which tries the real devices before the null one.
inline constexpr const char* kAudioOutputReload = "ao-reload";

// Audio filters: speed with the pitch kept down to a tenth, and the left/right balance.
inline constexpr const char* kTempoFilter = "@qm-tempo:scaletempo2=min-speed=0.05";
inline constexpr const char* kBalanceFilterFormat = "@qm-balance:lavfi=[stereotools=balance_out=%.2f]";
}  // namespace mpv_names
