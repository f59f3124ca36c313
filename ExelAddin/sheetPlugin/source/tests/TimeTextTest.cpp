// The service's time texts as points in time, for the publish command's conflict check.
#include <gtest/gtest.h>

#include <optional>

#include "ExelAddin/sheetPlugin/source/TimeText.h"

namespace tavo::sheet::test {

TEST(TimeTextTest, TimesCompareAsPointsInTime) {
  const std::optional<std::int64_t> base = TimeValue("2009-06-02 13:05:07");
  ASSERT_TRUE(base);
  const struct {
    const char* text;
    std::optional<std::int64_t> seconds;  // from the base time
  } cases[] = {
      {"2009-06-02 13:05:08", 1},
      {"2009-06-02 13:05", -7},
      {"2009-06-03", 10 * 3600 + 54 * 60 + 53},
      {"6/2/2009 1:05:07 PM", 0},
      {"06/02/2009 13:05:07", 0},
      {"12/31/2008 11:59:59 pm", -(152 * 86400 + 13 * 3600 + 5 * 60 + 8)},
      {" 2009-06-02 13:05:07 ", 0},
      {"2009-02-29 00:00:00", std::nullopt},  // no such day
      {"2009-06-02 24:00:00", std::nullopt},
      {"13:05:07", std::nullopt},
      {"yesterday", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<std::int64_t> value = TimeValue(c.text);
    if (!c.seconds) {
      EXPECT_FALSE(value) << c.text;
    } else {
      ASSERT_TRUE(value) << c.text;
      EXPECT_EQ(*value - *base, *c.seconds) << c.text;
    }
  }
}

}  // namespace tavo::sheet::test
