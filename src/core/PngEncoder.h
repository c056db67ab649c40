#pragma once
// A PNG writer for screen captures: 8 bits a channel, RGB (or RGBA when the source's fourth byte is real
// opacity), each row filtered by whichever of the five PNG filters leaves the smallest sum of absolute
// differences, then deflated by zlib. Pixels come as a bitmap stores them: blue, green, red (and a fourth
// byte) per pixel, rows top-down or bottom-up with a stride.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace core {

// The deflate level, chosen by measurement (bench/snap.sh). On the full-screen synthetic picture 3 gives the smallest
// file below level 7 (levels 4 to 6 lose on it) at a third of level 6's time; 1 and 2 are 10% and 9% larger. On a
// desktop screenshot with a photo-like wallpaper, levels 4 to 6 are 7% to 14% smaller than 3, at 1.0 to 2.9 times
// its time.
inline constexpr int kPngDeflateLevel = 3;

struct PngSource {
  std::span<const std::uint8_t> pixels;  // the rows in the order they are stored
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint64_t stride = 0;         // bytes from the start of one stored row to the next
  std::uint32_t bytesPerPixel = 3;  // 3 (BGR) or 4 (BGR and a fourth byte)
  bool topDown = true;              // the first stored row is the picture's top row
  bool alpha = false;               // 4 bytes a pixel only: the fourth byte is opacity and is kept
};

// The whole PNG file. Empty when the description does not fit its pixels (a zero or too large dimension, a
// stride shorter than a row, fewer bytes than the rows need, a depth other than 3 or 4) or zlib fails.
std::vector<std::uint8_t> EncodePng(const PngSource& source, int level = kPngDeflateLevel);

// The PNG of a whole bitmap file held in memory, validated by CheckBmp first. Supported: 24 bits a pixel,
// and 32 bits a pixel without or with the usual masks, whose fourth byte is padding unless the header's
// alpha mask declares it opacity. Empty for anything else, including every file CheckBmp refuses.
std::vector<std::uint8_t> EncodeBmpAsPng(std::span<const std::uint8_t> file, int level = kPngDeflateLevel);

}  // namespace core
