#pragma once
// The program's version number: shown on the About panel ("Version: 1.040"), printed by
// `quillmark --version`, and read by the build for the package's version.

inline constexpr char kQuillmarkVersion[] = "1.040";
