#include "common/StoredSecret.h"

#include <gtest/gtest.h>

#include "common/AddinState.h"
#include "common/tests/TestEnvironment.h"
#include "platform/core/RuntimeError.h"

namespace tavo {
namespace {

class StoredSecretTest : public test::CoreTest {};

TEST_F(StoredSecretTest, EncodingOfTheUtf16BytesAndOneZeroByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc", "YQBiAGMAAA=="},
      {"", "AA=="},
      {"secret", "cwBlAGMAcgBlAHQAAA=="},
  };
  for (const auto& [text, encoded] : cases) {
    EXPECT_EQ(EncodeBase64(text), encoded) << text;
    EXPECT_EQ(DecodeStoredSecret(encoded), text) << text;
  }
  EXPECT_EQ(DecodeBase64("YQBiAGMAAA=="), std::string("a\0b\0c\0\0", 7));
}

TEST_F(StoredSecretTest, ReadersTrimAndKeepEveryCharacter) {
  EXPECT_EQ(DecodeStoredSecret(EncodeBase64("  ann@tavo.example ")), "ann@tavo.example");
  const std::string wide = "\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E \xF0\x9F\x98\x80 \xC3\xA9";  // CJK, emoji, Latin
  EXPECT_EQ(DecodeStoredSecret(EncodeBase64(wide)), wide);
  // Long values are written unbroken; a broken text from another writer reads the same.
  const std::string encoded = EncodeBase64(std::string(60, 'x'));
  EXPECT_EQ(encoded.find('\n'), std::string::npos);
  EXPECT_EQ(DecodeStoredSecret(encoded.substr(0, 76) + "\r\n" + encoded.substr(76)), std::string(60, 'x'));
}

TEST_F(StoredSecretTest, TextThatIsNotBase64RaisesARunTimeError) {
  EXPECT_THROW(DecodeBase64("YQBi<AGMAAA=="), platform::RuntimeError);
  EXPECT_THROW(DecodeBase64("not base64!"), platform::RuntimeError);
}

TEST_F(StoredSecretTest, CredentialsFileRoundTrip) {
  AddinState state(kSheetParameters);
  state.gUserDataFolder = "C:\\Users\\tavo\\AppData\\Roaming\\";
  state.gEncodedUser = EncodeBase64("ann@tavo.example");
  state.gEncodedPassword = EncodeBase64("secret");
  const std::string path = CredentialsFilePath(state);
  EXPECT_EQ(path, "C:\\Users\\tavo\\AppData\\Roaming\\maptavoexceldet.xml");
  WriteCredentialsFile(state, path);
  EXPECT_EQ(Read(path), "<xml><username>YQBuAG4AQAB0AGEAdgBvAC4AZQB4AGEAbQBwAGwAZQAA</username>"
                        "<password>cwBlAGMAcgBlAHQAAA==</password></xml>");
  StoredCredentials stored = ReadCredentialsFile(path);
  EXPECT_EQ(stored.user, "ann@tavo.example");
  EXPECT_EQ(stored.password, "secret");
  EXPECT_THROW(ReadCredentialsFile("C:\\Users\\tavo\\missing.xml"), platform::RuntimeError);
}

}  // namespace
}  // namespace tavo
