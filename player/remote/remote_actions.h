#pragma once
// The actions `quillmark --remote ACTION [ARG]` sends to the running window: each names the
// D-Bus method it calls. Shared by the command that sends them and the program's usage text, so
// it stays free of Qt.

#include <span>
#include <string>
#include <string_view>

namespace quillmark {

struct RemoteAction {
  std::string_view name;       // "bookmark"
  // What it takes: a whole number ("N"), one of the words separated by '|' ("off|low|high";
  // "on|off" is a yes or no), or nothing (empty).
  std::string_view argument;
  std::string_view interface;  // the D-Bus interface of its method
  std::string_view method;
  std::string_view help;
};

std::span<const RemoteAction> RemoteActions();

// One line for each action, "  name ARG   help".
std::string RemoteActionsHelp();

}  // namespace quillmark
