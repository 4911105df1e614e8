// The command line: what each form of it asks for, what it refuses, and the usage text.

#include <gtest/gtest.h>

#include <sstream>

#include "command_line.h"
#include "remote/remote_actions.h"

namespace {

using quillmark::CommandLine;
using quillmark::ParseCommandLine;
using Arguments = std::vector<std::string>;

TEST(CommandLine, WindowWithOrWithoutARecording) {
  const CommandLine none = ParseCommandLine({});
  EXPECT_EQ(none.error, "");
  EXPECT_TRUE(none.options.empty());
  EXPECT_EQ(none.file, "");

  EXPECT_EQ(ParseCommandLine({"take 1.wav"}).file, "take 1.wav");
  // After "--" a dash starts a file name; a lone dash is a name too.
  const CommandLine dashed = ParseCommandLine({"--", "-odd.wav"});
  EXPECT_EQ(dashed.error, "");
  EXPECT_EQ(dashed.file, "-odd.wav");
  EXPECT_EQ(ParseCommandLine({"-"}).file, "-");
}

TEST(CommandLine, ProbeTakesEverythingAfterIt) {
  const CommandLine probe =
      ParseCommandLine({"--probe", "--framerate", "25.000 ND", "a.wav", "--", "--help"});
  EXPECT_EQ(probe.error, "");
  EXPECT_EQ(probe.Arguments("--probe"),
            (Arguments{"--framerate", "25.000 ND", "a.wav", "--", "--help"}));
  EXPECT_FALSE(probe.Has("--help"));
  EXPECT_EQ(probe.file, "");
  EXPECT_TRUE(probe.Arguments("--version").empty());
}

TEST(CommandLine, ShortAndLongNamesAreOneOption) {
  EXPECT_TRUE(ParseCommandLine({"-h"}).Has("--help"));
  EXPECT_TRUE(ParseCommandLine({"--help"}).Has("--help"));
  EXPECT_TRUE(ParseCommandLine({"--version"}).Has("--version"));
}

TEST(CommandLine, RefusesWhatItCannotDo) {
  const std::pair<Arguments, std::string> cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"a.wav", "-platform", "xcb"}, "unknown option -platform"},
      {{"a.wav", "b.wav"}, "one recording at a time: a.wav and b.wav"},
      {{"--help", "a.wav"}, "--help takes no recording to open (a.wav)"},
      {{"a.wav", "--probe", "b.wav"}, "--probe takes no recording to open (a.wav)"},
      {{"--version", "--help"}, "--help and --version cannot be given together"},
      {{"--help", "--help"}, "--help is given twice"},
  };
  for (const auto& [arguments, error] : cases) {
    EXPECT_EQ(ParseCommandLine(arguments).error, error) << arguments.front();
  }
}

TEST(CommandLine, RemoteTakesTheRestAndANewWindowTakesAFile) {
  const CommandLine remote = ParseCommandLine({"--remote", "bookmark", "3"});
  EXPECT_EQ(remote.error, "");
  EXPECT_EQ(remote.Arguments("--remote"), (std::vector<std::string>{"bookmark", "3"}));
  const CommandLine window = ParseCommandLine({"talk.wav", "--new-instance"});
  EXPECT_EQ(window.error, "");
  EXPECT_TRUE(window.Has("--new-instance"));
  EXPECT_EQ(window.file, "talk.wav");
  EXPECT_NE(ParseCommandLine({"talk.wav", "--remote", "play"}).error, "");
  EXPECT_NE(ParseCommandLine({"--new-instance", "--remote", "play"}).error, "");

  const std::string usage = quillmark::UsageText();
  for (const auto& action : quillmark::RemoteActions()) {
    EXPECT_NE(usage.find("  " + std::string(action.name)), std::string::npos) << action.name;
  }
}

TEST(CommandLine, UsageListsEveryOptionWithinEightyColumns) {
  const std::string usage = quillmark::UsageText();
  EXPECT_EQ(usage.rfind("Usage: quillmark [OPTION]... [FILE]\n", 0), 0u);
  for (const auto& option : quillmark::CommandLineOptions()) {
    std::string shown(option.name);
    if (!option.arguments.empty()) shown += " " + std::string(option.arguments);
    EXPECT_NE(usage.find(shown), std::string::npos) << shown;
    if (!option.shortName.empty()) {
      EXPECT_NE(usage.find(std::string(option.shortName) + ", " + std::string(option.name)),
                std::string::npos);
    }
  }
  std::istringstream lines(usage);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LT(line.size(), 80u) << line;
    EXPECT_TRUE(line.empty() || line.back() != ' ') << "trailing blank: " << line;
  }
}

}  // namespace
