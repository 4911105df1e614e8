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
// The number of channels the decoder delivers.
inline constexpr const char* kSourceChannels = "audio-params/channel-count";
// What the demuxer has read ahead: a map with "eof" and "total-bytes" among its fields.
inline constexpr const char* kDemuxerCacheState = "demuxer-cache-state";

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
inline constexpr const char* kUntimed = "untimed";
inline constexpr const char* kAudioFormat = "audio-format";
inline constexpr const char* kPcmFile = "ao-pcm-file";

// Values
inline constexpr const char* kYes = "yes";
inline constexpr const char* kNo = "no";
inline constexpr const char* kNullOutput = "null";
inline constexpr const char* kPcmOutput = "pcm";
inline constexpr const char* kFloatSamples = "float";
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
// Sets an option of a labelled audio filter in place: label, option, value.
inline constexpr const char* kAudioFilterCommand = "af-command";
}  // namespace mpv_names
