#pragma once
// Quillmark's names on the session bus, in one place. The adaptors repeat their interface names
// in Q_CLASSINFO, which takes only a literal.

namespace remote_names {

inline constexpr char kServiceName[] = "org.mpris.MediaPlayer2.quillmark";
inline constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
inline constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
inline constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
// The program's own actions, beside the two standard interfaces on the same object.
inline constexpr char kActionsInterface[] = "org.quillmark.Actions";
inline constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";

// The track id of the open recording is this followed by a number that changes on every opening.
inline constexpr char kTrackIdPrefix[] = "/org/quillmark/recording/";
inline constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

// Errors the window answers with.
inline constexpr char kErrorInvalidArgs[] = "org.freedesktop.DBus.Error.InvalidArgs";
inline constexpr char kErrorNotSupported[] = "org.freedesktop.DBus.Error.NotSupported";
inline constexpr char kErrorFileNotFound[] = "org.freedesktop.DBus.Error.FileNotFound";
inline constexpr char kErrorNoRecording[] = "org.quillmark.Error.NoRecording";
inline constexpr char kErrorNoTimeCode[] = "org.quillmark.Error.NoTimeCode";
inline constexpr char kErrorBusy[] = "org.quillmark.Error.Busy";
// An action that ended in a box telling of a failure: the box's text goes with the error.
inline constexpr char kErrorNotSaved[] = "org.quillmark.Error.NotSaved";    // the bookmark file
inline constexpr char kErrorNotCopied[] = "org.quillmark.Error.NotCopied";  // the clipboard
inline constexpr char kErrorNoneLeft[] = "org.quillmark.Error.NoneLeft";

}  // namespace remote_names
