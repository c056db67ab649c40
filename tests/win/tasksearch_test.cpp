#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <vector>

#include "gui/Handles.h"
#include "engine/ovTaskSearch.h"
#include "support/NestedTaskSearch.h"
#include "support/WindowClasses.h"

namespace {

using Window = fixture::OwnedWindow;
const wchar_t* const kClasses[] = {L"SkimletTreeA", L"SkimletTreeB"};
const wchar_t* const kTitles[] = {L"", L"OK", L"Cancel"};

void RegisterClasses() {
  for (const wchar_t* name : kClasses) ASSERT_TRUE(fixture::RegisterTestClass(name));
}

Window MakeTop() {
  RegisterClasses();
  // Hidden: the search sees hidden windows all the same, and the display stays untouched.
  return Window(::CreateWindowExW(0, kClasses[0], L"tree", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr));
}

HWND AddChild(HWND parent, const wchar_t* cls, const wchar_t* title, DWORD extraStyle = WS_VISIBLE) {
  return ::CreateWindowExW(0, cls, title, WS_CHILD | extraStyle, 0, 0, 50, 20, parent, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

TEST(FindTaskWindow, FindsTheFirstMatchBelowTheLevelInEnumerationOrder) {
  Window top = MakeTop();
  ASSERT_TRUE(top);
  const wchar_t* A = kClasses[0];
  const wchar_t* B = kClasses[1];
  // top
  //   p1 (A)
  //     q1 (A)
  //       r1 (A)
  //         deep (B "OK")    child of a level-3 window
  //     shallow1 (B "OK")    child of a level-1 window
  //   p2 (A)
  //     q2 (A)
  //       mid (B "OK")       child of a level-2 window
  //   direct (B "OK", hidden and disabled)
  HWND p1 = AddChild(top.get(), A, L"");
  HWND q1 = AddChild(p1, A, L"");
  HWND r1 = AddChild(q1, A, L"");
  HWND deep = AddChild(r1, B, L"OK");
  HWND shallow1 = AddChild(p1, B, L"OK");
  HWND p2 = AddChild(top.get(), A, L"");
  HWND q2 = AddChild(p2, A, L"");
  HWND mid = AddChild(q2, B, L"OK");
  HWND direct = AddChild(top.get(), B, L"OK", WS_DISABLED);
  ASSERT_TRUE(deep && shallow1 && mid && direct);

  struct Case { int32_t levels; const wchar_t* cls; const wchar_t* title; HWND want; };
  const Case cases[] = {
      {0, B, L"OK", direct},   // hidden and disabled windows count
      {1, B, L"OK", shallow1},  // p1 is the first window one level down and has it
      {2, B, L"OK", deep},      // r1 comes before q2 in enumeration order, though deeper
      {3, B, L"OK", deep},
      {4, B, L"OK", nullptr},  // nothing lies five levels down
      {-1, B, L"OK", nullptr},
      {1, B, L"", nullptr},    // an empty title asks for an empty title
      {0, A, L"", p1},
      {1, A, L"", q1},
      {2, A, L"", r1},
      {3, A, L"", nullptr},
      {1, B, L"Cancel", nullptr},
      {1, L"NoSuchClassAnywhere", L"OK", nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindTaskWindow(top.get(), c.levels, c.cls, c.title), c.want) << "levels " << c.levels;
    EXPECT_EQ(fixture::NestedTaskSearch(top.get(), c.levels, c.cls, c.title), c.want) << "nested, levels " << c.levels;
  }
  // Without p1's subtree the level-2 search reaches q2.
  ::DestroyWindow(p1);
  EXPECT_EQ(FindTaskWindow(top.get(), 2, B, L"OK"), mid);
  EXPECT_EQ(fixture::NestedTaskSearch(top.get(), 2, B, L"OK"), mid);
}

TEST(FindTaskWindow, AgreesWithTheNestedEnumerationOnRandomTrees) {
  std::mt19937 random(20261208);
  int compared = 0, foundDeep = 0;
  for (int tree = 0; tree < 40; ++tree) {
    Window top = MakeTop();
    ASSERT_TRUE(top);
    // The reference search costs about the number of windows to the power of the level count, so the trees stay
    // small: up to 40 windows, at most 7 levels deep.
    constexpr int kMaxDepth = 7;
    std::vector<HWND> nodes{top.get()};
    std::vector<int> depth{0};
    const int count = 10 + static_cast<int>(random() % 31);
    for (int i = 0; i < count; ++i) {
      // Mostly under recent windows, so that trees grow deep as well as wide.
      std::size_t pick = nodes.size() - 1 - random() % std::min<std::size_t>(nodes.size(), 1 + random() % 6);
      if (random() % 4 == 0) pick = random() % nodes.size();
      while (depth[pick] >= kMaxDepth) pick = random() % nodes.size();
      HWND parent = nodes[pick];
      DWORD style = 0;
      if (random() % 4) style |= WS_VISIBLE;
      if (random() % 5 == 0) style |= WS_DISABLED;
      HWND child = AddChild(parent, kClasses[random() % 2], kTitles[random() % 3], style);
      ASSERT_NE(child, nullptr);
      nodes.push_back(child);
      depth.push_back(depth[pick] + 1);
    }
    for (int32_t levels = -1; levels <= 4; ++levels) {
      for (const wchar_t* cls : kClasses) {
        for (const wchar_t* title : kTitles) {
          const HWND want = fixture::NestedTaskSearch(top.get(), levels, cls, title);
          EXPECT_EQ(FindTaskWindow(top.get(), levels, cls, title), want)
              << "tree " << tree << " levels " << levels << " class " << cls << " title '" << title << "'";
          // Resumed after every window (a deadline always past), the walk finds the same window.
          TovTaskWindowSearch stepped(top.get(), levels, cls, title);
          int calls = 1;
          while (!stepped.Continue(std::chrono::steady_clock::time_point::min())) ++calls;
          EXPECT_EQ(stepped.Found(), want) << "stepped, tree " << tree << " levels " << levels;
          if (!want && levels >= 1) {
            EXPECT_GE(calls, count) << "a call went on past its deadline";
          }
          ++compared;
          if (want && levels >= 2) ++foundDeep;
        }
      }
    }
  }
  EXPECT_GT(foundDeep, 50) << "the trees are too shallow to test the deeper levels";
  EXPECT_EQ(compared, 40 * 6 * 2 * 3);
}

}  // namespace
