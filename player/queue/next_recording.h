#pragma once
// Which recording of a folder comes next once one is finished: the first, in natural name order,
// of the files the Open dialog shows under its first filter. Finished recordings are in the
// "Completed" folder and so are not among them.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The patterns of a filter's first pair: "All Media Files |*.WAV;*.MP3|Wav File|*.wav" gives
// "*.WAV" and "*.MP3".
std::vector<std::string> FirstFilterPatterns(std::string_view filter);

// True when `name` matches one of the shell patterns, letters in any case, as the Open dialog
// matches them.
bool MatchesAnyPattern(const std::string& name, const std::vector<std::string>& patterns);

// The first file directly in `folder`, in natural name order, whose name matches `patterns`,
// other than the one named `skipName`. Folders (the Completed folder among them), hidden files
// and files the patterns do not cover are never offered. None when no such file is left or the
// folder cannot be read.
std::optional<std::filesystem::path> NextRecording(const std::filesystem::path& folder,
                                                   const std::vector<std::string>& patterns,
                                                   const std::string& skipName);

}  // namespace quillmark
