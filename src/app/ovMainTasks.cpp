// The close-or-click task runner: on idle passes, now and then, the next task line in turn acts on its window.
#include "app/ovMainForm.h"
#include "core/TaskLine.h"
#include "engine/ovTaskAction.h"

namespace {

// One run in this many (on average) does work; the generator's fixed start makes the pace the same every run.
constexpr uint32_t kDrawRange = 7;

}  // namespace

void TovFrmMain::RunNextTask() {
  if (grab.Grabbing) return;
  if (FTaskDraw.Draw(kDrawRange) != 0) return;
  const auto count = static_cast<int64_t>(FTaskList.size());
  if (FTaskIndex < 0 || FTaskIndex >= count) FTaskIndex = 0;
  if (FTaskIndex >= count) return;

  const core::TaskItems task = core::TaskItems::FromLine(FTaskList[static_cast<std::size_t>(FTaskIndex)]);
  // Each run uses up one line, whether or not its window is found.
  ++FTaskIndex;
  ApplyTaskAction(FindTaskTarget(task));
}
