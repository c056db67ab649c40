// The close-or-click task runner: on idle passes, now and then, the next task line in turn acts on its window.
#include <chrono>

#include "app/ovMainForm.h"
#include "core/TaskLine.h"
#include "engine/ovTaskAction.h"

namespace {

// One run in this many (on average) does work; the generator's fixed start makes the pace the same every run.
constexpr uint32_t kDrawRange = 7;

// The longest an idle pass searches for a task's window; a levelled search over a big tree goes on in later passes,
// so that the interface answers in between.
constexpr std::chrono::milliseconds kSearchBudget{30};

}  // namespace

void TovFrmMain::RunNextTask() {
  if (grab.Grabbing) return;
  if (!FTaskFinder) {
    if (FTaskDraw.Draw(kDrawRange) != 0) return;
    const auto count = static_cast<int64_t>(FTaskList.size());
    if (FTaskIndex < 0 || FTaskIndex >= count) FTaskIndex = 0;
    if (FTaskIndex >= count) return;

    const core::TaskItems task = core::TaskItems::FromLine(FTaskList[static_cast<std::size_t>(FTaskIndex)]);
    // Each run uses up one line, whether or not its window is found.
    ++FTaskIndex;
    FTaskFinder.emplace(task);
  }
  if (!FTaskFinder->Continue(std::chrono::steady_clock::now() + kSearchBudget)) {
    // Unfinished: a message of our own brings the next idle pass soon, without waiting for the user or a timer.
    ::PostMessageW(Handle(), WM_NULL, 0, 0);
    return;
  }
  ApplyTaskAction(FTaskFinder->Target());
  FTaskFinder.reset();
}
