#include "platform/core/Text.h"

#include <gtest/gtest.h>

using namespace platform::text;

TEST(Text, TrimRemovesBlanksOnly) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\tx\t"), "\tx\t");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
}

TEST(Text, ReplaceAllWithoutRescanning) {
  EXPECT_EQ(Replace("a.doc.doc", ".doc", ""), "a");
  EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace("a.DOC", ".doc", ""), "a.DOC");
  EXPECT_EQ(Replace("a.DOC", ".doc", "", Compare::Text), "a");
}

TEST(Text, CaseInsensitiveSearchAndCompare) {
  EXPECT_TRUE(ContainsText("Quarterly report", "REPORT"));
  EXPECT_TRUE(ContainsText("anything", ""));
  EXPECT_TRUE(EqualsText("M\xC3\xBCller", "M\xC3\x9CLLER"));
  EXPECT_FALSE(EqualsText("abc", "abd"));
  EXPECT_EQ(InStr("a.b.c", "."), 2u);
  EXPECT_EQ(InStrRev("a.b.c", "."), 4u);
  EXPECT_EQ(InStr("abc", "x"), 0u);
  EXPECT_EQ(InStr("xAbc", "ab", Compare::Text), 2u);
}

TEST(Text, ValReadsTheLeadingNumber) {
  struct Case { const char* text; double value; } cases[] = {
      {"3", 3}, {" 4.5abc", 4.5}, {"-2", -2}, {"abc", 0}, {"", 0}, {"1e3", 1000}, {"7e", 7}, {".5", 0.5}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.value) << c.text;
}

TEST(Text, SplitAndReverse) {
  EXPECT_EQ(Split("", "\\").size(), 0u);
  EXPECT_EQ(Split("\\u0041\\u0042", "\\"), (std::vector<std::string>{"", "u0041", "u0042"}));
  EXPECT_EQ(Reverse("name.doc"), "cod.eman");
  EXPECT_EQ(Reverse("\xC3\xBC" "a"), "a\xC3\xBC");
}
