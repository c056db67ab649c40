// The global hotkeys, sent as key input to a running session: each does its action, and a combination that another
// window holds already is reported once while the others still work.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/ovMainForm.h"
#include "support/InspectFixtures.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"

namespace {

using fixture::SkimletSession;

void Hotkey(WORD key) { fixture::KeyChord({VK_CONTROL, VK_MENU, VK_SHIFT, key}); }

TEST(Hotkeys, EachDoesItsActionAndOneHeldElsewhereIsReportedOnce) {
  fixture::SolidWindow holder(L"Holder", {0, 0, 20, 20}, RGB(0, 0, 0));
  ASSERT_TRUE(::RegisterHotKey(holder.get(), 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'R'));
  fixture::SolidWindow target(L"Hotkey target", {400, 300, 640, 460}, RGB(0, 128, 255));
  SkimletSession session;  // registers the hotkeys as start-up does
  TovFrmMain& main = session.Main();
  ASSERT_FALSE(session.tray.Balloons().empty());
  const std::wstring report = session.tray.Balloons().back();
  EXPECT_NE(report.find(L"Ctrl+Alt+Shift+R: "), std::wstring::npos) << report;
  EXPECT_EQ(report.find(L"+P"), std::wstring::npos) << report;
  const std::size_t balloons = session.tray.Balloons().size();

  fixture::PointerTo(fixture::CenterOf(target.get()));
  Hotkey('P');
  EXPECT_TRUE(SkimletSession::RunLoopUntil([&] {
    const std::wstring memo = fixture::MemoText(main);
    return memo.find(L"Hotkey target") != std::wstring::npos && memo.find(L"Color") != std::wstring::npos;
  })) << fixture::MemoText(main);
  Hotkey('T');
  EXPECT_TRUE(SkimletSession::RunLoopUntil(
      [&] { return (::GetWindowLongW(target.get(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
  EXPECT_EQ(session.tray.Balloons().size(), balloons) << "reported once";
  Hotkey('W');
  EXPECT_TRUE(SkimletSession::RunLoopUntil([&] { return !session.opened.empty(); }, 10000));
  ::UnregisterHotKey(holder.get(), 1);
}

}  // namespace
