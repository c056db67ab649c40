#include "core/CaseFold.h"

#include <cstdint>

namespace core {

namespace {

bool IsEven(uint32_t c) { return c % 2 == 0; }

uint32_t FoldLatin(uint32_t c) {
  if (c >= 0x41 && c <= 0x5A) return c + 0x20;
  if (c == 0xB5) return 0x3BC;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  // Latin Extended-A pairs capital and small letters, with the parity switching twice around the single letters.
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
    return IsEven(c) ? c + 1 : c;
  }
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return IsEven(c) ? c : c + 1;
  if (c == 0x178) return 0xFF;
  if (c == 0x17F) return 0x73;
  return c;
}

uint32_t FoldGreek(uint32_t c) {
  switch (c) {
    case 0x37F: return 0x3F3;
    case 0x386: return 0x3AC;
    case 0x388: case 0x389: case 0x38A: return c + 0x25;
    case 0x38C: return 0x3CC;
    case 0x38E: case 0x38F: return c + 0x3F;
    case 0x3C2: return 0x3C3;
    case 0x3CF: return 0x3D7;
    case 0x3D0: return 0x3B2;
    case 0x3D1: return 0x3B8;
    case 0x3D5: return 0x3C6;
    case 0x3D6: return 0x3C0;
    case 0x3F0: return 0x3BA;
    case 0x3F1: return 0x3C1;
    case 0x3F4: return 0x3B8;
    case 0x3F5: return 0x3B5;
    case 0x3F7: return 0x3F8;
    case 0x3F9: return 0x3F2;
    case 0x3FA: return 0x3FB;
    default: break;
  }
  if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB)) return c + 0x20;
  if (c == 0x370 || c == 0x372 || c == 0x376 || (c >= 0x3D8 && c <= 0x3EF)) return IsEven(c) ? c + 1 : c;
  if (c >= 0x3FD && c <= 0x3FF) return c - 0x82;
  return c;
}

uint32_t FoldCyrillic(uint32_t c) {
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF)) {
    return IsEven(c) ? c + 1 : c;
  }
  if (c == 0x4C0) return 0x4CF;
  if (c >= 0x4C1 && c <= 0x4CE) return IsEven(c) ? c : c + 1;
  return c;
}

}  // namespace

wchar_t FoldCase(wchar_t c) {
  const auto code = static_cast<uint32_t>(c);
  uint32_t folded = code;
  if (code < 0x370) {
    folded = FoldLatin(code);
  } else if (code < 0x400) {
    folded = FoldGreek(code);
  } else if (code < 0x500) {
    folded = FoldCyrillic(code);
  }
  return static_cast<wchar_t>(folded);
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace core
