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

// The deflate settings, chosen by measurement (bench/snap.sh and the pictures it captures), and which of them a
// picture gets. Noise-like pictures (the full-screen synthetic one) get level 3, zlib's greedy matching, with hash
// chains of 8 instead of 32 and every string of a match entered in the hash (kPngNoisyTune): 5% larger than plain
// level 3 but 40% less deflate time, and still within 4% of the imaging component's file; levels 4 to 6 lose on them.
// Screen-like pictures (text, flat areas, a smooth wallpaper) get level 5: its lazy matching makes a desktop
// screenshot 11% smaller than level 3 does, within 3% of the imaging component's file, at about 1.4 times level 3's
// deflate time. The kinds are told apart by the mean filtered difference a byte of a sample of rows: 3.6 on the
// synthetic picture, 1.4 on the desktop.
inline constexpr int kPngNoisyLevel = 3;
inline constexpr int kPngScreenLevel = 5;
inline constexpr double kPngNoisyMeanCost = 2.5;  // from this mean absolute difference a byte on, a picture is noisy
inline constexpr int kPngChooseLevel = -2;        // EncodePng: choose between the two from a sample of rows

// A picture is deflated in strips of rows on several threads when it has at least this many filtered bytes a
// strip: each strip costs a few bytes of flush and its own code tables, which a strip this large does not notice.
inline constexpr std::uint64_t kPngMinStripBytes = 256 * 1024;

// How the rows are shared out. A picture is cut into a few strips a thread, which the threads take in turn until
// none is left. Each strip after the first starts with the last 32 KB of the strip before it as its dictionary, so
// it finds the same matches there as one stream would, and all but the last end with a sync flush; joined, they are
// one zlib stream with one checksum. One thread, or a picture too small for two strips, is deflated as one stream
// on the calling thread.
struct PngThreads {
  unsigned count = 0;                          // threads at most; 0: one a logical processor
  std::uint64_t minStripBytes = kPngMinStripBytes;  // filtered bytes a strip has at least
};

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
// stride shorter than a row, fewer bytes than the rows need, a depth other than 3 or 4) or zlib fails. `level` is
// zlib's (0 to 9), or kPngChooseLevel to choose it from a sample of the rows.
std::vector<std::uint8_t> EncodePng(const PngSource& source, int level = kPngChooseLevel, PngThreads threads = {});

// The PNG of a whole bitmap file held in memory, validated by CheckBmp first. Supported: 24 bits a pixel,
// and 32 bits a pixel without or with the usual masks, whose fourth byte is padding unless the header's
// alpha mask declares it opacity. Empty for anything else, including every file CheckBmp refuses.
std::vector<std::uint8_t> EncodeBmpAsPng(std::span<const std::uint8_t> file, int level = kPngChooseLevel,
                                         PngThreads threads = {});

}  // namespace core
