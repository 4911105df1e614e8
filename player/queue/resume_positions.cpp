#include "resume_positions.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "bounded_line.h"

namespace quillmark {
namespace {

constexpr const char* kHeader =
    "# Quillmark: where each recording was left off (seconds, length, bytes, "
    "modified ns, path)\n";
// A path of the longest length Linux allows, every byte escaped, and the four numbers.
constexpr std::size_t kLongestLine = 3 * 4096 + 128;

// Bytes that would break the line (and '%' itself) are written as %XX.
bool NeedsEscape(unsigned char c) { return c < 0x20 || c == 0x7f || c == '%'; }

void AppendEscaped(std::string& out, std::string_view path) {
  constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : path) {
    const auto u = static_cast<unsigned char>(c);
    if (NeedsEscape(u)) {
      out += '%';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The path of an entry; none for a bad escape or a byte that is never written unescaped.
std::optional<std::string> Unescaped(std::string_view text) {
  std::string path;
  path.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto u = static_cast<unsigned char>(text[i]);
    if (u != '%') {
      if (NeedsEscape(u)) return std::nullopt;
      path += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
}

// The next blank-separated field of `line`, taken off its front.
std::string_view TakeField(std::string_view& line) {
  const std::size_t blank = std::min(line.find(' '), line.size());
  const std::string_view field = line.substr(0, blank);
  line.remove_prefix(std::min(blank + 1, line.size()));
  return field;
}

template <typename Number>
bool ParseWhole(std::string_view field, Number& value) {
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return !field.empty() && error == std::errc() && end == field.data() + field.size();
}

std::optional<LeftOff> ParseEntry(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  LeftOff entry;
  if (!ParseWhole(TakeField(line), entry.position) || !ParseWhole(TakeField(line), entry.duration) ||
      !ParseWhole(TakeField(line), entry.recording.size) ||
      !ParseWhole(TakeField(line), entry.recording.modified)) {
    return std::nullopt;
  }
  if (!std::isfinite(entry.position) || !std::isfinite(entry.duration) || entry.position < 0 ||
      entry.duration < 0) {
    return std::nullopt;
  }
  std::optional<std::string> path = Unescaped(line);
  if (!path || path->empty() || path->front() != '/' ||
      path->find('\0') != std::string::npos) {
    return std::nullopt;
  }
  entry.recording.path = std::move(*path);
  return entry;
}

void AppendNumber(std::string& out, auto value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, error == std::errc() ? end : buffer);
}

// Skips the rest of a line too long to be an entry.
void SkipLine(std::istream& in) {
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
}

}  // namespace

std::string RecordingPath(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? std::string() : absolute.lexically_normal().string();
}

std::optional<RecordingIdentity> IdentifyRecording(const std::filesystem::path& path) {
  RecordingIdentity identity;
  identity.path = RecordingPath(path);
  struct stat info {};
  if (identity.path.empty() || ::stat(identity.path.c_str(), &info) != 0) return std::nullopt;
  identity.size = static_cast<std::uintmax_t>(info.st_size);
  identity.modified =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return identity;
}

ResumePositions ResumePositions::ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return Read(in);
}

ResumePositions ResumePositions::Read(std::istream& in) {
  std::vector<LeftOff> read;
  std::string line;
  for (;;) {
    const LineRead outcome = ReadBoundedLine(in, line, kLongestLine);
    if (outcome == LineRead::End) break;
    if (outcome == LineRead::TooLong) {
      SkipLine(in);
      continue;
    }
    if (std::optional<LeftOff> entry = ParseEntry(line)) read.push_back(std::move(*entry));
  }
  // Of a path written twice the later line counts, and of too many lines the later ones: the
  // newest kRememberedRecordings distinct paths, oldest first.
  ResumePositions positions;
  std::unordered_set<std::string_view> seen;
  for (auto entry = read.rbegin();
       entry != read.rend() && positions.entries_.size() < kRememberedRecordings; ++entry) {
    if (seen.insert(entry->recording.path).second) positions.entries_.push_back(*entry);
  }
  std::reverse(positions.entries_.begin(), positions.entries_.end());
  return positions;
}

std::string ResumePositions::Text() const {
  std::string text = kHeader;
  text.reserve(text.size() + entries_.size() * 128);
  for (const LeftOff& entry : entries_) {
    AppendNumber(text, entry.position);
    text += ' ';
    AppendNumber(text, entry.duration);
    text += ' ';
    AppendNumber(text, entry.recording.size);
    text += ' ';
    AppendNumber(text, entry.recording.modified);
    text += ' ';
    AppendEscaped(text, entry.recording.path);
    text += '\n';
  }
  return text;
}

WriteResult ResumePositions::WriteFile(const std::filesystem::path& file) const {
  const WriteResult folder = MakePrivateFolders(file.parent_path());
  if (folder != WriteResult::Written) return folder;
  return WriteFileAtomically(file, Text());
}

bool WorthResuming(double position, double duration) {
  return position > kResumeMargin && position < duration - kResumeMargin;
}

std::optional<double> ResumePositions::ResumeAt(const RecordingIdentity& recording) const {
  const auto found = std::find_if(entries_.rbegin(), entries_.rend(), [&](const LeftOff& e) {
    return e.recording.path == recording.path;
  });
  if (found == entries_.rend() || !(found->recording == recording)) return std::nullopt;
  if (!WorthResuming(found->position, found->duration)) return std::nullopt;
  return found->position;
}

bool ResumePositions::Remember(const RecordingIdentity& recording, double position,
                               double duration) {
  const auto seconds = [](double value) { return std::isfinite(value) && value > 0 ? value : 0; };
  if (!entries_.empty() && entries_.back().recording == recording &&
      entries_.back().position == seconds(position) &&
      entries_.back().duration == seconds(duration)) {
    return false;
  }
  std::erase_if(entries_, [&](const LeftOff& e) { return e.recording.path == recording.path; });
  entries_.push_back({recording, seconds(position), seconds(duration)});
  if (entries_.size() > kRememberedRecordings) {
    entries_.erase(entries_.begin(),
                   entries_.begin() + static_cast<std::ptrdiff_t>(entries_.size() -
                                                                  kRememberedRecordings));
  }
  return true;
}

bool ResumePositions::Forget(const std::filesystem::path& recording) {
  const std::string path = RecordingPath(recording);
  return std::erase_if(entries_, [&](const LeftOff& e) { return e.recording.path == path; }) > 0;
}

}  // namespace quillmark
