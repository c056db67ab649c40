// Font sizes in the memo follow the program's real DPI (run in the 144-DPI pass).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/ovMainForm.h"
#include "support/InspectFixtures.h"
#include "support/SkimletSession.h"

namespace {

TEST(InspectFontAtDpi, PointSizesUseTheProgramsPixelsPerInch) {
  fixture::SkimletSession session;
  TovFrmMain& main = session.Main();
  if (main.Dpi() != 144) GTEST_SKIP() << "the display runs at " << main.Dpi() << " DPI, not 144";
  fixture::SolidWindow host(L"Host", {100, 100, 400, 300}, RGB(90, 90, 200));
  struct Case {
    int height;
    const wchar_t* text;
  };
  const Case cases[] = {{-24, L"Tahoma, 12pt"}, {-16, L"Tahoma, 8pt"}, {-32, L"Tahoma, 16pt"}};
  for (const Case& c : cases) {
    gui::UniqueFont font = fixture::MakeFont(L"Tahoma", c.height, 400);
    HWND button = fixture::AddChild(host.get(), L"Button", L"Press", 1, {4, 4, 200, 40});
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    main.ShowInfo(button);
    EXPECT_EQ(fixture::MemoLines(main).back(), std::wstring(L"Font =") + c.text);
    ::DestroyWindow(button);
  }
}

}  // namespace
