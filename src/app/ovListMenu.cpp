#include "app/ovListMenu.h"

#include "core/ShownText.h"

gui::MenuItem* TovListMenu::Add(const std::wstring& line, bool unique, bool showCount) {
  if (line.empty() || (unique && Shows(line))) return nullptr;
  if (shown_.size() < kMaxEntries) {
    shown_.insert(line);
    return &menu_->Add(core::ShownText(line, core::kMenuTextLength));
  }
  ++notShown_;
  if (showCount) ShowCount();
  return nullptr;
}

void TovListMenu::ShowCount() {
  if (notShown_ == 0) return;
  if (!more_) {
    more_ = &menu_->Add(std::wstring());
    more_->SetEnabled(false);
  }
  more_->SetCaption(core::NotShownCaption(notShown_));
}
