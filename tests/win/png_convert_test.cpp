// The conversion library and the caller's fallbacks. The libraries come from <tests>/png_libs: real.dll is
// the product's library, the others are stand-ins with one misbehaviour each.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/ovEngineHost.h"
#include "core/Bmp.h"
#include "engine/ovWinSnap.h"
#include "support/ImageFiles.h"
#include "support/TestFiles.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using fixture::TempFolder;

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb Pattern(std::uint32_t x, std::uint32_t y) {
  return {static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 11 + 3),
          static_cast<std::uint8_t>((x ^ y) * 5)};
}

// A bitmap of the pattern, bottom-up unless asked. At 32 bpp the fourth byte varies: it is padding, never opacity.
Bytes MakeBitmap(std::uint32_t w, std::uint32_t h, std::uint32_t bpp, bool topDown = false) {
  const auto header = core::MakeBmpHeader(w, h, bpp);
  Bytes file(header->begin(), header->end());
  if (topDown) {
    const std::uint32_t negative = ~h + 1;  // the height field of a top-down file
    for (int i = 0; i < 4; ++i) file[22 + i] = static_cast<std::uint8_t>(negative >> (8 * i));
  }
  const std::uint64_t stride = core::BmpStride(w, bpp);
  file.resize(file.size() + stride * h);
  for (std::uint32_t y = 0; y < h; ++y) {
    std::uint8_t* row = file.data() + core::kBmpHeaderSize + stride * (topDown ? y : h - 1 - y);
    for (std::uint32_t x = 0; x < w; ++x) {
      const Rgb c = Pattern(x, y);
      std::uint8_t* p = row + x * (bpp / 8);
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
      if (bpp == 32) p[3] = static_cast<std::uint8_t>(y % 2 ? 0 : 0x80);
    }
  }
  return file;
}

using fixture::DecodePng;

// The conversion library's export.
using ConvertFn = BOOLEAN(WINAPI*)(const wchar_t* bmpPath, const wchar_t* pngPath);

std::wstring LibraryPath(const wchar_t* name) { return fixture::ProgramFolder() + L"png_libs\\" + name + L".dll"; }

// The product's library, loaded from the tests' copy.
ConvertFn RealExport() {
  static const HMODULE module = ::LoadLibraryW(LibraryPath(L"real").c_str());
  return module ? reinterpret_cast<ConvertFn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, "ConvertBMP2PNG")))
                : nullptr;
}

void ExpectPatternPng(const std::wstring& png, std::uint32_t w, std::uint32_t h) {
  const auto decoded = DecodePng(png);
  ASSERT_TRUE(decoded) << "not a readable PNG";
  ASSERT_EQ(decoded->width, w);
  ASSERT_EQ(decoded->height, h);
  int mismatches = 0;
  for (std::uint32_t y = 0; y < h; ++y) {
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t* p = decoded->bgra.data() + (static_cast<std::size_t>(y) * w + x) * 4;
      const Rgb got{p[2], p[1], p[0]};
      if ((got != Pattern(x, y) || p[3] != 255) && ++mismatches <= 5) {
        ADD_FAILURE() << "pixel " << x << "," << y << " differs (alpha " << int{p[3]} << ")";
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(ConvertBmp2Png, WritesALosslessOpaquePng) {
  const ConvertFn convert = RealExport();
  ASSERT_NE(convert, nullptr);
  struct Case { std::uint32_t w, h, bpp; bool topDown; };
  const Case cases[] = {{1, 1, 32, false}, {1, 1, 24, true}, {13, 7, 24, false}, {13, 7, 32, false},
                        {13, 7, 24, true}, {5, 9, 32, true}, {64, 48, 32, false}, {3, 200, 24, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + "x" + std::to_string(c.bpp) +
                 (c.topDown ? " top-down" : ""));
    TempFolder folder;
    const std::wstring bmp = folder.File(L"shot.tmp.bmp"), png = folder.File(L"shot.tmp.png");
    ASSERT_TRUE(fixture::WriteFileBytes(bmp, MakeBitmap(c.w, c.h, c.bpp, c.topDown)));
    EXPECT_EQ(convert(bmp.c_str(), png.c_str()), 1);
    ExpectPatternPng(png, c.w, c.h);
    EXPECT_EQ(folder.FileNames().size(), 2u) << "a temporary file was left behind";
  }
}

TEST(ConvertBmp2Png, ReplacesAnExistingPng) {
  const ConvertFn convert = RealExport();
  ASSERT_NE(convert, nullptr);
  TempFolder folder;
  const std::wstring bmp = folder.File(L"a.bmp"), png = folder.File(L"a.png");
  ASSERT_TRUE(fixture::WriteFileBytes(png, Bytes(100000, 0x55)));
  ASSERT_TRUE(fixture::WriteFileBytes(bmp, MakeBitmap(9, 4, 32)));
  EXPECT_EQ(convert(bmp.c_str(), png.c_str()), 1);
  ExpectPatternPng(png, 9, 4);
}

TEST(ConvertBmp2Png, RefusesBadInputWithoutCrashingOrLeavingAPng) {
  const ConvertFn convert = RealExport();
  ASSERT_NE(convert, nullptr);
  const Bytes good = MakeBitmap(13, 7, 32);
  std::vector<std::pair<std::string, Bytes>> inputs;
  for (std::size_t len : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{14}, std::size_t{20},
                          std::size_t{53}, std::size_t{54}, std::size_t{55}, good.size() / 2, good.size() - 1}) {
    inputs.emplace_back("truncated to " + std::to_string(len), Bytes(good.begin(), good.begin() + len));
  }
  Bytes noise(5000);
  std::uint32_t seed = 12345;
  for (auto& b : noise) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  inputs.emplace_back("noise", noise);
  noise[0] = 'B';
  noise[1] = 'M';
  inputs.emplace_back("noise after a signature", noise);
  Bytes huge = good;
  huge[18] = huge[19] = huge[20] = 0xFF;  // width of 16 million
  inputs.emplace_back("huge width", huge);
  Bytes offset = good;
  offset[12] = 0x7F;  // pixels far beyond the end
  inputs.emplace_back("offset past the end", offset);
  Bytes rle = good;
  rle[30] = 2;  // RLE4 at 32 bpp
  inputs.emplace_back("unsupported compression", rle);

  for (const auto& [what, bytes] : inputs) {
    TempFolder folder;
    const std::wstring bmp = folder.File(L"bad.bmp"), png = folder.File(L"bad.png");
    ASSERT_TRUE(fixture::WriteFileBytes(bmp, bytes));
    EXPECT_EQ(convert(bmp.c_str(), png.c_str()), 0) << what;
    EXPECT_EQ(folder.FileNames().size(), 1u) << what << ": something besides the bitmap was written";
  }

  TempFolder folder;
  const std::wstring bmp = folder.File(L"good.bmp"), png = folder.File(L"good.png");
  ASSERT_TRUE(fixture::WriteFileBytes(bmp, good));
  EXPECT_EQ(convert((folder.File(L"missing.bmp")).c_str(), png.c_str()), 0);
  EXPECT_EQ(convert(nullptr, png.c_str()), 0);
  EXPECT_EQ(convert(bmp.c_str(), nullptr), 0);
  EXPECT_EQ(convert(bmp.c_str(), L""), 0);
  EXPECT_EQ(convert(bmp.c_str(), (folder.File(L"no such folder\\good.png")).c_str()), 0);
  EXPECT_FALSE(fixture::FileExists(png));
}

// A folder with a stand-in "executable" and, where given, a library named after it.
struct FakeProgram {
  TempFolder folder;
  std::wstring exe;
  std::wstring bmp;
  std::wstring png;

  FakeProgram(const wchar_t* exeName, const wchar_t* libraryName, const wchar_t* library) {
    exe = folder.File(exeName);
    bmp = exe + L".tmp.bmp";
    png = exe + L".tmp.png";
    libraryPath = folder.File(libraryName);
    if (library) {
      EXPECT_TRUE(::CopyFileW(LibraryPath(library).c_str(), libraryPath.c_str(), FALSE));
    }
    EXPECT_TRUE(fixture::WriteFileBytes(bmp, MakeBitmap(13, 7, 32)));
  }
  // The caller never unloads the library; the test does, so that its folder can go.
  ~FakeProgram() {
    while (const HMODULE loaded = ::GetModuleHandleW(libraryPath.c_str())) {
      if (!::FreeLibrary(loaded)) break;
    }
  }
  FakeProgram(const FakeProgram&) = delete;
  FakeProgram& operator=(const FakeProgram&) = delete;

  std::wstring libraryPath;
};

TEST(ConvertToPng, UsesTheLibraryNamedAfterTheExecutable) {
  {
    FakeProgram p(L"tool.exe", L"tool.dll", L"real");
    EXPECT_EQ(ConvertToPng(p.bmp, p.exe), p.png);
    ExpectPatternPng(p.png, 13, 7);
  }
  {
    FakeProgram p(L"tool_without_extension", L"tool_without_extension.dll", L"real");
    EXPECT_EQ(ConvertToPng(p.bmp, p.exe), p.png);
    EXPECT_TRUE(fixture::FileExists(p.png));
  }
  {
    // Only the low byte of the result counts: 0xFFFFFF01 is true.
    FakeProgram p(L"high_true.exe", L"high_true.dll", L"returns_high_true");
    EXPECT_EQ(ConvertToPng(p.bmp, p.exe), p.png);
  }
}

TEST(ConvertToPng, FallsBackToTheBitmap) {
  struct Case { const char* what; const wchar_t* exe; const wchar_t* library; };
  const Case cases[] = {
    {"no library", L"none.exe", nullptr},
    {"library without the export", L"wrong_export.exe", L"wrong_export"},
    {"low byte zero (0x100)", L"returns_0x100.exe", L"returns_0x100"},
    {"access violation inside", L"faults.exe", L"faults"},
    {"division by zero inside", L"divides.exe", L"divides_by_zero"},
    {"C++ exception out of it", L"throws.exe", L"throws"},
    {"application's exception code", L"raises.exe", L"raises"},
    {"debugger break", L"breaks.exe", L"breaks"},
    {"stack overflow", L"recurses.exe", L"recurses"},
  };
  for (const Case& c : cases) {
    const std::wstring exe = c.exe;
    FakeProgram p(c.exe, (exe.substr(0, exe.size() - 4) + L".dll").c_str(), c.library);
    EXPECT_EQ(ConvertToPng(p.bmp, p.exe), p.bmp) << c.what;
    EXPECT_TRUE(fixture::FileExists(p.bmp)) << c.what;
  }
  {
    TempFolder folder;  // a folder where the library would be
    ASSERT_TRUE(::CreateDirectoryW((folder.File(L"dir.dll")).c_str(), nullptr));
    EXPECT_EQ(ConvertToPng(folder.File(L"x.bmp"), folder.File(L"dir.exe")), folder.File(L"x.bmp"));
    ::RemoveDirectoryW((folder.File(L"dir.dll")).c_str());
  }
  {
    // The library says it converted, but no PNG file is there (a folder stands where it would be).
    FakeProgram p(L"claims.exe", L"claims.dll", L"returns_high_true");
    ASSERT_TRUE(::CreateDirectoryW(p.png.c_str(), nullptr));
    EXPECT_EQ(ConvertToPng(p.bmp, p.exe), p.bmp);
    ::RemoveDirectoryW(p.png.c_str());
  }
}

TEST(ConvertToPng, KeepsWorkingAfterAFault) {
  for (int round = 0; round < 3; ++round) {
    FakeProgram bad(L"faults_again.exe", L"faults_again.dll", L"faults");
    EXPECT_EQ(ConvertToPng(bad.bmp, bad.exe), bad.bmp);
    FakeProgram good(L"good_again.exe", L"good_again.dll", L"real");
    EXPECT_EQ(ConvertToPng(good.bmp, good.exe), good.png);
  }
}

// Last in this program: the libraries that never return stay stuck in their worker for the rest of the process.
std::atomic<int> gTicks{0};
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++gTicks; }

TEST(ConvertToPngZ, GivesUpOnALibraryThatNeverReturnsWhileMessagesAreDispatched) {
  using namespace std::chrono;
  const TovEngineHost host;  // the tool window's waits, which dispatch messages
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, CountTick);
  ASSERT_NE(timer, 0u);
  for (const char* library : {"hangs", "hangs_in_dllmain"}) {
    SCOPED_TRACE(library);
    const std::wstring name(library, library + std::strlen(library));
    // Never destroyed: a library that a live thread is inside is not unloaded, nor its folder removed.
    auto* p = new FakeProgram((name + L".exe").c_str(), (name + L".dll").c_str(), name.c_str());
    gTicks = 0;
    const auto start = steady_clock::now();
    EXPECT_EQ(ConvertToPng(p->bmp, p->exe, milliseconds(600)), p->bmp);
    const auto waited = steady_clock::now() - start;
    EXPECT_GE(waited, milliseconds(500));
    EXPECT_LT(waited, seconds(5));
    EXPECT_GE(gTicks.load(), 5) << "messages were not dispatched while waiting";
    // While the stuck call lives the library is not called again, and nothing waits for it.
    const auto again = steady_clock::now();
    EXPECT_EQ(ConvertToPng(p->bmp, p->exe, milliseconds(600)), p->bmp);
    EXPECT_LT(steady_clock::now() - again, milliseconds(300));
    EXPECT_TRUE(ConversionStillRunning());
  }
  ::KillTimer(nullptr, timer);
  // The library stuck in its DllMain holds the loader lock, which an ordinary exit waits for: end as the program does.
  std::atexit([] {
    std::fflush(stdout);
    ::TerminateProcess(::GetCurrentProcess(), ::testing::UnitTest::GetInstance()->Passed() ? 0 : 1);
  });
}

}  // namespace
