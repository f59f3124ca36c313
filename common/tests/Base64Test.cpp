#include "common/Base64.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/xml/Base64.h"
#include "common/tests/TestEnvironment.h"

namespace tavo {
namespace {

// A bit-by-bit encoder to hold the table-driven one against.
std::string ReferenceBase64(const std::string& bytes) {
  static const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0, count = 0;
  for (unsigned char c : bytes) {
    bits = (bits << 8) | c;
    count += 8;
    while (count >= 6) {
      count -= 6;
      out.push_back(kAlphabet[(bits >> count) & 63]);
    }
  }
  if (count > 0) out.push_back(kAlphabet[(bits << (6 - count)) & 63]);
  while (out.size() % 4 != 0) out.push_back('=');
  return out;
}

std::string Bytes(std::size_t n, unsigned seed = 1) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

TEST(Base64Test, ShortTextsMatchTheStandardInBothClasses) {
  const std::pair<const char*, const char*> cases[] = {
      {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
  for (const auto& [text, encoded] : cases) {
    EXPECT_EQ(base64module().Encode(text), encoded) << text;
    EXPECT_EQ(Base64Class().EncodeString(text), encoded) << text;
    EXPECT_EQ(base64module().Decode(encoded), text) << text;
  }
}

TEST(Base64Test, EveryByteAndLengthEncodesAsTheStandardAndDecodesBack) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  for (std::size_t n = 1; n < 200; ++n) {
    std::string bytes = (all + Bytes(n, static_cast<unsigned>(n))).substr(0, n);
    EXPECT_EQ(platform::xml::Base64Encode(bytes), ReferenceBase64(bytes)) << n;
    EXPECT_EQ(base64module().DecodeArr(base64module().EncodeArr(bytes)), bytes) << n;
    EXPECT_EQ(base64module().DecodeArr(Base64Class().EncodeByteArray(bytes)), bytes) << n;
  }
  EXPECT_EQ(platform::xml::Base64Encode(all), ReferenceBase64(all));
}

TEST(Base64Test, LineBreaksOfTheTwoEncoders) {
  struct Case {
    std::size_t bytes;
    std::vector<std::size_t> breaksAt;  // where CR LF stands in the unbroken text
    bool arrEndsWithBreak;
  };
  const Case cases[] = {
      {57, {}, false},      // 76 characters: one line, no break from either
      {58, {76}, false},    // 80 characters: a break after the 76th, none at the end
      {114, {76}, true},    // two full lines: only EncodeArr ends with a break
      {112, {76}, true},    // the same when the last group of the second line is completed with "="
      {113, {76}, true},
      {171, {76, 152}, true},
      {172, {76, 152, 228}, false},  // three full lines and one more group
  };
  for (const Case& c : cases) {
    const std::string bytes = Bytes(c.bytes);
    const std::string plain = ReferenceBase64(bytes);
    std::string expected = plain;
    for (auto it = c.breaksAt.rbegin(); it != c.breaksAt.rend(); ++it) expected.insert(*it, "\r\n");
    EXPECT_EQ(Base64Class().EncodeByteArray(bytes), expected) << c.bytes;
    EXPECT_EQ(base64module().EncodeArr(bytes), expected + (c.arrEndsWithBreak ? "\r\n" : "")) << c.bytes;
  }
}

TEST(Base64Test, EmptyInputs) {
  EXPECT_EQ(base64module().Encode(""), "");
  EXPECT_EQ(base64module().Decode(""), "");
  EXPECT_EQ(base64module().EncodeArr(""), "");
  EXPECT_THROW(Base64Class().EncodeByteArray(""), platform::RuntimeError);
  for (const char* nothingLeft : {"", "==", "\r\n", "=\r\n="})
    EXPECT_EQ(test::RaisedNumber([&] { base64module().DecodeArr(nothingLeft); }), platform::err::SubscriptOutOfRange)
        << nothingLeft;
}

TEST(Base64Test, DecoderTolerance) {
  base64module b;
  const std::string bytes = Bytes(300);
  const std::string broken = b.EncodeArr(bytes);
  ASSERT_NE(broken.find("\r\n"), std::string::npos);
  EXPECT_EQ(b.DecodeArr(broken), b.DecodeArr(ReferenceBase64(bytes)));

  std::string lfOnly = broken;
  for (std::size_t p; (p = lfOnly.find("\r\n")) != std::string::npos;) lfOnly.erase(p, 1);
  EXPECT_NE(b.DecodeArr(lfOnly), bytes);

  const std::pair<std::string, std::string> cases[] = {
      {"Zm9v", "foo"},
      {"Z=m9=v", "foo"},               // "=" is dropped wherever it stands
      {"Zm9vY", std::string("foo\0", 4)},  // one character left over gives a zero byte
      {"Zm9vYg", "foob"},
      {"Zm9vYmE", "fooba"},
      {"Zm!v", b.DecodeArr("ZmAv")},   // characters outside the alphabet count as "A"
      {"Zm\r9v", b.DecodeArr("ZmA9v")},  // a lone CR stays and counts as "A"
      {"Zm\r\r\n\n9v", b.DecodeArr("ZmAA9v")},  // only the CR LF pair goes
      {"QUJ\xC5\x82", b.DecodeArr("QUJB")},     // U+0142 counts by its low byte, "B"
      {"QUJ\xC4\xBD", b.DecodeArr("QUJA")},     // U+013D: low byte "=" is not dropped
      {"QU\xC5\x82JDREVGR0hJ", b.DecodeArr("QUBJDREVGR0hJ")},  // found within a long text too
  };
  for (const auto& [text, decoded] : cases) EXPECT_EQ(b.DecodeArr(text), decoded) << text;
}

TEST(Base64FileTest, FilesInAndOut) {
  test::TempEnvironment env;
  base64module b;
  const std::string file = "C:\\Users\\tavo\\Documents\\picture.bin";
  const std::string bytes = Bytes(1000);
  b.DecodeToFile(b.EncodeArr(bytes), file);
  EXPECT_EQ(platform::files::ReadAllBytes(file), bytes);
  EXPECT_EQ(b.EncodeFromFile(file), b.EncodeArr(bytes));
  EXPECT_EQ(b.EncodeFromFile("C:\\Users\\tavo\\Documents\\missing.bin"), "");

  try {
    b.DecodeToFile("Zm9v", file);
    ADD_FAILURE() << "overwrote an existing file";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), -2147220504);
    EXPECT_EQ(e.description(), "File already exists.");
    EXPECT_EQ(e.source(), "Base64.DecodeToFile");
  }
  EXPECT_EQ(platform::files::ReadAllBytes(file), bytes);
}

// A file is encoded a piece at a time: the text must be the whole buffer's, byte for byte, for
// lengths that end a piece, a line, or fall just beside either.
TEST(Base64FileTest, FilesEncodedInPiecesAsWholeBuffers) {
  test::TempEnvironment env;
  constexpr std::size_t kPiece = base64::kFilePieceBytes;
  const std::string file = "C:\\Users\\tavo\\Documents\\book.xls";
  for (std::size_t n : {std::size_t{1}, std::size_t{55}, std::size_t{56}, std::size_t{57}, std::size_t{58},
                        std::size_t{114}, kPiece - 1, kPiece, kPiece + 1, kPiece + 55, kPiece + 56, kPiece + 57,
                        2 * kPiece, 2 * kPiece + 2}) {
    const std::string bytes = Bytes(n, static_cast<unsigned>(n));
    platform::files::WriteAllBytes(file, bytes);
    for (base64::FinalBreak finalBreak : {base64::FinalBreak::Never, base64::FinalBreak::AfterFullLastLine})
      EXPECT_EQ(base64::EncodeFileLines(file, finalBreak), base64::EncodeLines(bytes, finalBreak)) << n;
    EXPECT_EQ(base64module().EncodeFromFile(file), base64module().EncodeArr(bytes)) << n;
    EXPECT_EQ(Base64Class().EncodeFileBytes(file), Base64Class().EncodeByteArray(bytes)) << n;
  }

  // An empty file: no text, and the same error as an empty array from the class that refuses one.
  platform::files::WriteAllBytes(file, "");
  EXPECT_EQ(base64module().EncodeFromFile(file), "");
  try {
    Base64Class().EncodeFileBytes(file);
    ADD_FAILURE() << "encoded an empty file";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), platform::err::SubscriptOutOfRange);
  }
  // A missing file raises as reading it whole does.
  EXPECT_THROW(Base64Class().EncodeFileBytes("C:\\Users\\tavo\\Documents\\missing.xls"), platform::RuntimeError);
}

}  // namespace
}  // namespace tavo
