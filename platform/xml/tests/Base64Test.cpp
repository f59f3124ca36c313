#include "platform/xml/Base64.h"

#include <gtest/gtest.h>

using platform::xml::Base64Decode;
using platform::xml::Base64Encode;

namespace {

TEST(Base64, EncodesWithPaddingAndNoLineBreaks) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode(std::string("a\0b\0c\0\0", 7)), "YQBiAGMAAA==");
  EXPECT_EQ(Base64Encode(std::string("\xff\xfe\xfd", 3)), "//79");
  std::string long_(200, 'x');
  EXPECT_EQ(Base64Encode(long_).find_first_of("\r\n"), std::string::npos);
}

TEST(Base64, DecodesIgnoringBlanksAndLineBreaksOnly) {
  struct Case {
    const char* text;
    bool ok;
    std::string bytes;
  } cases[] = {
      {"YQBiAGMAAA==", true, std::string("a\0b\0c\0\0", 7)},
      {"YQBi\r\nAGMA\nAA==\r\n", true, std::string("a\0b\0c\0\0", 7)},
      {" Zm9v\tZg== ", true, "foof"},
      {"Zm8", true, "fo"},  // unpadded tail
      {"", true, ""},
      {"Zm9v!", false, ""},
      {"Zm<9v", false, ""},
      {"Zg==Zg==", false, ""},  // data after the padding
      {"Zm9vZ", false, ""},     // one character over
      {"Zg===", false, ""},
      {"Zm9v=", false, ""},
  };
  for (const Case& k : cases) {
    std::string bytes = "unchanged";
    EXPECT_EQ(Base64Decode(k.text, &bytes), k.ok) << k.text;
    if (k.ok) {
      EXPECT_EQ(bytes, k.bytes) << k.text;
    }
  }
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  std::string back;
  ASSERT_TRUE(Base64Decode(Base64Encode(all), &back));
  EXPECT_EQ(back, all);
}

}  // namespace
