// libFuzzer target for the bitmap validator: whatever it accepts must lie inside the buffer, as it claims.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const core::BmpCheck check = core::CheckBmp({data, size});
  if (!check.ok()) return 0;
  const core::BmpLayout& l = check.layout;
  if (l.width == 0 || l.height == 0 || l.stride < (static_cast<std::uint64_t>(l.width) * l.bitsPerPixel + 7) / 8 ||
      l.pixelBytes != l.stride * l.height || l.pixelOffset + l.pixelBytes > size) {
    std::abort();
  }
  // Touch the first and last pixel bytes, as a decoder would (AddressSanitizer checks the bounds).
  volatile std::uint8_t sink = data[l.pixelOffset] ^ data[l.pixelOffset + l.pixelBytes - 1];
  (void)sink;
  return 0;
}
