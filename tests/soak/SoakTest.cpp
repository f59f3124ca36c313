// Days of work from fixed seeds, as CI runs them, and from the seeds scripts/soak asks for
// (TAVO_SOAK_SEEDS, a comma-separated list, and TAVO_SOAK_STEPS, the user steps per kind of
// host).
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/soak/Day.h"

namespace tavo::test::soak {
namespace {

// Steps per kind of host on a fixed seed: each seed's day takes well under a minute here, and
// a few minutes on a loaded machine. The sanitizers make every step several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kFixedSteps = 25;
#else
constexpr int kFixedSteps = 150;
#endif

std::vector<unsigned> AskedSeeds() {
  std::vector<unsigned> seeds;
  const char* list = std::getenv("TAVO_SOAK_SEEDS");
  std::istringstream in(list ? list : "");
  for (std::string seed; std::getline(in, seed, ',');)
    if (!seed.empty()) seeds.push_back(static_cast<unsigned>(std::stoul(seed)));
  return seeds;
}

int AskedSteps() {
  const char* steps = std::getenv("TAVO_SOAK_STEPS");
  return steps ? std::atoi(steps) : kFixedSteps;
}

class Soak : public DayOfWork, public ::testing::WithParamInterface<unsigned> {};

class AskedSoak : public Soak {};

TEST_P(Soak, ADayOfWorkKeepsEveryEditAndTheStateSound) { Run(GetParam(), kFixedSteps); }
TEST_P(AskedSoak, ADayOfWorkKeepsEveryEditAndTheStateSound) { Run(GetParam(), AskedSteps()); }

std::string SeedName(const ::testing::TestParamInfo<unsigned>& info) { return "seed" + std::to_string(info.param); }

INSTANTIATE_TEST_SUITE_P(Fixed, Soak, ::testing::Values(20101u, 20102u, 20103u), SeedName);
INSTANTIATE_TEST_SUITE_P(Asked, AskedSoak, ::testing::ValuesIn(AskedSeeds()), SeedName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(AskedSoak);

}  // namespace
}  // namespace tavo::test::soak
