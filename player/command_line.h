#pragma once
// Quillmark's command line: `quillmark [OPTION]... [FILE]`.
//
// Every option is one row of one table; the parser and the usage text are both built from it,
// so a new option is a new row (and its handling in main.cpp). Options come before or after the
// FILE; "--" ends the options, so a FILE may start with a dash.

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

struct CommandLineOption {
  enum class Takes {
    Nothing,  // a switch
    One,      // the next argument is its value
    Rest,     // every argument after it is its own (its own options included)
  };
  std::string_view name;       // "--probe"
  std::string_view shortName;  // "-h", or empty
  Takes takes;
  std::string_view arguments;  // how the usage shows what it takes: "ACTION [ARG]"
  std::string_view help;       // one sentence for the usage
  // A mode of its own: it runs without the window and takes no FILE or other such option.
  bool standsAlone;
};

// Every option of the program, in the order the usage lists them.
std::span<const CommandLineOption> CommandLineOptions();

struct CommandLine {
  // The options given, by long name, with what each one took.
  std::map<std::string, std::vector<std::string>, std::less<>> options;
  std::string file;   // the recording to open in the window; empty for none
  std::string error;  // why the command line cannot be used; empty when it can

  bool Has(std::string_view option) const { return options.find(option) != options.end(); }
  // What `option` took; empty when it was not given.
  const std::vector<std::string>& Arguments(std::string_view option) const;
};

// The arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// "Usage: quillmark ...", a line on what the program does, and one line for each option.
std::string UsageText();

}  // namespace quillmark
