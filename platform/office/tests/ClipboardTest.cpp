#include "platform/office/Clipboard.h"

#include <gtest/gtest.h>

namespace cb = platform::office::clipboard;

TEST(Clipboard, KeepsFormatsUntilCleared) {
  cb::Clear();
  EXPECT_FALSE(cb::HasFormat(cb::kTextFormat));
  cb::SetData(cb::kTextFormat, "hello");
  cb::SetData("Story", "x");
  EXPECT_EQ(cb::GetData(cb::kTextFormat), "hello");
  EXPECT_EQ(cb::Formats().size(), 2u);
  cb::SetData(cb::kTextFormat, "again");
  EXPECT_EQ(cb::GetData(cb::kTextFormat), "again");
  cb::Clear();
  EXPECT_EQ(cb::GetData("Story"), std::nullopt);
  EXPECT_TRUE(cb::Formats().empty());
}
