#include "core/PngEncoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/Bmp.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t GetBig32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Png {
  std::uint32_t width = 0, height = 0;
  int colourType = -1;
  Bytes pixels;                // top-down, RGB or RGBA
  std::set<int> filtersUsed;
  int idatChunks = 0;
};

// Reads the PNG back the long way: every chunk's CRC, one zlib stream over the IDAT chunks, then each row
// unfiltered as the format defines it.
std::optional<Png> Decode(const Bytes& file) {
  const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || !std::equal(signature.begin(), signature.end(), file.begin())) return std::nullopt;
  Png png;
  Bytes zdata;
  bool ended = false;
  for (std::size_t at = 8; !ended && at + 12 <= file.size();) {
    const std::uint32_t length = GetBig32(&file[at]);
    if (at + 12 + length > file.size()) return std::nullopt;
    const std::string type(file.begin() + at + 4, file.begin() + at + 8);
    const std::uint8_t* data = &file[at + 8];
    if (crc32(0, &file[at + 4], 4 + length) != GetBig32(data + length)) return std::nullopt;
    if (type == "IHDR") {
      png.width = GetBig32(data);
      png.height = GetBig32(data + 4);
      png.colourType = data[9];
    }
    if (type == "IDAT") {
      zdata.insert(zdata.end(), data, data + length);
      ++png.idatChunks;
    }
    ended = type == "IEND";
    at += 12 + length;
  }
  const std::size_t bpp = png.colourType == 6 ? 4 : 3, rowBytes = png.width * bpp;
  Bytes raw((rowBytes + 1) * png.height);
  uLongf rawSize = raw.size();
  if (!ended || uncompress(raw.data(), &rawSize, zdata.data(), zdata.size()) != Z_OK || rawSize != raw.size()) {
    return std::nullopt;
  }
  png.pixels.assign(rowBytes * png.height, 0);
  for (std::size_t y = 0; y < png.height; ++y) {
    const int filter = raw[y * (rowBytes + 1)];
    png.filtersUsed.insert(filter);
    const std::uint8_t* in = &raw[y * (rowBytes + 1) + 1];
    std::uint8_t* out = &png.pixels[y * rowBytes];
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const int a = i >= bpp ? out[i - bpp] : 0, b = y ? out[i - rowBytes] : 0;
      const int c = i >= bpp && y ? out[i - rowBytes - bpp] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int predictors[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
      out[i] = static_cast<std::uint8_t>(in[i] + predictors[filter]);
    }
  }
  return png;
}

std::uint8_t Noise(std::uint32_t x, std::uint32_t y, std::uint32_t c) {
  return static_cast<std::uint8_t>(((x * 7919u) ^ (y * 104729u) ^ (c * 31u)) * 2654435761u >> 24);
}

// A picture (top-down RGB) whose rows each suit one filter best, in turn: None (sparse small values), Sub (a
// ramp), Up (the row above again), Average (the mean of left and up), and two rows of a 2-D gradient, the
// second of which Paeth predicts best. From x = 300 on it is noise.
Bytes MakePicture(std::uint32_t w, std::uint32_t h) {
  Bytes rgb(std::size_t{w} * h * 3);
  for (std::uint32_t y = 0; y < h; ++y) {
    for (std::uint32_t x = 0; x < w; ++x) {
      for (std::uint32_t c = 0; c < 3; ++c) {
        const std::size_t i = (std::size_t{y} * w + x) * 3 + c;
        const int left = x ? rgb[i - 3] : 0, up = y ? rgb[i - w * 3] : 0;
        const std::uint32_t kinds[] = {Noise(x, y, c) % 10 == 0, Noise(0, y, c) + 2 * x, static_cast<std::uint32_t>(up),
                                       static_cast<std::uint32_t>((left + up) / 2), 3 * x + (4 * c + 1) * y,
                                       3 * x + (4 * c + 1) * y};
        rgb[i] = static_cast<std::uint8_t>(x >= 300 ? Noise(x, y, c) : kinds[y % 6]);
      }
    }
  }
  return rgb;
}

// A bitmap of the picture; at 32 bits the fourth byte varies and must not show.
Bytes MakeBitmap(const Bytes& rgb, std::uint32_t w, std::uint32_t h, std::uint32_t bpp, bool topDown) {
  const auto header = core::MakeBmpHeader(w, h, bpp);
  Bytes file(header->begin(), header->end());
  if (topDown) Put32(file, 22, static_cast<std::uint32_t>(-static_cast<std::int32_t>(h)));
  const std::uint64_t stride = core::BmpStride(w, bpp);
  file.resize(file.size() + stride * h);
  for (std::uint32_t y = 0; y < h; ++y) {
    std::uint8_t* row = &file[core::kBmpHeaderSize + stride * (topDown ? y : h - 1 - y)];
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = &rgb[(std::size_t{y} * w + x) * 3];
      std::uint8_t* q = row + x * (bpp / 8);
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
      if (bpp == 32) q[3] = static_cast<std::uint8_t>(x * 5 + y);
    }
  }
  return file;
}

TEST(EncodeBmpAsPng, EveryPixelComesBackFromEveryLayout) {
  struct Case { std::uint32_t w, h, bpp; bool topDown; };
  const Case cases[] = {{1, 1, 24, false}, {1, 1, 32, true}, {13, 7, 24, false}, {13, 7, 32, true},
                        {5, 40, 24, true}, {3, 2, 32, false}, {640, 300, 24, false}};  // the last needs 2 IDATs
  std::set<int> filtersUsed;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "x" + std::to_string(c.bpp) +
                 (c.topDown ? " top-down" : " bottom-up"));
    const Bytes rgb = MakePicture(c.w, c.h);
    const auto png = Decode(core::EncodeBmpAsPng(MakeBitmap(rgb, c.w, c.h, c.bpp, c.topDown)));
    ASSERT_TRUE(png) << "not a valid PNG";
    EXPECT_EQ(png->width, c.w);
    EXPECT_EQ(png->height, c.h);
    EXPECT_EQ(png->colourType, 2) << "padding bytes must give RGB";
    EXPECT_TRUE(png->pixels == rgb) << "pixels differ";
    if (c.w == 640) {
      EXPECT_GT(png->idatChunks, 1);
    }
    filtersUsed.insert(png->filtersUsed.begin(), png->filtersUsed.end());
  }
  EXPECT_EQ(filtersUsed, (std::set<int>{0, 1, 2, 3, 4})) << "every filter was chosen and decoded";
}

TEST(EncodeBmpAsPng, KeepsOpacityOnlyWhereTheHeaderDeclaresIt) {
  // A 32-bit bitmap with a 108-byte header and the usual masks, alpha included.
  Bytes file(14 + 108 + 2 * 2 * 4, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 10, 14 + 108);
  Put32(file, 14, 108);
  Put32(file, 18, 2);
  Put32(file, 22, 2);
  file[26] = 1;
  file[28] = 32;
  Put32(file, 30, 3);  // BI_BITFIELDS
  Put32(file, 54, 0xFF0000);
  Put32(file, 58, 0xFF00);
  Put32(file, 62, 0xFF);
  Put32(file, 66, 0xFF000000);
  for (std::size_t i = 14 + 108; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 13);
  const auto png = Decode(core::EncodeBmpAsPng(file));
  ASSERT_TRUE(png);
  EXPECT_EQ(png->colourType, 6);
  // Bottom-up: the file's first pixel is the picture's bottom-left one.
  const std::uint8_t* stored = &file[14 + 108];
  EXPECT_EQ(Bytes(png->pixels.begin() + 8, png->pixels.begin() + 12),
            (Bytes{stored[2], stored[1], stored[0], stored[3]}));

  Put32(file, 66, 0);  // no alpha mask: the fourth byte is padding
  EXPECT_EQ(Decode(core::EncodeBmpAsPng(file))->colourType, 2);
}

TEST(EncodePng, RefusesWhatItCannotEncode) {
  Bytes eightBit = MakeBitmap(MakePicture(4, 4), 4, 4, 24, false);
  eightBit[28] = 8;
  Put32(eightBit, 10, 54 + 256 * 4);
  Put32(eightBit, 2, 0);
  Put32(eightBit, 34, 0);
  eightBit.resize(54 + 256 * 4 + 16);
  ASSERT_TRUE(core::CheckBmp(eightBit).ok());
  EXPECT_TRUE(core::EncodeBmpAsPng(eightBit).empty()) << "palette bitmaps are not encoded";
  const Bytes good = MakeBitmap(MakePicture(13, 7), 13, 7, 32, false);
  EXPECT_TRUE(core::EncodeBmpAsPng(Bytes(good.begin(), good.end() - 1)).empty()) << "truncated";

  const Bytes pixels(10 * 3 * 4);
  EXPECT_FALSE(core::EncodePng({pixels, 10, 4, 30, 3}).empty());
  EXPECT_TRUE(core::EncodePng({pixels, 10, 5, 30, 3}).empty()) << "a row more than the pixels hold";
  EXPECT_TRUE(core::EncodePng({pixels, 10, 4, 29, 3}).empty()) << "a stride shorter than a row";
  EXPECT_TRUE(core::EncodePng({pixels, 10, 2, ~std::uint64_t{0}, 3}).empty()) << "a stride that would overflow";
  EXPECT_TRUE(core::EncodePng({pixels, 0, 4, 30, 3}).empty()) << "no width";
  EXPECT_TRUE(core::EncodePng({pixels, 10, 4, 30, 2}).empty()) << "two bytes a pixel";
  EXPECT_TRUE(core::EncodePng({pixels, 7, 4, 30, 3, true, true}).empty()) << "alpha from three bytes";
}

}  // namespace
