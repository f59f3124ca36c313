#include "platform/profile/Profile.h"

#include <gtest/gtest.h>

#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"

using namespace platform;
using platform::profile::GetPrivateProfileStringA;

namespace {

const std::string kIni = "C:\\tavo\\Language\\chinese.ini";

std::string Read(std::string_view section, std::string_view key, std::string_view fallback = "",
                 std::uint32_t size = 260, const std::string& file = kIni) {
  std::string buffer(size, '\x7f');
  std::uint32_t n = GetPrivateProfileStringA(section, key, fallback, buffer.data(), size, file);
  EXPECT_EQ(buffer[n], '\0');
  return buffer.substr(0, n);
}

class Profile : public ::testing::Test {
 protected:
  void SetUp() override {
    files::CreateFolder("C:\\tavo");
    files::CreateFolder("C:\\tavo\\Language");
    files::WriteAllBytes(kIni,
                         "\xEF\xBB\xBF[WRITER_Messages]\r\n"
                         "gMsg01=\\u4F60\\u597D\r\n"
                         "  gMsg02  =   spaced out   \r\n"
                         "gMsg03=\"quoted \"\r\n"
                         "gMsg04='single'\r\n"
                         "gMsg05=\"unbalanced\r\n"
                         "gMsg06=\r\n"
                         "gMsg07=a=b\n"
                         "gMsg01=second copy\r\n"
                         "[ WRITER_frmlicense ]\r\n"
                         "gfrmlicense_Label1=licence\r\n"
                         "long=" + std::string(300, 'x') + "\r\n"
                         "[writer_messages]\r\n"
                         "gMsg08=in a later section of the same name\r\n");
  }
  environment::TempEnvironment env;
};

TEST_F(Profile, ReadsValuesWithTheReadersRules) {
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"WRITER_Messages", "gMsg01", "\\u4F60\\u597D"},  // the first of two, and the mark skipped
      {"writer_MESSAGES", "GMSG01", "\\u4F60\\u597D"},  // names ignore case
      {"WRITER_Messages", "gMsg02", "spaced out"},
      {"WRITER_Messages", "gMsg03", "quoted "},
      {"WRITER_Messages", "gMsg04", "single"},
      {"WRITER_Messages", "gMsg05", "\"unbalanced"},
      {"WRITER_Messages", "gMsg06", ""},
      {"WRITER_Messages", "gMsg07", "a=b"},
      {"WRITER_frmlicense", "gfrmlicense_Label1 ", "licence"},  // request names are trimmed too
      {" WRITER_frmlicense", "gfrmlicense_Label1", "licence"},
  };
  for (const Case& k : cases) EXPECT_EQ(Read(k.section, k.key, "dflt"), k.expected) << k.section << "/" << k.key;
}

TEST_F(Profile, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Read("WRITER_Messages", "gMsg99", "Sign &In  "), "Sign &In");  // trailing blanks go
  EXPECT_EQ(Read("NoSection", "gMsg01", " keep leading"), " keep leading");
  EXPECT_EQ(Read("WRITER_Messages", "gMsg08", ""), "");  // only the first section of a name counts
  EXPECT_EQ(Read("WRITER_Messages", "gMsg01", "d", 260, "C:\\tavo\\Language\\missing.ini"), "d");
  EXPECT_EQ(Read("WRITER_Messages", "gMsg01", "d", 260, ""), "d");
}

TEST_F(Profile, CopiesAtMostOneLessThanTheBuffer) {
  EXPECT_EQ(Read("WRITER_frmlicense", "long").size(), 259u);
  EXPECT_EQ(Read("WRITER_Messages", "gMsg02", "", 4), "spa");
  EXPECT_EQ(Read("WRITER_Messages", "gMsg99", "default", 4), "def");
  EXPECT_EQ(GetPrivateProfileStringA("WRITER_Messages", "gMsg02", "", nullptr, 0, kIni), 0u);
}

TEST_F(Profile, ReadsUtf16FilesAsAnsi) {
  files::WriteAllBytes("C:\\tavo\\wide.ini", std::string("\xFF\xFE[\0s\0]\0\n\0k\0=\0\xFC\0", 16));
  EXPECT_EQ(Read("s", "k", "", 260, "C:\\tavo\\wide.ini"), "\xFC");
}

}  // namespace
