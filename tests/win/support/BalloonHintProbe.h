#pragma once
// The tests' view into balloon hints: the title handed to the tooltip last (not every comctl32 answers
// TTM_GETTITLE). The balloon hint names this class its friend.
#include <string>

#include "gui/BalloonHint.h"

namespace gui {

class BalloonHintProbe {
 public:
  static const std::wstring& ShownTitle(const BalloonHint& hints) { return hints.shownTitle_; }
};

}  // namespace gui
