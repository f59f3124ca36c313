// Replays a fuzz target's seed corpus under ctest: each file of the folder is one test case
// that goes through the target once. A target reports a broken property by aborting, which
// fails that case.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"

namespace {

std::vector<std::string> Seeds() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(TAVO_FUZZ_CORPUS))
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class FuzzSeed : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzSeed, PassesTheTarget) {
  std::ifstream in(std::filesystem::path(TAVO_FUZZ_CORPUS) / GetParam(), std::ios::binary);
  ASSERT_TRUE(in);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
}

std::string CaseName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name;
  for (char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(TAVO_FUZZ_TARGET, FuzzSeed, ::testing::ValuesIn(Seeds()), CaseName);

}  // namespace
