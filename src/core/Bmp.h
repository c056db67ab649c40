#pragma once
// The uncompressed Windows bitmap file: a 14-byte file header that begins "BM", a 40-byte (or longer)
// information header, an optional colour table, then the pixel rows, each padded to 4 bytes.
// Writing: MakeBmpHeader gives the 54 header bytes of a palette-free 16/24/32 bpp image.
// Reading: CheckBmp validates a whole file held in memory before anything decodes it, so that a
// truncated or hostile file is refused instead of being read past its end.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace core {

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpInfoHeaderSize = 40;
inline constexpr std::size_t kBmpHeaderSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;

// Largest width or height accepted by the reader and the builder; far beyond any screen.
inline constexpr std::uint32_t kBmpMaxDimension = 65535;

using BmpHeader = std::array<std::uint8_t, kBmpHeaderSize>;

// Bytes in one pixel row: bits rounded up to whole 32-bit words. Computed in 64 bits, so it cannot overflow
// for any 32-bit width.
std::uint64_t BmpStride(std::uint32_t width, std::uint32_t bitsPerPixel);

// File and information header of a bottom-up BI_RGB image without palette (pixels start at offset 54).
// Empty when the depth is not 16, 24 or 32, a dimension is zero or above kBmpMaxDimension, or the file would
// not fit the 32-bit size field.
std::optional<BmpHeader> MakeBmpHeader(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel);

enum class BmpProblem {
  None,
  Truncated,          // shorter than its headers, its colour table or its pixel rows need
  NotBitmap,          // no "BM" signature
  UnsupportedHeader,  // an information header of an unknown size (OS/2 core headers included)
  BadDimensions,      // zero, negative width, or beyond kBmpMaxDimension
  UnsupportedFormat,  // planes other than 1, an unknown depth, or compression other than BI_RGB/BI_BITFIELDS
  Inconsistent,       // fields that contradict each other (offsets, sizes, colour counts)
};

// Where the parts of a validated file lie.
struct BmpLayout {
  std::uint32_t width = 0;
  std::uint32_t height = 0;       // always positive; see topDown
  bool topDown = false;           // a negative height in the file: rows are stored top row first
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = 0;  // 0 BI_RGB, 3 BI_BITFIELDS
  std::uint32_t paletteEntries = 0;
  std::uint64_t stride = 0;
  std::uint64_t pixelOffset = 0;  // where the first stored row begins
  std::uint64_t pixelBytes = 0;   // stride * height, all inside the file
  // BI_BITFIELDS only: where each channel lies in a pixel. The alpha mask comes from headers of 56 bytes or more.
  std::uint32_t redMask = 0;
  std::uint32_t greenMask = 0;
  std::uint32_t blueMask = 0;
  std::uint32_t alphaMask = 0;
};

struct BmpCheck {
  BmpProblem problem = BmpProblem::None;
  BmpLayout layout;
  bool ok() const { return problem == BmpProblem::None; }
};

BmpCheck CheckBmp(std::span<const std::uint8_t> file);

}  // namespace core
