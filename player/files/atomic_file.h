#pragma once
// Replacing a small text file so that a crash, a full disk or a permission problem never leaves
// a half-written file where a good one was: the text goes to a temporary file beside the
// target, which is flushed and then renamed over it.

#include <filesystem>
#include <string_view>

namespace quillmark {

enum class WriteResult {
  Written,
  PermissionDenied,  // the folder (or the file) may not be written
  Failed,            // anything else: a full disk, an I/O error, a missing folder
};

WriteResult WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

// Makes `folder` and whichever of its parents are missing, each readable by its owner alone, as
// a user's configuration folders are made. Written when the folder is there afterwards.
WriteResult MakePrivateFolders(const std::filesystem::path& folder);

}  // namespace quillmark
