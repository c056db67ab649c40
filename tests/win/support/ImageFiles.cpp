#include "support/ImageFiles.h"

#include <wincodec.h>

#include <algorithm>
#include <iterator>

namespace fixture {
namespace {

std::uint32_t ReadLe(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

std::uint32_t ReadBe32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

struct BmpInfo {
  int width;
  int height;
  int bits;
  std::size_t offset;
};

std::optional<BmpInfo> ReadBmpInfo(const std::string& file) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const auto width = static_cast<std::int32_t>(ReadLe(file, 18, 4));
  const auto height = static_cast<std::int32_t>(ReadLe(file, 22, 4));
  const auto bits = static_cast<int>(ReadLe(file, 28, 2));
  if (width <= 0 || height <= 0 || (bits != 24 && bits != 32)) return std::nullopt;
  return BmpInfo{width, height, bits, ReadLe(file, 10, 4)};
}

}  // namespace

std::optional<SIZE> BmpSize(const std::string& file) {
  const auto info = ReadBmpInfo(file);
  if (!info) return std::nullopt;
  return SIZE{info->width, info->height};
}

std::optional<std::uint32_t> BmpPixel(const std::string& file, int x, int y) {
  const auto info = ReadBmpInfo(file);
  if (!info || x < 0 || y < 0 || x >= info->width || y >= info->height) return std::nullopt;
  const std::size_t bytesPerPixel = static_cast<std::size_t>(info->bits / 8);
  const std::size_t stride = (static_cast<std::size_t>(info->width) * info->bits + 31) / 32 * 4;
  const std::size_t row = static_cast<std::size_t>(info->height - 1 - y);  // bottom-up
  const std::size_t at = info->offset + row * stride + static_cast<std::size_t>(x) * bytesPerPixel;
  if (at + 3 > file.size()) return std::nullopt;
  return ReadLe(file, at, 3);  // blue, green, red: 0x00RRGGBB once read little-endian
}

std::optional<SIZE> PngSize(const std::string& file) {
  static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 24 ||
      !std::equal(std::begin(kSignature), std::end(kSignature), file.begin(),
                  [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); }) ||
      file.compare(12, 4, "IHDR") != 0) {
    return std::nullopt;
  }
  return SIZE{static_cast<LONG>(ReadBe32(file, 16)), static_cast<LONG>(ReadBe32(file, 20))};
}

namespace {

class ComScope {
 public:
  ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }

 private:
  HRESULT hr_;
};

}  // namespace

std::optional<DecodedPng> DecodePng(const std::wstring& path) {
  ComScope com;
  IWICImagingFactory* factory = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory)))) {
    return std::nullopt;
  }
  std::optional<DecodedPng> result;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  GUID container{};
  if (SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnLoad, &decoder)) &&
      SUCCEEDED(decoder->GetContainerFormat(&container)) && IsEqualGUID(container, GUID_ContainerFormatPng) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom))) {
    DecodedPng d;
    converter->GetSize(&d.width, &d.height);
    d.bgra.resize(static_cast<std::size_t>(d.width) * d.height * 4);
    if (SUCCEEDED(converter->CopyPixels(nullptr, d.width * 4, static_cast<UINT>(d.bgra.size()), d.bgra.data()))) {
      result = std::move(d);
    }
  }
  if (converter) converter->Release();
  if (frame) frame->Release();
  if (decoder) decoder->Release();
  factory->Release();
  return result;
}

}  // namespace fixture
