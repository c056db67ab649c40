#pragma once
// Drags with real mouse input: the main window's picker onto a window, and a region on the overlay.
#include <windows.h>

#include <functional>
#include <vector>

#include "support/TimedScript.h"

class TovFrmMain;

namespace fixture {

// The picker, step by step. Each step runs the program's loop until the picker has followed it, and fails the test
// fatally when it does not: the press on the picker, a move during the drag that picks `expected`, the release;
// and all three as one drag to the centre of `over`.
void PressPicker(const TovFrmMain& main);
void MovePickerTo(const TovFrmMain& main, POINT screen, HWND expected);
void ReleasePicker(const TovFrmMain& main);
void DragPickerTo(const TovFrmMain& main, HWND over);

// Adds to `script` a drag on the region overlay once it is up: the press at `from`, each move of `path` once the
// overlay has followed the one before, `during` (when given) after the last move, then the release. The script is
// for a loop that shows the overlay (a region snapshot, or the overlay's own selection).
void ScriptRegionDrag(TimedScript& script, POINT from, const std::vector<POINT>& path,
                      const std::function<void()>& during = {});
// Closes the overlay: what a script does when it is stuck.
void CloseOverlay();

}  // namespace fixture
