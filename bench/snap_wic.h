#pragma once
// The Windows Imaging Component for the snapshot benchmark: the bitmap-to-PNG conversion that the PNG library made
// before it had its own encoder, kept here to compare against, and a decoder that checks two files show the same
// pixels.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reads the bitmap file and writes it as PNG the way the library used to (opaque RGB unless the bitmap declares
// opacity). False on any failure.
bool WicConvertBmpToPng(const std::wstring& bmpPath, const std::wstring& pngPath);

// The picture in the file as top-down 32bppBGRA, its size first (width, height as two 32-bit values).
std::optional<std::vector<std::uint32_t>> WicDecode(const std::wstring& path);
