#include "support/Drags.h"

#include <gtest/gtest.h>

#include "app/ovEmpty.h"
#include "app/ovMainForm.h"
#include "support/Backdrop.h"
#include "support/Poll.h"
#include "support/SkimletSession.h"

namespace fixture {

void PressPicker(const TovFrmMain& main) {
  MouseDownAt(CenterOf(main.ControlHandle(L"grab")));
  ASSERT_TRUE(SkimletSession::RunLoopUntil([&] { return main.Picker().Grabbing; })) << "the drag did not start";
}

void MovePickerTo(const TovFrmMain& main, POINT screen, HWND expected) {
  MoveMouseTo(screen);
  ASSERT_TRUE(SkimletSession::RunLoopUntil([&] { return main.Picker().GrabWnd == expected; }))
      << "picked " << main.Picker().GrabWnd << " instead of " << expected;
}

void ReleasePicker(const TovFrmMain& main) {
  MouseUp();
  ASSERT_TRUE(SkimletSession::RunLoopUntil([&] { return !main.Picker().Grabbing; })) << "the drag did not end";
}

void DragPickerTo(const TovFrmMain& main, HWND over) {
  ASSERT_NO_FATAL_FAILURE(PressPicker(main));
  ASSERT_NO_FATAL_FAILURE(MovePickerTo(main, CenterOf(over), over));
  ASSERT_NO_FATAL_FAILURE(ReleasePicker(main));
}

void ScriptRegionDrag(TimedScript& script, POINT from, const std::vector<POINT>& path,
                      const std::function<void()>& during) {
  script.Then([from] { PointerTo(from); }, OverlayUp).Then([] { LeftButton(true); });
  for (const POINT point : path) {
    script.Then([point] { PointerTo(point); }, [] { return ovEmpty->Dragging; });
    script.Then({}, [point] { return ovEmpty->DragRect.right == point.x && ovEmpty->DragRect.bottom == point.y; });
  }
  if (during) script.Then(during);
  script.Then([] { LeftButton(false); });
}

void CloseOverlay() {
  if (ovEmpty) ::PostMessageW(ovEmpty->Handle(), WM_CLOSE, 0, 0);
}

}  // namespace fixture
