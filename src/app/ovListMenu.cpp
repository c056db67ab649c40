#include "app/ovListMenu.h"

#include "core/ShownText.h"

gui::MenuItem* TovListMenu::Add(const std::wstring& line, bool unique) {
  if (line.empty() || (unique && Shows(line))) return nullptr;
  if (shown_.size() < kMaxEntries) {
    shown_.insert(line);
    return &menu_->Add(core::ShownText(line, core::kMenuTextLength));
  }
  ++notShown_;
  if (!more_) {
    more_ = &menu_->Add(std::wstring());
    more_->SetEnabled(false);
  }
  more_->SetCaption(core::NotShownCaption(notShown_));
  return nullptr;
}
