#include "envelope_cache.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <vector>

#include "atomic_file.h"

namespace waveform {
namespace {

constexpr char kMagic[8] = {'Q', 'M', 'E', 'N', 'V', 'L', 'P', '1'};
constexpr const char* kExtension = ".envelope";
constexpr std::size_t kLongestPath = 4096;
constexpr std::size_t kHeadBytes = 8 + 4 + 8 + 8 + 4;
constexpr std::size_t kLargestFile = kHeadBytes + kLongestPath + 8 + Envelope::kMaxPairs * 4 + 8;

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ull) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

void PutLE(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// Reads little-endian fields off the front of a byte range; once a read runs past the end every
// later read fails too.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Take(std::uint64_t& value, int bytes) {
    if (!ok_ || bytes_.size() < static_cast<std::size_t>(bytes)) return ok_ = false;
    value = 0;
    for (int i = 0; i < bytes; ++i) {
      value |= std::uint64_t{static_cast<unsigned char>(bytes_[i])} << (8 * i);
    }
    bytes_.remove_prefix(bytes);
    return true;
  }
  bool Take(std::string_view& text, std::size_t n) {
    if (!ok_ || bytes_.size() < n) return ok_ = false;
    text = bytes_.substr(0, n);
    bytes_.remove_prefix(n);
    return true;
  }
  std::size_t left() const { return bytes_.size(); }

 private:
  std::string_view bytes_;
  bool ok_ = true;
};

std::string HeadOf(const RecordingKey& key) {
  std::string head(kMagic, sizeof kMagic);
  PutLE(head, kPairsPerSecond, 4);
  PutLE(head, key.size, 8);
  PutLE(head, static_cast<std::uint64_t>(key.modifiedNs), 8);
  PutLE(head, key.path.size(), 4);
  head += key.path;
  return head;
}

// The whole of a file no larger than `limit`; nothing when it is larger or unreadable.
std::optional<std::string> ReadWhole(const std::filesystem::path& file, std::size_t limit) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size > limit) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<RecordingKey> KeyOf(const std::filesystem::path& file) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(file, error);
  struct stat info {};
  if (error || ::stat(absolute.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return RecordingKey{absolute.lexically_normal().string(), static_cast<std::uint64_t>(info.st_size),
                      std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec};
}

EnvelopeCache::EnvelopeCache(std::filesystem::path folder, std::uint64_t limitBytes)
    : folder_(std::move(folder)), limitBytes_(limitBytes) {}

std::filesystem::path EnvelopeCache::FileFor(const RecordingKey& key) const {
  char name[17];
  std::snprintf(name, sizeof name, "%016llx",
                static_cast<unsigned long long>(Fnv1a(HeadOf(key).substr(sizeof kMagic))));
  return folder_ / (std::string(name) + kExtension);
}

bool EnvelopeCache::Load(const RecordingKey& key, Envelope& out) const {
  if (key.path.size() > kLongestPath || out.Size() != 0) return false;
  const std::filesystem::path file = FileFor(key);
  const std::optional<std::string> bytes = ReadWhole(file, kLargestFile);
  if (!bytes || bytes->size() < 8) return false;

  // Everything before the check sum must hash to it.
  const std::string_view body(bytes->data(), bytes->size() - 8);
  Reader tail(std::string_view(*bytes).substr(body.size()));
  std::uint64_t sum = 0;
  if (!tail.Take(sum, 8) || sum != Fnv1a(body)) return false;

  const std::string head = HeadOf(key);
  if (body.substr(0, head.size()) != head) return false;
  Reader reader(body.substr(head.size()));
  std::uint64_t count = 0;
  if (!reader.Take(count, 8) || count > Envelope::kMaxPairs || reader.left() != count * 4) {
    return false;
  }
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    reader.Take(low, 2);
    reader.Take(high, 2);
    out.Append({static_cast<int16_t>(static_cast<uint16_t>(low)),
                static_cast<int16_t>(static_cast<uint16_t>(high))});
  }
  out.Publish();
  // A hit is a use: the file's time moves to now, so it is the last to be trimmed.
  ::utimensat(AT_FDCWD, file.c_str(), nullptr, 0);
  return true;
}

bool EnvelopeCache::Store(const RecordingKey& key, const Envelope& envelope) const {
  if (key.path.size() > kLongestPath) return false;
  const std::size_t count = envelope.Size();
  std::string bytes = HeadOf(key);
  bytes.reserve(bytes.size() + 16 + count * 4);
  PutLE(bytes, count, 8);
  for (std::size_t i = 0; i < count; ++i) {
    const Pair pair = envelope.At(i);
    PutLE(bytes, static_cast<uint16_t>(pair.low), 2);
    PutLE(bytes, static_cast<uint16_t>(pair.high), 2);
  }
  PutLE(bytes, Fnv1a(bytes), 8);
  if (quillmark::MakePrivateFolders(folder_) != quillmark::WriteResult::Written ||
      quillmark::WriteFileAtomically(FileFor(key), bytes) != quillmark::WriteResult::Written) {
    return false;
  }
  Trim();
  return true;
}

void EnvelopeCache::Trim() const {
  struct Entry {
    std::filesystem::file_time_type used;
    std::uintmax_t size;
    std::filesystem::path path;
  };
  std::vector<Entry> entries;
  std::uintmax_t total = 0;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(folder_, error)) {
    if (item.path().extension() != kExtension || !item.is_regular_file(error)) continue;
    const std::uintmax_t size = item.file_size(error);
    if (error) continue;
    const auto used = item.last_write_time(error);
    if (error) continue;
    entries.push_back({used, size, item.path()});
    total += size;
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.used < b.used; });
  for (const Entry& entry : entries) {
    if (total <= limitBytes_) break;
    if (std::filesystem::remove(entry.path, error)) total -= entry.size;
  }
}

}  // namespace waveform
