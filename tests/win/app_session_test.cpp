#include <gtest/gtest.h>

#include "app/ovMainForm.h"
#include "support/SkimletSession.h"

namespace {

TEST(SkimletSession, StartsAndStopsTwiceInOneProcess) {
  for (int i = 0; i < 2; ++i) {
    fixture::SkimletSession session;
    EXPECT_TRUE(IsWindowVisible(session.Main().Handle()));
    fixture::SkimletSession::RunIdlePasses(3);
  }
}

}  // namespace
