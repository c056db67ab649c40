#pragma once
// Comparing text without regard to letter case, the same on every platform and in every locale.
//
// The fold is Unicode's simple case folding restricted to these blocks: ASCII, Latin-1 (and the micro sign, which
// folds to Greek mu), Latin Extended-A (long s folds to s; dotted capital I and dotless i stay themselves, as in
// non-Turkish folding), Greek and Coptic (letters with tonos and dialytika, final sigma to sigma, the archaic
// letters and Coptic pairs), and Cyrillic (U+0400-U+04FF). Every other character, including everything outside
// the Basic Multilingual Plane, compares exactly. Each fold maps one code unit to one code unit, so folded texts
// keep their lengths and UTF-16 and UTF-32 strings behave alike.
#include <string_view>

namespace core {

// The case-folded form of one character (lower case for the letters above).
wchar_t FoldCase(wchar_t c);

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);

}  // namespace core
