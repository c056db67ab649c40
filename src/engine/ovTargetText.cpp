#include "engine/ovTargetText.h"

#include <cstdint>

#include "core/InfoText.h"
#include "core/TaskDescription.h"
#include "engine/ovWindowFacts.h"

std::vector<std::wstring> TargetInfoLines(const TovWinUtils& target) {
  core::TargetInfo info;
  info.handle = WindowHandleBits(target.Wnd);
  info.id = target.WndId;
  info.title = target.WndTitle;
  info.className = target.WndClass;
  info.style = target.WndStyle;
  info.exStyle = target.WndExStyle;
  info.fontText = target.FontText;
  return core::BuildInfoLines(info);
}

TovTaskLine MakeTaskLine(const TovWinUtils& target) {
  TovTaskLine made;
  core::TaskDescription task;
  task.name = target.WndTitle;
  task.className = target.WndClass;

  const HWND parent = target.IsChild ? ::GetParent(target.Wnd) : nullptr;
  if (parent) {
    int32_t between = 0;  // the windows strictly between the target and its topmost ancestor
    made.Ancestor = TopmostAncestor(parent, &between);
    TovWinUtils ancestor;
    ancestor.SetWnd(made.Ancestor);
    task.parentName = ancestor.WndTitle;
    task.parentClass = ancestor.WndClass;
    task.levels = between;
  }
  made.Line = task.ToLine();
  return made;
}
