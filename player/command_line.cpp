#include "command_line.h"

#include <algorithm>

#include "remote/remote_actions.h"

namespace quillmark {
namespace {

using Takes = CommandLineOption::Takes;

constexpr CommandLineOption kOptions[] = {
    {"--probe", "", Takes::Rest, "[--framerate CAPTION] FILE...",
     "open each FILE without showing the window and print what was read from it, one JSON "
     "line a file; CAPTION is the default frame rate, such as \"25.000 ND\"",
     true},
    {"--remote", "", Takes::Rest, "ACTION [ARG]",
     "send ACTION to the running window and exit (the actions are listed below)", true},
    {"--new-instance", "", Takes::Nothing, "",
     "open a window of its own even when one runs already; it cannot be reached from other "
     "programs",
     false},
    {"--help", "-h", Takes::Nothing, "", "print this help and exit", true},
    {"--version", "", Takes::Nothing, "", "print the version number and exit", true},
};

// Where the help texts start, so the option column lines up, and where they wrap.
constexpr std::size_t kHelpColumn = 30;
constexpr std::size_t kLineWidth = 79;

// `help` in lines that end before kLineWidth, each after kHelpColumn blanks but the first.
std::string WrappedHelp(std::string_view help) {
  std::string text;
  std::size_t column = kHelpColumn;
  while (!help.empty()) {
    const std::size_t end = std::min(help.find(' '), help.size());
    const std::string_view word = help.substr(0, end);
    if (column > kHelpColumn && column + 1 + word.size() > kLineWidth) {
      text += "\n";
      text.append(kHelpColumn, ' ');
      column = kHelpColumn;
    } else if (column > kHelpColumn) {
      text += ' ';
      ++column;
    }
    text += word;
    column += word.size();
    help.remove_prefix(std::min(end + 1, help.size()));
  }
  return text + "\n";
}

const CommandLineOption* FindOption(std::string_view argument) {
  for (const CommandLineOption& option : kOptions) {
    if (argument == option.name || (!option.shortName.empty() && argument == option.shortName)) {
      return &option;
    }
  }
  return nullptr;
}

bool LooksLikeOption(std::string_view argument) {
  return argument.size() > 1 && argument.front() == '-';
}

// A stand-alone option must be the only thing on the command line.
std::string StandAloneConflict(const CommandLine& line) {
  for (const auto& [name, values] : line.options) {
    if (!FindOption(name)->standsAlone) continue;
    for (const auto& [other, otherValues] : line.options) {
      if (other != name) return name + " and " + other + " cannot be given together";
    }
    if (!line.file.empty()) return name + " takes no recording to open (" + line.file + ")";
  }
  return {};
}

}  // namespace

std::span<const CommandLineOption> CommandLineOptions() { return kOptions; }

const std::vector<std::string>& CommandLine::Arguments(std::string_view option) const {
  static const std::vector<std::string> kNone;
  const auto found = options.find(option);
  return found == options.end() ? kNone : found->second;
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && LooksLikeOption(argument)) {
      const CommandLineOption* option = FindOption(argument);
      if (option == nullptr) {
        line.error = "unknown option " + argument;
        return line;
      }
      const std::string name(option->name);
      if (line.Has(name)) {
        line.error = name + " is given twice";
        return line;
      }
      std::vector<std::string> values;
      if (option->takes == Takes::One) {
        if (i + 1 == arguments.size()) {
          line.error = name + " needs " + std::string(option->arguments);
          return line;
        }
        values.push_back(arguments[++i]);
      } else if (option->takes == Takes::Rest) {
        values.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
        i = arguments.size();
      }
      line.options.emplace(name, std::move(values));
      continue;
    }
    if (!line.file.empty()) {
      line.error = "one recording at a time: " + line.file + " and " + argument;
      return line;
    }
    line.file = argument;
  }
  line.error = StandAloneConflict(line);
  return line;
}

std::string UsageText() {
  std::string text =
      "Usage: quillmark [OPTION]... [FILE]\n"
      "A media player for transcription typists, played from the keyboard or a foot\n"
      "pedal. FILE is the recording to open: WAV, broadcast WAV, MP3, WMA, WMV, AVI,\n"
      "FLAC, MP2 or VOB.\n"
      "\n"
      "Options:\n";
  for (const CommandLineOption& option : kOptions) {
    std::string left = "  ";
    left += option.shortName.empty() ? "    " : std::string(option.shortName) + ", ";
    left += option.name;
    if (!option.arguments.empty()) left += " " + std::string(option.arguments);
    text += left;
    if (left.size() + 2 <= kHelpColumn) {
      text.append(kHelpColumn - left.size(), ' ');
    } else {
      text += "\n";
      text.append(kHelpColumn, ' ');
    }
    text += WrappedHelp(option.help);
  }
  text += "\nRemote actions:\n";
  text += RemoteActionsHelp();
  return text;
}

}  // namespace quillmark
