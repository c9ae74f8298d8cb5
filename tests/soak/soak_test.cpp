// The soak run's verdict: memory that grows refresh after refresh past the warm-up fails the run; the same run
// without the growth passes.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <vector>

#include "soak/soak.h"

namespace skimlet::soak {
namespace {

TEST(Soak, GrowthAfterTheWarmUpFailsTheRunAndItsAbsencePassesIt) {
  SoakOptions o;
  o.Hours = 3;
  o.AccessPoints = 40;
  o.RefreshSeconds = 30;

  std::ostringstream clean;
  EXPECT_EQ(RunSoak(o, {}, clean), 0) << clean.str();

  // 16 KiB kept and written on every refresh: about 2 MiB an hour.
  std::vector<std::unique_ptr<char[]>> kept;
  SoakHooks hooks;
  hooks.AfterRefresh = [&](TWLANNetworkList&) {
    kept.push_back(std::make_unique<char[]>(16 << 10));
    for (size_t i = 0; i < (16 << 10); i += 512) kept.back()[i] = 1;
  };
  std::ostringstream leaking;
  EXPECT_EQ(RunSoak(o, hooks, leaking), 1) << leaking.str();
  EXPECT_NE(leaking.str().find("FAILED: memory grew"), std::string::npos);
  // One row per simulated hour.
  EXPECT_NE(leaking.str().find("\n    3 "), std::string::npos) << leaking.str();
}

}  // namespace
}  // namespace skimlet::soak
