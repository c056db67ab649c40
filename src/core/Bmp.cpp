#include "core/Bmp.h"

#include <limits>

namespace core {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kMasksSize = 12;  // red, green, blue masks after a 40-byte header with BI_BITFIELDS

std::uint16_t ReadU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t ReadU32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void WriteU16(BmpHeader& h, std::size_t at, std::uint32_t v) {
  h[at] = static_cast<std::uint8_t>(v);
  h[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void WriteU32(BmpHeader& h, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) h[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool KnownInfoHeaderSize(std::uint32_t size) {
  // BITMAPINFOHEADER, its two Adobe extensions with masks, BITMAPV4HEADER, BITMAPV5HEADER.
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownDepth(std::uint32_t bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

BmpCheck Fail(BmpProblem problem) {
  BmpCheck check;
  check.problem = problem;
  return check;
}

}  // namespace

std::uint64_t BmpStride(std::uint32_t width, std::uint32_t bitsPerPixel) {
  const std::uint64_t bits = static_cast<std::uint64_t>(width) * bitsPerPixel;
  return (bits + 31) / 32 * 4;
}

std::optional<BmpHeader> MakeBmpHeader(std::uint32_t width, std::uint32_t height, std::uint32_t bitsPerPixel) {
  if (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return std::nullopt;
  if (width == 0 || height == 0 || width > kBmpMaxDimension || height > kBmpMaxDimension) return std::nullopt;
  const std::uint64_t imageSize = BmpStride(width, bitsPerPixel) * height;
  const std::uint64_t fileSize = imageSize + kBmpHeaderSize;
  if (fileSize > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;

  BmpHeader h{};
  h[0] = 'B';
  h[1] = 'M';
  WriteU32(h, 2, static_cast<std::uint32_t>(fileSize));
  WriteU32(h, 10, static_cast<std::uint32_t>(kBmpHeaderSize));
  WriteU32(h, 14, static_cast<std::uint32_t>(kBmpInfoHeaderSize));
  WriteU32(h, 18, width);
  WriteU32(h, 22, height);  // positive: bottom-up rows
  WriteU16(h, 26, 1);       // planes
  WriteU16(h, 28, bitsPerPixel);
  WriteU32(h, 30, kBiRgb);
  WriteU32(h, 34, static_cast<std::uint32_t>(imageSize));
  // Resolution, colours used and important colours stay zero.
  return h;
}

BmpCheck CheckBmp(std::span<const std::uint8_t> file) {
  const std::size_t size = file.size();
  if (size < 2) return Fail(BmpProblem::Truncated);
  if (file[0] != 'B' || file[1] != 'M') return Fail(BmpProblem::NotBitmap);
  if (size < kBmpFileHeaderSize + 4) return Fail(BmpProblem::Truncated);

  const std::uint32_t declaredSize = ReadU32(file, 2);
  const std::uint32_t offset = ReadU32(file, 10);
  const std::uint32_t infoSize = ReadU32(file, 14);
  if (!KnownInfoHeaderSize(infoSize)) return Fail(BmpProblem::UnsupportedHeader);
  if (size < kBmpFileHeaderSize + infoSize) return Fail(BmpProblem::Truncated);

  const auto width = static_cast<std::int32_t>(ReadU32(file, 18));
  const auto height = static_cast<std::int32_t>(ReadU32(file, 22));
  const std::uint16_t planes = ReadU16(file, 26);
  const std::uint16_t bpp = ReadU16(file, 28);
  const std::uint32_t compression = ReadU32(file, 30);
  const std::uint32_t declaredImageSize = ReadU32(file, 34);
  const std::uint32_t coloursUsed = ReadU32(file, 46);

  if (planes != 1 || !KnownDepth(bpp)) return Fail(BmpProblem::UnsupportedFormat);
  if (compression != kBiRgb && !(compression == kBiBitfields && (bpp == 16 || bpp == 32))) {
    return Fail(BmpProblem::UnsupportedFormat);
  }
  // Heights are compared in 64 bits: negating INT32_MIN would overflow.
  const std::int64_t absHeight = height < 0 ? -static_cast<std::int64_t>(height) : height;
  if (width <= 0 || static_cast<std::uint32_t>(width) > kBmpMaxDimension || absHeight == 0 ||
      absHeight > kBmpMaxDimension) {
    return Fail(BmpProblem::BadDimensions);
  }

  BmpLayout l;
  l.width = static_cast<std::uint32_t>(width);
  l.height = static_cast<std::uint32_t>(absHeight);
  l.topDown = height < 0;
  l.bitsPerPixel = bpp;
  l.compression = compression;
  if (bpp <= 8) {
    const std::uint32_t maxEntries = 1u << bpp;
    if (coloursUsed > maxEntries) return Fail(BmpProblem::Inconsistent);
    l.paletteEntries = coloursUsed != 0 ? coloursUsed : maxEntries;
  } else {
    l.paletteEntries = coloursUsed;  // an optional table that decoders skip
  }
  const std::uint64_t masks = (compression == kBiBitfields && infoSize == kBmpInfoHeaderSize) ? kMasksSize : 0;
  const std::uint64_t tablesEnd =
      kBmpFileHeaderSize + static_cast<std::uint64_t>(infoSize) + masks + 4ull * l.paletteEntries;
  if (offset < tablesEnd) return Fail(BmpProblem::Inconsistent);

  l.stride = BmpStride(l.width, bpp);
  l.pixelOffset = offset;
  l.pixelBytes = l.stride * l.height;
  const std::uint64_t needed = l.pixelOffset + l.pixelBytes;
  // A declared size beyond what we hold means the file was cut short; a zero size is allowed for BI_RGB.
  if (declaredSize > size || needed > size) return Fail(BmpProblem::Truncated);
  if (declaredSize != 0 && declaredSize < needed) return Fail(BmpProblem::Inconsistent);
  if (declaredImageSize != 0 && declaredImageSize < l.pixelBytes) return Fail(BmpProblem::Inconsistent);

  if (compression == kBiBitfields) {
    // After a 40-byte header the masks follow it; longer headers hold them at the same place.
    const std::size_t masksAt = kBmpFileHeaderSize + kBmpInfoHeaderSize;
    l.redMask = ReadU32(file, masksAt);
    l.greenMask = ReadU32(file, masksAt + 4);
    l.blueMask = ReadU32(file, masksAt + 8);
    if (infoSize >= kBmpInfoHeaderSize + 16) l.alphaMask = ReadU32(file, masksAt + 12);
  }

  BmpCheck check;
  check.layout = l;
  return check;
}

}  // namespace core
