#pragma once
// Texts crossing between the window and plain C++: file paths as the file system spells them,
// and captions as one byte per character for the time code arithmetic.

#include <QString>
#include <filesystem>
#include <string>

class QLabel;

// A path from the file dialog as the file system names it.
std::filesystem::path LocalPath(const QString& path);
QString FromLocalPath(const std::filesystem::path& path);

// A caption or typed text as one byte per character; characters beyond Latin-1 become '?'.
std::string CaptionText(const QString& text);
std::string CaptionText(const QLabel* label);
