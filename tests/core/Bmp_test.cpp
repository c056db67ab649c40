#include "core/Bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint32_t Get32(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// A complete file as MakeBmpHeader lays it out, with zeroed pixels.
Bytes MakeFile(std::uint32_t w, std::uint32_t h, std::uint32_t bpp) {
  const auto header = core::MakeBmpHeader(w, h, bpp);
  EXPECT_TRUE(header.has_value());
  Bytes file(header->begin(), header->end());
  file.resize(file.size() + core::BmpStride(w, bpp) * h);
  return file;
}

TEST(BmpStride, PadsRowsToWholeWords) {
  struct Case { std::uint32_t width, bpp; std::uint64_t want; };
  const Case cases[] = {
    {1, 24, 4}, {2, 24, 8}, {3, 24, 12}, {5, 24, 16}, {1, 32, 4}, {7, 32, 28}, {1, 16, 4}, {3, 16, 8},
    {1, 1, 4}, {33, 1, 8}, {9, 4, 8}, {5, 8, 8},
    {0xFFFFFFFFu, 32, 0x3FFFFFFFCull},  // no 32-bit wrap-around
  };
  for (const Case& c : cases) EXPECT_EQ(core::BmpStride(c.width, c.bpp), c.want) << c.width << "x" << c.bpp;
}

TEST(MakeBmpHeader, LaysOutBottomUpFilesWithoutPalette) {
  struct Case { std::uint32_t w, h, bpp, fileSize, imageSize; };
  const Case cases[] = {
    {1, 1, 32, 58, 4}, {3, 2, 24, 54 + 24, 24}, {1920, 1080, 32, 54 + 1920 * 1080 * 4, 1920 * 1080 * 4},
    {5, 3, 16, 54 + 36, 36},
  };
  for (const Case& c : cases) {
    const auto h = core::MakeBmpHeader(c.w, c.h, c.bpp);
    ASSERT_TRUE(h) << c.w << "x" << c.h;
    const Bytes b(h->begin(), h->end());
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Get32(b, 2), c.fileSize);
    EXPECT_EQ(Get32(b, 6), 0u);   // reserved
    EXPECT_EQ(Get32(b, 10), 54u);
    EXPECT_EQ(Get32(b, 14), 40u);
    EXPECT_EQ(Get32(b, 18), c.w);
    EXPECT_EQ(Get32(b, 22), c.h);  // positive height: bottom-up
    EXPECT_EQ(b[26] | (b[27] << 8), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(b[28] | (b[29] << 8)), c.bpp);
    EXPECT_EQ(Get32(b, 30), 0u);
    EXPECT_EQ(Get32(b, 34), c.imageSize);
    EXPECT_EQ(Get32(b, 46), 0u);  // no palette
  }
}

TEST(MakeBmpHeader, RefusesWhatCannotBeWritten) {
  struct Case { std::uint32_t w, h, bpp; };
  const Case cases[] = {
    {0, 1, 32}, {1, 0, 32}, {1, 1, 8}, {1, 1, 0}, {1, 1, 33},
    {core::kBmpMaxDimension + 1, 1, 32}, {1, core::kBmpMaxDimension + 1, 24},
    {core::kBmpMaxDimension, core::kBmpMaxDimension, 32},  // beyond the 32-bit size field
  };
  for (const Case& c : cases) EXPECT_FALSE(core::MakeBmpHeader(c.w, c.h, c.bpp)) << c.w << "x" << c.h << "x" << c.bpp;
}

TEST(CheckBmp, AcceptsWhatTheBuilderWritesAndReportsItsLayout) {
  for (std::uint32_t bpp : {16u, 24u, 32u}) {
    const Bytes file = MakeFile(5, 3, bpp);
    const core::BmpCheck c = core::CheckBmp(file);
    ASSERT_TRUE(c.ok()) << bpp;
    EXPECT_EQ(c.layout.width, 5u);
    EXPECT_EQ(c.layout.height, 3u);
    EXPECT_FALSE(c.layout.topDown);
    EXPECT_EQ(c.layout.bitsPerPixel, bpp);
    EXPECT_EQ(c.layout.pixelOffset, 54u);
    EXPECT_EQ(c.layout.stride, core::BmpStride(5, bpp));
    EXPECT_EQ(c.layout.pixelBytes, c.layout.stride * 3);
  }
}

TEST(CheckBmp, EveryTruncationIsRefused) {
  for (std::uint32_t bpp : {24u, 32u}) {
    const Bytes file = MakeFile(3, 2, bpp);
    for (std::size_t len = 0; len < file.size(); ++len) {
      const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(len));
      EXPECT_EQ(core::CheckBmp(cut).problem, core::BmpProblem::Truncated) << "length " << len;
    }
  }
}

TEST(CheckBmp, RefusesInconsistentOrUnsupportedFields) {
  using P = core::BmpProblem;
  struct Case { const char* what; void (*edit)(Bytes&); P want; };
  const Case cases[] = {
    {"signature", [](Bytes& b) { b[1] = 'A'; }, P::NotBitmap},
    {"OS/2 core header", [](Bytes& b) { Put32(b, 14, 12); }, P::UnsupportedHeader},
    {"header size past the end", [](Bytes& b) { Put32(b, 14, 0xFFFFFFF0u); }, P::UnsupportedHeader},
    {"zero width", [](Bytes& b) { Put32(b, 18, 0); }, P::BadDimensions},
    {"negative width", [](Bytes& b) { Put32(b, 18, 0xFFFFFFFDu); }, P::BadDimensions},
    {"zero height", [](Bytes& b) { Put32(b, 22, 0); }, P::BadDimensions},
    {"most negative height", [](Bytes& b) { Put32(b, 22, 0x80000000u); }, P::BadDimensions},
    {"huge width", [](Bytes& b) { Put32(b, 18, 0x7FFFFFFFu); }, P::BadDimensions},
    {"huge height", [](Bytes& b) { Put32(b, 22, 70000); }, P::BadDimensions},
    {"two planes", [](Bytes& b) { Put16(b, 26, 2); }, P::UnsupportedFormat},
    {"depth 7", [](Bytes& b) { Put16(b, 28, 7); }, P::UnsupportedFormat},
    {"RLE8", [](Bytes& b) { Put32(b, 30, 1); }, P::UnsupportedFormat},
    {"JPEG inside", [](Bytes& b) { Put32(b, 30, 4); }, P::UnsupportedFormat},
    {"bitfields at 24 bpp", [](Bytes& b) { Put16(b, 28, 24); Put32(b, 30, 3); }, P::UnsupportedFormat},
    {"offset inside the headers", [](Bytes& b) { Put32(b, 10, 20); }, P::Inconsistent},
    {"offset past the end", [](Bytes& b) { Put32(b, 10, 0xFFFFFFFFu); }, P::Truncated},
    {"declared size beyond the data", [](Bytes& b) { Put32(b, 2, 0xFFFFFFFFu); }, P::Truncated},
    {"declared size too small", [](Bytes& b) { Put32(b, 2, 60); }, P::Inconsistent},
    {"image size too small", [](Bytes& b) { Put32(b, 34, 8); }, P::Inconsistent},
    {"more colours than the depth has", [](Bytes& b) { Put16(b, 28, 1); Put32(b, 46, 3); }, P::Inconsistent},
    {"palette that overlaps the pixels", [](Bytes& b) { Put16(b, 28, 8); }, P::Inconsistent},
    {"colour table of 4 billion entries", [](Bytes& b) { Put32(b, 46, 0xFFFFFFFFu); }, P::Inconsistent},
    {"bitfield masks without room", [](Bytes& b) { Put32(b, 30, 3); }, P::Inconsistent},
    {"more rows than the file holds", [](Bytes& b) { Put32(b, 22, 3); }, P::Truncated},
  };
  for (const Case& c : cases) {
    Bytes file = MakeFile(3, 2, 32);
    c.edit(file);
    EXPECT_EQ(core::CheckBmp(file).problem, c.want) << c.what;
  }
}

TEST(CheckBmp, AcceptsOtherLegitimateLayouts) {
  struct Case { const char* what; void (*edit)(Bytes&); };
  const Case cases[] = {
    {"top-down rows", [](Bytes& b) { Put32(b, 22, static_cast<std::uint32_t>(-2)); }},
    {"declared sizes left zero", [](Bytes& b) { Put32(b, 2, 0); Put32(b, 34, 0); }},
    {"trailing bytes", [](Bytes& b) { b.resize(b.size() + 7); }},
    {"gap before the pixels", [](Bytes& b) { Put32(b, 10, 58); Put32(b, 2, 0); b.resize(b.size() + 4); }},
    {"bitfields with masks", [](Bytes& b) {
       Put32(b, 30, 3);
       b.insert(b.begin() + 54, 12, 0);
       Put32(b, 10, 66);
       Put32(b, 2, static_cast<std::uint32_t>(b.size()));
     }},
    {"8 bpp with a full palette", [](Bytes& b) {
       Put16(b, 28, 8);
       b.insert(b.begin() + 54, 1024, 0);
       Put32(b, 10, 54 + 1024);
       Put32(b, 2, 0);
       Put32(b, 34, 0);
     }},
  };
  for (const Case& c : cases) {
    Bytes file = MakeFile(3, 2, 32);
    c.edit(file);
    const core::BmpCheck check = core::CheckBmp(file);
    EXPECT_TRUE(check.ok()) << c.what << ": problem " << static_cast<int>(check.problem);
  }
  Bytes topDown = MakeFile(3, 2, 32);
  Put32(topDown, 22, static_cast<std::uint32_t>(-2));
  const core::BmpCheck check = core::CheckBmp(topDown);
  EXPECT_TRUE(check.layout.topDown);
  EXPECT_EQ(check.layout.height, 2u);
}

}  // namespace
