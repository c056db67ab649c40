#pragma once
// A snapshot on the clipboard: the picture as a device-independent bitmap, which every program pastes, and its PNG
// file in the registered "PNG" format, which image editors prefer.
#include <windows.h>

#include <string>

// Replaces the clipboard's content with the bitmap file's picture (CF_DIB) and, when `pngPath` is not empty, the
// bytes of that PNG file ("PNG"). Leaves the clipboard alone and returns false when the bitmap file is empty or not
// a valid bitmap, or the clipboard stays busy for more than a moment. `owner` becomes the clipboard's owner.
bool CopySnapshotToClipboard(HWND owner, const std::wstring& bmpPath, const std::wstring& pngPath);
