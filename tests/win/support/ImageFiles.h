#pragma once
// Reading the image files the program writes, as a viewer would: sizes and pixels from the bytes on disk.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fixture {

// Width, height and pixel (0x00RRGGBB, counted from the top-left) of a bottom-up 24 or 32-bit BMP file's bytes;
// nullopt when the bytes are not such a file or the pixel lies outside it.
std::optional<SIZE> BmpSize(const std::string& file);
std::optional<std::uint32_t> BmpPixel(const std::string& file, int x, int y);

// Width and height from a PNG file's header, if it is one.
std::optional<SIZE> PngSize(const std::string& file);

// A PNG file decoded by the imaging component into top-down rows of 4 bytes a pixel, blue first.
struct DecodedPng {
  UINT width = 0, height = 0;
  std::vector<std::uint8_t> bgra;
};
std::optional<DecodedPng> DecodePng(const std::wstring& path);

}  // namespace fixture
