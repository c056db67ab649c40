#include "core/PngEncoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t Big32(const std::uint8_t* p) { return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

struct Png {
  std::uint32_t width = 0, height = 0, colourType = 0, idatChunks = 0;
  Bytes pixels;  // top-down RGB or RGBA
  std::set<int> filters;
};

// Reads the PNG back the long way: each chunk's CRC, the IDAT chunks as one zlib stream, each row unfiltered.
Png Decode(const Bytes& file) {
  Png png;
  Bytes z;
  EXPECT_TRUE(file.size() > 8 && Big32(&file[0]) == 0x89504E47 && Big32(&file[4]) == 0x0D0A1A0A);
  for (std::size_t at = 8; at + 12 <= file.size(); at += 12 + Big32(&file[at])) {
    const std::uint32_t length = Big32(&file[at]);
    const std::string type(&file[at + 4], &file[at + 8]);
    const std::uint8_t* data = &file[at + 8];
    EXPECT_EQ(crc32(0, &file[at + 4], 4 + length), Big32(data + length)) << type;
    if (type == "IHDR") png = {Big32(data), Big32(data + 4), data[9]};
    if (type == "IDAT") {
      z.insert(z.end(), data, data + length);
      ++png.idatChunks;
    }
  }
  const std::size_t bpp = png.colourType == 6 ? 4 : 3, rowBytes = png.width * bpp;
  Bytes raw((rowBytes + 1) * png.height);
  uLongf size = raw.size();
  EXPECT_EQ(uncompress(raw.data(), &size, z.data(), z.size()), Z_OK);
  png.pixels.resize(rowBytes * png.height);
  for (std::size_t y = 0, i = 0; y < png.height; ++y) {
    const int filter = raw[y * (rowBytes + 1)];
    png.filters.insert(filter);
    for (std::size_t x = 0; x < rowBytes; ++x, ++i) {
      const int a = x >= bpp ? png.pixels[i - bpp] : 0, b = y ? png.pixels[i - rowBytes] : 0;
      const int c = x >= bpp && y ? png.pixels[i - rowBytes - bpp] : 0;
      const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
      const int predictor[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
      png.pixels[i] = static_cast<std::uint8_t>(raw[y * (rowBytes + 1) + 1 + x] + predictor[filter]);
    }
  }
  return png;
}

std::uint8_t Noise(std::uint32_t x, std::uint32_t y, std::uint32_t c) {
  return static_cast<std::uint8_t>(((x * 7919u) ^ (y * 104729u) ^ (c * 31u)) * 2654435761u >> 24);
}

// Top-down RGB whose rows each suit one filter best, in turn: None (sparse ones), Sub (a ramp), Up (the row
// above again), Average (the mean of left and up), and a 2-D gradient whose second row Paeth predicts best.
// Noise from x = 300 on.
Bytes MakePicture(std::uint32_t w, std::uint32_t h) {
  Bytes rgb(std::size_t{w} * h * 3);
  for (std::size_t i = 0; i < rgb.size(); ++i) {
    const std::uint32_t c = i % 3, x = i / 3 % w, y = static_cast<std::uint32_t>(i / 3 / w);
    const std::uint32_t left = x ? rgb[i - 3] : 0, up = y ? rgb[i - w * 3] : 0, gradient = 3 * x + (4 * c + 1) * y;
    const std::uint32_t kinds[] = {Noise(x, y, c) % 10 == 0, Noise(0, y, c) + 2 * x, up, (left + up) / 2,
                                   gradient, gradient};
    rgb[i] = static_cast<std::uint8_t>(x >= 300 ? Noise(x, y, c) : kinds[y % 6]);
  }
  return rgb;
}

TEST(EncodePng, EveryPixelComesBackFromEveryLayout) {
  struct Case { std::uint32_t w, h, bytesPerPixel; bool topDown; };
  const Case cases[] = {{1, 1, 3, false},   {1, 1, 4, true},  {13, 7, 3, false},
                        {13, 7, 4, true},   {5, 40, 3, true}, {640, 300, 4, false},  // needs two IDAT chunks
                        {1500, 20, 3, true}};  // mostly noise: deflated with the settings for noisy pictures
  std::set<int> filters;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "x" + std::to_string(c.bytesPerPixel));
    const Bytes rgb = MakePicture(c.w, c.h);
    const std::uint32_t stride = c.w * c.bytesPerPixel + 3;  // padded, as bitmap rows are
    Bytes stored(std::size_t{stride} * c.h, 0x5A);  // the fourth byte and the padding must not show
    for (std::size_t i = 0; i < rgb.size(); ++i) {
      const std::size_t x = i / 3 % c.w, y = i / 3 / c.w, row = c.topDown ? y : c.h - 1 - y;
      stored[row * stride + x * c.bytesPerPixel + 2 - i % 3] = rgb[i];  // blue, green, red
    }
    const Png png = Decode(core::EncodePng({stored, c.w, c.h, stride, c.bytesPerPixel, c.topDown}));
    EXPECT_EQ(png.width, c.w);
    EXPECT_EQ(png.height, c.h);
    EXPECT_EQ(png.colourType, 2u);
    EXPECT_TRUE(png.pixels == rgb);
    EXPECT_EQ(png.idatChunks > 1, c.w == 640);
    filters.insert(png.filters.begin(), png.filters.end());
  }
  EXPECT_EQ(filters, (std::set<int>{0, 1, 2, 3, 4})) << "every filter chosen somewhere";
}

TEST(EncodePng, StripsOnSeveralThreadsDecodeToTheSamePixelsAsOneStream) {
  struct Case { std::uint32_t w, h, bytesPerPixel; unsigned threads; std::uint64_t minStrip; };
  const Case cases[] = {{640, 301, 4, 3, 1},       // 12 strips of 25 or 26 rows, each primed with a full window
                        {1500, 20, 3, 3, 1},       // noisy; strips shorter than a window's rows
                        {5, 2, 3, 4, 1},           // more threads than rows: a row a strip
                        {13, 7, 3, 4, 1 << 20}};  // smaller than one strip: one stream
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    const Bytes rgb = MakePicture(c.w, c.h);
    Bytes stored(rgb.size() / 3 * c.bytesPerPixel);
    for (std::size_t i = 0; i < rgb.size(); ++i) stored[i / 3 * c.bytesPerPixel + 2 - i % 3] = rgb[i];
    const core::PngSource source{stored, c.w, c.h, std::uint64_t{c.w} * c.bytesPerPixel, c.bytesPerPixel};
    const Bytes single = core::EncodePng(source, core::kPngChooseLevel, {1});
    const Bytes strips = core::EncodePng(source, core::kPngChooseLevel, {c.threads, c.minStrip});
    EXPECT_EQ(Decode(strips).pixels, rgb);
    EXPECT_EQ(strips == single, c.minStrip > 1) << "one stream exactly when the picture is below one strip";
  }
}

TEST(EncodeBmpAsPng, KeepsOpacityOnlyWhereTheHeaderDeclaresIt) {
  // One pixel at 32 bits, a 108-byte header, BI_BITFIELDS with the usual masks and an alpha mask.
  Bytes file(14 + 108 + 4, 0);
  const std::pair<std::size_t, std::uint32_t> fields[] = {{10, 122}, {14, 108}, {18, 1}, {22, 1}, {26, 1},
                                                          {28, 32}, {30, 3}, {54, 0xFF0000}, {58, 0xFF00},
                                                          {62, 0xFF}, {66, 0xFF000000}, {122, 0x80112233}};
  for (const auto& [at, v] : fields) {
    for (std::size_t i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  file[0] = 'B';
  file[1] = 'M';
  EXPECT_EQ(Decode(core::EncodeBmpAsPng(file)).pixels, (Bytes{0x11, 0x22, 0x33, 0x80}));
  file[69] = 0;  // no alpha mask: the fourth byte is padding
  EXPECT_EQ(Decode(core::EncodeBmpAsPng(file)).pixels, (Bytes{0x11, 0x22, 0x33}));
  file[28] = 16;  // the masks of a 16-bit bitmap: not encoded
  EXPECT_TRUE(core::EncodeBmpAsPng(file).empty());
}

TEST(EncodePng, RefusesDescriptionsThatDoNotFitThePixels) {
  const Bytes pixels(10 * 3 * 4);
  EXPECT_FALSE(core::EncodePng({pixels, 10, 4, 30, 3}).empty());
  EXPECT_TRUE(core::EncodePng({pixels, 10, 5, 30, 3}).empty()) << "a row more than the pixels hold";
  EXPECT_TRUE(core::EncodePng({pixels, 10, 4, 29, 3}).empty()) << "a stride shorter than a row";
  EXPECT_TRUE(core::EncodePng({pixels, 10, 2, ~std::uint64_t{0}, 3}).empty()) << "a stride that would overflow";
  EXPECT_TRUE(core::EncodePng({pixels, 0, 4, 30, 3}).empty()) << "no width";
  EXPECT_TRUE(core::EncodePng({pixels, 7, 4, 28, 3, true, true}).empty()) << "alpha from three bytes";
}

}  // namespace
