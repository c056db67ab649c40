#include "gui/IconSet.h"

namespace gui {

bool IconSet::AddFromResource(HMODULE module, const std::wstring& name) {
  if (!module) module = ::GetModuleHandleW(nullptr);
  // No LR_SHARED: the list destroys what it loads.
  HANDLE image = ::LoadImageW(module, name.c_str(), IMAGE_ICON, size_, size_, LR_DEFAULTCOLOR);
  return Add(UniqueIcon(static_cast<HICON>(image)));
}

bool IconSet::Add(UniqueIcon icon) {
  if (!icon) return false;
  icons_.push_back(std::move(icon));
  return true;
}

std::vector<HICON> IconSet::Icons() const {
  std::vector<HICON> icons;
  icons.reserve(icons_.size());
  for (const auto& icon : icons_) icons.push_back(icon.get());
  return icons;
}

}  // namespace gui
