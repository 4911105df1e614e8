#pragma once
// Moving a finished recording, and its bookmark file, into the "Completed" folder beside it
// without ever losing or overwriting a file: an existing name gets a free variant
// ("talk (2).wav"), a move across file systems copies, checks the size, and only then removes
// the original, and any failure leaves the original where it was.

#include <filesystem>
#include <string>

namespace quillmark {

// The "Completed" folder of a recording: always in the recording's own folder, whatever the
// names of the folders above it.
std::filesystem::path CompletedFolderOf(const std::filesystem::path& media);

struct MoveOutcome {
  bool moved = false;
  std::filesystem::path destination;  // where the file is now (when moved)
  bool renamed = false;               // the wanted name was taken, so another was chosen
  std::string error;                  // what went wrong, for the typist (when not moved)
};

// Moves `from` into `folder` under `wantedName`, or a free variant of it.
MoveOutcome MoveWithoutOverwriting(const std::filesystem::path& from,
                                   const std::filesystem::path& folder,
                                   const std::string& wantedName);

// The first of "name.ext", "name (2).ext", "name (3).ext", ... that does not exist in folder.
std::filesystem::path FreeNameIn(const std::filesystem::path& folder, const std::string& wanted);

}  // namespace quillmark
