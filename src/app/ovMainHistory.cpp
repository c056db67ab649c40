// The History submenu: the windows worked on during this run.
#include <cstdint>
#include <memory>

#include "app/ovMainForm.h"
#include "core/InfoText.h"

void TovFrmMain::AddHistory() {
  if (!FUtils.IsValid()) return;
  if (grab.Grabbing) return;  // windows passed over during a pick are not "worked on"
  const LONG_PTR handle = reinterpret_cast<LONG_PTR>(FUtils.Wnd);
  const std::size_t first = static_cast<std::size_t>(miHistory->Tag()) + 1;
  for (std::size_t i = first; i < miHistory->Count(); ++i) {
    if (miHistory->Item(i).Tag() == handle) return;
  }
  const auto sequence = static_cast<int32_t>(static_cast<LONG_PTR>(miHistory->Count()) - miHistory->Tag());
  auto entry = std::make_unique<gui::MenuItem>(core::FormatHistoryCaption(
      sequence, static_cast<uint32_t>(static_cast<uintptr_t>(handle)), FUtils.WndTitle, FUtils.WndClass));
  entry->SetTag(handle);
  entry->OnClick = [this](gui::MenuItem& item) { HistoryItemClick(item); };
  miHistory->Add(std::move(entry));
}

void TovFrmMain::HistoryItemClick(gui::MenuItem& item) {
  // The handle is not checked: a window that has gone is shown as the window system reports it.
  if (item.Tag() != 0) ShowInfo(reinterpret_cast<HWND>(item.Tag()));
}
