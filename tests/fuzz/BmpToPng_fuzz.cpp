// libFuzzer target for the PNG library's path: a bitmap file in, a PNG out. Whatever the input, the encoder
// reads only inside it (AddressSanitizer checks), and it writes a PNG only for a bitmap the validator accepts,
// with that bitmap's size in its header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/Bmp.h"
#include "core/PngEncoder.h"

namespace {

std::uint32_t Big32(const std::uint8_t* p) { return (std::uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Level 1: the filters and the chunk writing are what is fuzzed, not zlib.
  const auto png = core::EncodeBmpAsPng({data, size}, 1);
  if (png.empty()) return 0;
  const core::BmpCheck check = core::CheckBmp({data, size});
  // Signature and the IHDR chunk's length and type, then its width and height; IEND's length and type last.
  if (!check.ok() || png.size() < 8 + 25 + 12 || Big32(&png[8]) != 13 || Big32(&png[12]) != 0x49484452 ||
      Big32(&png[16]) != check.layout.width || Big32(&png[20]) != check.layout.height ||
      Big32(&png[png.size() - 12]) != 0 || Big32(&png[png.size() - 8]) != 0x49454E44) {
    std::abort();
  }
  return 0;
}
