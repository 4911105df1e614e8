#include "remote_actions.h"

#include <algorithm>

#include "audio/audio_settings.h"
#include "remote_names.h"

namespace quillmark {
namespace {

using remote_names::kActionsInterface;
using remote_names::kPlayerInterface;

constexpr RemoteAction kActions[] = {
    {"play-pause", "", kPlayerInterface, "PlayPause", "play, or pause when playing"},
    {"play", "", kPlayerInterface, "Play", "play, as the pedal's play switch pressed"},
    {"pause", "", kPlayerInterface, "Pause",
     "pause, as the play switch released (copy, auto-backup)"},
    {"stop", "", kPlayerInterface, "Stop", "stop and go back to the start"},
    {"back", "", kActionsInterface, "Back", "step back by the auto-backup amount"},
    {"copy-tc", "", kActionsInterface, "CopyTimeCode", "copy the time code to the clipboard"},
    {"goto-selection", "", kActionsInterface, "GoToSelectedTimeCode",
     "go to the time code selected in any program"},
    {"bookmark", "N", kActionsInterface, "SetBookmark", "set bookmark N (1 to 12) here"},
    {"goto", "N", kActionsInterface, "GoToBookmark", "go to bookmark N"},
    {"rewind", "", kActionsInterface, "Rewind", "one wind step back"},
    {"forward", "", kActionsInterface, "Forward", "one wind step forward"},
    {"finished", "", kActionsInterface, "FileFinished",
     "File Finished: the recording into \"Completed\""},
    {"speed", "PERCENT", kActionsInterface, "SetSpeed",
     "play at PERCENT of normal speed (10 to 200)"},
    {"open-next", "", kActionsInterface, "OpenNext",
     "open the folder's next unfinished recording"},
    {"volume-up", "", kActionsInterface, "VolumeUp", "the volume up by 10 % (at most 400 %)"},
    {"volume-down", "", kActionsInterface, "VolumeDown", "the volume down by 10 %"},
    {"volume", "PERCENT", kActionsInterface, "SetVolume",
     "the volume in percent of the normal level (0 to 400)"},
    {"level-speech", "on|off", kActionsInterface, "SetLevelSpeech",
     "bring quiet and loud talkers to one level"},
    {"noise", audio::kNoiseReductionWords, kActionsInterface, "SetNoiseReduction",
     "reduce steady noise (hiss, hum)"},
    {"cut-rumble", "on|off", kActionsInterface, "SetCutRumble", "cut the rumble below speech"},
    {"channel", audio::kChannelWords, kActionsInterface, "SetChannel",
     "both as recorded, one in both ears, or mono"},
};

constexpr std::size_t kHelpColumn = 22;

}  // namespace

std::span<const RemoteAction> RemoteActions() { return kActions; }

std::string RemoteActionsHelp() {
  std::string text;
  for (const RemoteAction& action : kActions) {
    std::string left = "  ";
    left += action.name;
    if (!action.argument.empty()) {
      left += ' ';
      left += action.argument;
    }
    left.resize(std::max(left.size() + 2, kHelpColumn), ' ');
    text += left;
    text += action.help;
    text += '\n';
  }
  return text;
}

}  // namespace quillmark
