#include "platform/codepage/CodePage.h"

#include <gtest/gtest.h>

#include "platform/environment/TestSupport.h"
#include "platform/registry/Registry.h"

using namespace platform::codepage;

namespace {

class CodePage : public ::testing::Test {
 protected:
  platform::environment::TempEnvironment env;
};

TEST_F(CodePage, EveryByteOf1252MapsToACharacterAndBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string utf8 = AnsiToUtf8(all, 1252);
  EXPECT_EQ(Utf8ToAnsi(utf8, 1252), all);
  std::u16string units = Utf8ToUtf16(utf8);
  ASSERT_EQ(units.size(), 256u);
  EXPECT_EQ(units[0x80], u'\u20AC');
  EXPECT_EQ(units[0xFC], u'\u00FC');
  for (int unassigned : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(units[unassigned], unassigned);
}

TEST_F(CodePage, TextRoundTripsThroughEachSupportedPage) {
  struct Case {
    std::uint32_t page;
    const char* text;
    std::string bytes;
  } cases[] = {
      {1252, "Müller €", "M\xFCller \x80"},
      {1250, "Łódź", "\xA3\xF3\x64\x9F"},
      {936, "中文", "\xD6\xD0\xCE\xC4"},
      {932, "日本", "\x93\xFA\x96\x7B"},
      {949, "한국", "\xC7\xD1\xB1\xB9"},
      {950, "中文", "\xA4\xA4\xA4\xE5"},
      {CP_UTF8, "ü", "\xC3\xBC"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(Utf8ToAnsi(k.text, k.page), k.bytes) << k.page;
    EXPECT_EQ(AnsiToUtf8(k.bytes, k.page), k.text) << k.page;
    EXPECT_TRUE(Representable(k.text, k.page)) << k.page;
  }
}

TEST_F(CodePage, WhatDoesNotConvertIsMarked) {
  EXPECT_EQ(Utf8ToAnsi("a中b", 1252), "a?b");
  EXPECT_FALSE(Representable("a中b", 1252));
  EXPECT_EQ(Utf8ToAnsi("x😀y", 936), "x?y");
  EXPECT_EQ(Utf8ToAnsi("a\xFF" "b", 936), "a?b");          // not UTF-8 at all
  EXPECT_EQ(AnsiToUtf8("a\x81", 936), "a\xEF\xBF\xBD");     // a lead byte with nothing after it
  EXPECT_EQ(AnsiToUtf8("\xC3(", CP_UTF8), "\xEF\xBF\xBD(");
  EXPECT_THROW(Utf8ToAnsi("x", 12345), platform::RuntimeError);
}

// 932 as the system has it writes some characters as the code of a look-alike, without an
// error; they have no representation, as they would not read back.
TEST_F(CodePage, CharactersWrittenAsALookAlikeAreNotRepresentable) {
  for (const char* lookAlike : {"¥", "〜", "−", "—", "‖", "¢", "£", "¬", "価格¥1000"})
    EXPECT_FALSE(Representable(lookAlike, 932)) << lookAlike;
  for (const char* own : {"\\", "～", "－", "―", "∥", "￥", "ﾃｽﾄ", "価格\\1000"})
    EXPECT_TRUE(Representable(own, 932)) << own;
  EXPECT_TRUE(Representable("说明", 936) && Representable("Müller", 1252));
}

// Charset names as answers and pages give them, and the code page each is read in.
TEST_F(CodePage, CharsetNamesGiveTheirCodePages) {
  const struct {
    const char* name;
    std::uint32_t page;
  } names[] = {
      {"utf-8", CP_UTF8}, {" UTF8 ", CP_UTF8}, {"us-ascii", CP_UTF8}, {"ISO-8859-1", 1252}, {"\"windows-1252\"", 1252},
      {"Shift_JIS", 932}, {"'windows-31j'", 932}, {"GBK", 936},       {"gb2312", 936},       {"koi8-r", 0},
      {"", 0},
  };
  for (const auto& n : names) EXPECT_EQ(CodePageOfCharset(n.name), n.page) << n.name;
  EXPECT_EQ(CodePageOfContentType("text/html; charset=gbk"), 936u);
  EXPECT_EQ(CodePageOfContentType("text/xml;Charset=\"ISO-8859-1\"; q=1"), 1252u);
  EXPECT_EQ(CodePageOfContentType("text/html"), 0u);
}

TEST_F(CodePage, WinApiShapesReportLengthsAndConvert) {
  // Length -1 includes the terminating zero, in both directions.
  const char* ansi = "M\xFCller";
  EXPECT_EQ(MultiByteToWideChar(1252, 0, ansi, -1, nullptr, 0), 7);
  char16_t wide[8] = {};
  EXPECT_EQ(MultiByteToWideChar(1252, 0, ansi, -1, wide, 8), 7);
  EXPECT_EQ(std::u16string(wide), u"Müller");
  EXPECT_EQ(MultiByteToWideChar(1252, 0, ansi, -1, wide, 3), 0);  // too small
  EXPECT_EQ(MultiByteToWideChar(1252, 0, ansi, 0, wide, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(4242, 0, ansi, -1, wide, 8), 0);
  EXPECT_EQ(WideCharToMultiByte(936, 0, u"中文", -1, nullptr, 0), 5);
  char bytes[8] = {};
  EXPECT_EQ(WideCharToMultiByte(936, 0, u"中文", -1, bytes, 8), 5);
  EXPECT_EQ(std::string(bytes), "\xD6\xD0\xCE\xC4");
  // The spreadsheet's re-decoding of names: UTF-8 read byte by byte in 1252, back to text.
  EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi("MÃ¼ller", CP_ACP), CP_UTF8), "Müller");
}

TEST_F(CodePage, TheSystemPageIsAMachineSetting) {
  EXPECT_EQ(GetACP(), 1252u);
  platform::registry::SetLocalMachineWritable(false);  // the add-ins' lock-down does not cover it
  SetACP(936);
  EXPECT_EQ(GetACP(), 936u);
  EXPECT_EQ(Utf8ToAnsi("中", CP_ACP), "\xD6\xD0");
  platform::registry::Value stored;
  ASSERT_TRUE(platform::registry::ReadValue(platform::registry::HKEY_LOCAL_MACHINE,
                                            "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP", &stored));
  EXPECT_EQ(stored.bytes, std::string("936\0", 4));
  EXPECT_THROW(SetACP(4242), platform::RuntimeError);
  {
    platform::environment::TempEnvironment other;
    EXPECT_EQ(GetACP(), 1252u);
    // A setting that is no code page leaves the default.
    platform::registry::WriteSystemValue(platform::registry::HKEY_LOCAL_MACHINE,
                                         "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP",
                                         platform::registry::StringValue("abc"));
  }
  EXPECT_EQ(GetACP(), 936u);
}

TEST_F(CodePage, Utf16Forms) {
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a😀ü")), "a😀ü");
  EXPECT_EQ(Utf8ToUtf16("😀").size(), 2u);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");  // lone surrogate
  EXPECT_EQ(Utf8ToUtf16LeBytes("ab"), std::string("a\0b\0", 4));
  EXPECT_EQ(Utf16LeBytesToUtf8(std::string("a\0b\0\0", 5)), "ab");  // the odd final byte is dropped
  EXPECT_EQ(Utf16LeBytesToUtf8(std::string("\x60\x4F", 2)), "你");
}

}  // namespace
