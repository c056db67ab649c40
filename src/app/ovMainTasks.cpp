// The close-or-click task runner: on idle passes, now and then, the next task line in turn acts on its window;
// beside it the trigger acts on task windows as they appear. Both log what they do, both stop while the tasks are
// paused, and "Test tasks" shows what each line would act on now.
#include <chrono>

#include "app/ovMainForm.h"
#include "core/TaskDescription.h"
#include "core/TaskTestLine.h"
#include "engine/ovTaskAction.h"
#include "engine/ovWindowNames.h"

namespace {

// One run in this many (on average) does work; the generator's fixed start makes the pace the same every run.
constexpr uint32_t kDrawRange = 7;

// The longest an idle pass searches for a task's window; a levelled search over a big tree goes on in later passes,
// so that the interface answers in between.
constexpr std::chrono::milliseconds kSearchBudget{30};

}  // namespace

void TovFrmMain::RunNextTask() {
  if (grab.Grabbing || TasksPaused()) return;
  if (!FTaskFinder) {
    if (FTaskDraw.Draw(kDrawRange) != 0) return;
    const auto count = static_cast<int64_t>(FTaskList.size());
    if (FTaskIndex < 0 || FTaskIndex >= count) FTaskIndex = 0;
    if (FTaskIndex >= count) return;

    FTaskFinderLine = static_cast<std::size_t>(FTaskIndex);
    // Each run uses up one line, whether or not its window is found.
    ++FTaskIndex;
    FTaskFinder.emplace(core::TaskDescription::Parse(FTaskList[FTaskFinderLine]));
  }
  if (!FTaskFinder->Continue(std::chrono::steady_clock::now() + kSearchBudget)) {
    // Unfinished: a message of our own brings the next idle pass soon, without waiting for the user or a timer.
    ::PostMessageW(Handle(), WM_NULL, 0, 0);
    return;
  }
  const TovTaskTarget target = FTaskFinder->Target();
  FTaskFinder.reset();
  FActionLog.Act(FTaskFinderLine, target);
}

void TovFrmMain::TasksChanged() {
  std::vector<core::TaskDescription> tasks;
  tasks.reserve(FTaskList.size());
  for (const std::wstring& line : FTaskList) tasks.push_back(core::TaskDescription::Parse(line));
  FTrigger.SetTasks(tasks);
}

void TovFrmMain::SetTriggerHooked(bool hooked) {
  if (hooked) {
    FTrigger.Install();
  } else {
    FTrigger.Uninstall();
  }
}

bool TovFrmMain::TasksPaused() const { return miPauseTasks && miPauseTasks->Checked(); }

void TovFrmMain::miPauseTasksClick() { ti.SetTip(TasksPaused() ? L"Skimlet (tasks paused)" : L"Skimlet"); }

void TovFrmMain::miTestTasksClick() {
  std::vector<std::wstring> lines;
  for (std::size_t i = 0; i < FTaskList.size(); ++i) {
    const TovTaskTarget target = FindTaskTarget(core::TaskDescription::Parse(FTaskList[i]));
    if (!target.Window) {
      lines.push_back(core::FormatTaskTestLine(i + 1, FTaskList[i], std::nullopt, {}));
      continue;
    }
    const auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(target.Window));
    if (target.IsElement()) {
      // The element is named in place of the title; an element that is not there now is no target.
      const TovElementHit hit = FindTaskElement(target.Window, target.ElementTask(), false, kTaskElementLimits);
      const bool found = hit.status == TovElementStatus::Found;
      lines.push_back(core::FormatTaskTestLine(i + 1, FTaskList[i], found ? std::optional(handle) : std::nullopt,
                                               hit.element.name));
      continue;
    }
    lines.push_back(core::FormatTaskTestLine(i + 1, FTaskList[i], handle, StoredWindowTitle(target.Window)));
  }
  mm.SetLines(lines);
}
