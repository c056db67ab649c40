// The resources linked into every program: the generated pictures load with the right sizes, hot spot, transparency
// and colours; the version and manifest resources are present.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gui/Handles.h"

namespace {

using gui::UniqueBitmap;
using gui::UniqueIcon;

HMODULE Self() { return ::GetModuleHandleW(nullptr); }

// GetIconInfo hands over two bitmaps that the caller must delete.
struct IconBits {
  ICONINFO info{};
  UniqueBitmap mask;
  UniqueBitmap colour;
};

std::optional<IconBits> InfoOf(HICON icon) {
  IconBits bits;
  if (!::GetIconInfo(icon, &bits.info)) return std::nullopt;
  bits.mask.reset(bits.info.hbmMask);
  bits.colour.reset(bits.info.hbmColor);
  return bits;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  ::GetObjectW(bitmap, sizeof bm, &bm);
  return {bm.bmWidth, bm.bmHeight};
}

// The bitmap's pixels as 0x00RRGGBB, top row first.
class Pixels {
 public:
  explicit Pixels(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    width_ = size.cx;
    height_ = size.cy;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = width_;
    bmi.bmiHeader.biHeight = -height_;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    data_.resize(static_cast<std::size_t>(width_) * height_);
    gui::WindowDc screen = gui::WindowDc::Client();
    lines_ = ::GetDIBits(screen.dc(), bitmap, 0, static_cast<UINT>(height_), data_.data(), &bmi, DIB_RGB_COLORS);
  }
  bool Read() const { return lines_ == height_ && height_ > 0; }
  std::uint32_t At(int x, int y) const { return data_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF; }

 private:
  int width_ = 0;
  int height_ = 0;
  int lines_ = 0;
  std::vector<std::uint32_t> data_;
};

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlue = 0x0000FF;

UniqueIcon LoadIconOfSize(const wchar_t* name, int side) {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(Self(), name, IMAGE_ICON, side, side, 0)));
}

// A colour icon with its mask read back: Opaque/Colour answer for one pixel.
struct ReadIcon {
  std::optional<IconBits> bits;
  std::optional<Pixels> mask;
  std::optional<Pixels> colour;
  SIZE size{};

  explicit ReadIcon(HICON icon) : bits(InfoOf(icon)) {
    if (!bits || !bits->colour) return;
    size = BitmapSize(bits->colour.get());
    mask.emplace(bits->mask.get());
    colour.emplace(bits->colour.get());
  }
  bool Ok() const { return mask && colour && mask->Read() && colour->Read(); }
  bool Transparent(int x, int y) const { return mask->At(x, y) == kWhite; }
  std::uint32_t Colour(int x, int y) const { return colour->At(x, y); }
};

TEST(Resources, GrabCursorIsA32PixelCrosshairWithItsHotSpotAtTheCentre) {
  // Loaded from the module, so shared: not destroyed here.
  HCURSOR cursor = ::LoadCursorW(Self(), L"CUR_GRAB");
  ASSERT_NE(cursor, nullptr);
  auto bits = InfoOf(cursor);
  ASSERT_TRUE(bits);
  EXPECT_FALSE(bits->info.fIcon);
  EXPECT_EQ(bits->info.xHotspot, 15u);
  EXPECT_EQ(bits->info.yHotspot, 16u);

  // Two colours: no colour bitmap, the mask holds the AND half on top of the XOR half.
  ASSERT_EQ(bits->colour.get(), nullptr);
  const SIZE size = BitmapSize(bits->mask.get());
  EXPECT_EQ(size.cx, 32);
  EXPECT_EQ(size.cy, 64);
  Pixels mask(bits->mask.get());
  ASSERT_TRUE(mask.Read());
  auto andBit = [&](int x, int y) { return mask.At(x, y) == kWhite; };
  auto xorBit = [&](int x, int y) { return mask.At(x, y + 32) == kWhite; };
  // The pointer's own pixel is black and drawn; the corners leave the screen alone.
  EXPECT_FALSE(andBit(15, 16));
  EXPECT_FALSE(xorBit(15, 16));
  for (POINT corner : {POINT{0, 0}, POINT{31, 0}, POINT{0, 31}, POINT{31, 31}}) {
    EXPECT_TRUE(andBit(corner.x, corner.y)) << corner.x << "," << corner.y;
    EXPECT_FALSE(xorBit(corner.x, corner.y)) << corner.x << "," << corner.y;
  }
  // The four spokes run through the hot spot's row and column.
  for (int d : {-10, 10}) {
    EXPECT_FALSE(andBit(15 + d, 16)) << "horizontal spoke at " << d;
    EXPECT_FALSE(andBit(15, 16 + d)) << "vertical spoke at " << d;
  }
}

// The picker's two pictures share the window outline; only Z_GRAB has the crosshair in its see-through client area.
TEST(Resources, PickerIconsAreWindowOutlinesWithATransparentClientArea) {
  struct Case {
    const wchar_t* name;
    bool crosshair;
  };
  for (const Case& c : {Case{L"Z_GRAB", true}, Case{L"Z_NONE", false}, Case{L"Z_grab", true}, Case{L"z_none", false}}) {
    SCOPED_TRACE(testing::Message() << "icon " << std::string(c.name, c.name + wcslen(c.name)));
    UniqueIcon icon = LoadIconOfSize(c.name, 32);
    ASSERT_TRUE(icon);
    ReadIcon read(icon.get());
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.size.cx, 32);
    EXPECT_EQ(read.size.cy, 32);

    // Title bar: blue, with grey-and-black boxes at both ends.
    EXPECT_FALSE(read.Transparent(15, 5));
    EXPECT_EQ(read.Colour(15, 5), kBlue);
    for (int x : {5, 26}) {
      EXPECT_EQ(read.Colour(x, 6), 0xC0C0C0u) << "box at x=" << x;
      EXPECT_EQ(read.Colour(x - 1, 5), kBlack) << "box at x=" << x;
    }
    // Black border around the window.
    for (POINT p : {POINT{1, 20}, POINT{30, 20}, POINT{15, 3}, POINT{15, 28}}) {
      EXPECT_FALSE(read.Transparent(p.x, p.y)) << p.x << "," << p.y;
      EXPECT_EQ(read.Colour(p.x, p.y), kBlack) << p.x << "," << p.y;
    }
    // The client area lets the swatch behind the control show through.
    for (POINT p : {POINT{3, 12}, POINT{28, 12}, POINT{3, 27}, POINT{28, 27}, POINT{6, 15}}) {
      EXPECT_TRUE(read.Transparent(p.x, p.y)) << p.x << "," << p.y;
    }
    // Centre and spokes of the crosshair.
    for (POINT p : {POINT{15, 19}, POINT{15, 12}, POINT{8, 19}, POINT{22, 19}, POINT{15, 26}}) {
      EXPECT_EQ(!read.Transparent(p.x, p.y), c.crosshair) << p.x << "," << p.y;
    }
  }
}

TEST(Resources, SmallIconsLoadAt16Pixels) {
  struct Case {
    const wchar_t* name;
    std::optional<POINT> transparent;  // a background pixel, for pictures drawn over the window's face
  };
  for (const Case& c : {Case{L"TRAY_1", std::nullopt}, Case{L"TRAY_2", std::nullopt}, Case{L"SNAP_WIN", POINT{15, 0}},
                        Case{L"SNAP_REG", POINT{8, 8}}}) {
    SCOPED_TRACE(testing::Message() << "icon " << std::string(c.name, c.name + wcslen(c.name)));
    UniqueIcon icon = LoadIconOfSize(c.name, 16);
    ASSERT_TRUE(icon);
    ReadIcon read(icon.get());
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.size.cx, 16);
    EXPECT_EQ(read.size.cy, 16);
    if (c.transparent) { EXPECT_TRUE(read.Transparent(c.transparent->x, c.transparent->y)); }
  }
}

TEST(Resources, TrayFramesDiffer) {
  UniqueIcon first = LoadIconOfSize(L"TRAY_1", 16);
  UniqueIcon second = LoadIconOfSize(L"TRAY_2", 16);
  ASSERT_TRUE(first && second);
  ReadIcon a(first.get());
  ReadIcon b(second.get());
  ASSERT_TRUE(a.Ok() && b.Ok());
  int differing = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) differing += a.Colour(x, y) != b.Colour(x, y);
  }
  EXPECT_GT(differing, 4) << "an animation of two identical frames shows nothing";
}

TEST(Resources, MainIconHoldsADrawingForEachSize) {
  for (int side : {32, 16}) {
    SCOPED_TRACE(testing::Message() << side << " pixels");
    UniqueIcon icon = LoadIconOfSize(L"MAINICON", side);
    ASSERT_TRUE(icon);
    ReadIcon read(icon.get());
    ASSERT_TRUE(read.Ok());
    EXPECT_EQ(read.size.cx, side);
    EXPECT_EQ(read.size.cy, side);
    EXPECT_TRUE(read.Transparent(0, 0));
  }
  // The 16-pixel image is drawn for its size, not the 32-pixel one scaled down: its frame fills the edges,
  // where the large image is still empty.
  UniqueIcon small = LoadIconOfSize(L"MAINICON", 16);
  ReadIcon read(small.get());
  ASSERT_TRUE(read.Ok());
  for (POINT p : {POINT{0, 1}, POINT{15, 1}, POINT{0, 14}, POINT{15, 14}}) {
    EXPECT_FALSE(read.Transparent(p.x, p.y)) << p.x << "," << p.y;
  }
}

BOOL CALLBACK CollectFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) noexcept {
  auto* first = reinterpret_cast<std::wstring*>(param);
  if (IS_INTRESOURCE(name)) {
    *first = L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name));
  } else {
    *first = name;
  }
  return FALSE;  // the first one is all we want
}

TEST(Resources, MainIconIsTheFirstIconGroup) {
  std::wstring first;
  ::EnumResourceNamesW(Self(), RT_GROUP_ICON, CollectFirstName, reinterpret_cast<LONG_PTR>(&first));
  EXPECT_EQ(first, L"MAINICON");
}

TEST(Resources, VersionResourceNamesTheProductAndItsVersion) {
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<std::uint8_t> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwFileVersionMS, (2024u << 16) | 16u);
  EXPECT_EQ(fixed->dwFileVersionLS, (511u << 16) | 3038u);

  auto text = [&](const wchar_t* key) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) || !value)
      return std::wstring(L"<missing>");
    return std::wstring(value);
  };
  EXPECT_EQ(text(L"ProductName"), L"Skimlet");
  EXPECT_EQ(text(L"FileVersion"), L"2024.16.511.3038");
  EXPECT_EQ(text(L"ProductVersion"), L"2024.16.511.3038");
}

TEST(Resources, ManifestAsksForCommonControls6) {
  HRSRC found = ::FindResourceW(Self(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const DWORD size = ::SizeofResource(Self(), found);
  HGLOBAL loaded = ::LoadResource(Self(), found);  // resource memory: nothing to free
  ASSERT_NE(loaded, nullptr);
  const auto* bytes = static_cast<const char*>(::LockResource(loaded));
  ASSERT_NE(bytes, nullptr);
  const std::string manifest(bytes, size);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

}  // namespace
