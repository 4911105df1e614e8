#include "byte_source.h"

#include <gtest/gtest.h>

#include "support/media_files.h"

namespace timecode {
namespace {

TEST(FileBytes, ReadsAnyRangeAsTheFileHoldsItWithZerosPastTheEnd) {
  testing::Bytes content(10000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7 + 1);
  testing::TempDir dir;
  const FileBytes file(dir.Write("pattern.bin", content));
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Length(), 10000u);
  // Small reads inside, across and after the cached block, a large read, reads past the end.
  const std::pair<std::uint64_t, std::size_t> reads[] = {
      {4, 4},    {12, 8},   {4090, 8},  {100, 4096}, {0, 5000}, {9990, 20},
      {4096, 1}, {10000, 4}, {~0ULL - 2, 8}, {50, 0}};
  for (const auto& [offset, size] : reads) {
    std::vector<std::uint8_t> out(size, 0xAA);
    file.ReadAt(offset, out);
    for (std::size_t i = 0; i < size; ++i) {
      const std::uint64_t at = offset + i;
      const std::uint8_t expected = at >= offset && at < content.size() ? content[at] : 0;
      ASSERT_EQ(out[i], expected) << "offset " << offset << " byte " << i;
    }
  }
}

TEST(FileBytes, UnopenableFilesReadAsEmpty) {
  testing::TempDir dir;
  for (const auto& path : {dir.path() / "missing", dir.path()}) {
    const FileBytes file(path);
    EXPECT_FALSE(file.IsOpen());
    std::array<std::uint8_t, 4> out{1, 2, 3, 4};
    file.ReadAt(0, out);
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{}));
  }
}

}  // namespace
}  // namespace timecode
