#include "host/word/Story.h"

#include <gtest/gtest.h>

#include "host/files/LineFormat.h"
#include "host/word/DocumentFile.h"

using namespace host::word;

TEST(Story, TextRoundTripKeepsParagraphsAndCharacters) {
  Items items = ItemsOfText("Grüße, \\ world\nsecond");
  items.push_back(Item::Mark());
  auto pic = std::make_shared<Picture>(Picture{"png", std::string("\x89PNG\0raw", 8), "", "12px", "7px"});
  items.insert(items.begin() + 3, Item::Pic(pic));
  items.push_back(Item::Pic(std::make_shared<Picture>(Picture{"", "", "http://h/x y.png", "5px", "6px"})));
  items.push_back(Item::Mark());
  auto parsed = ParseItems(host::SplitLines(SerializeItems(items)));
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->size(), items.size());
  EXPECT_EQ(TextOfItems(*parsed, 0, parsed->size()), TextOfItems(items, 0, items.size()));
  EXPECT_EQ((*parsed)[3].picture->bytes, pic->bytes);
  EXPECT_EQ((*parsed)[parsed->size() - 2].picture->link, "http://h/x y.png");
}

// A picture's type names the file the export writes it to: only a picture type is read.
TEST(Story, RejectsMalformedLines) {
  for (std::string_view line :
       {"text: dangling \\", "picture: png 1px", "picture: png 1px 2px !!!!", "bold: x", "link: 1px 2px ",
        "picture: png\\..\\..\\..\\Windows\\System32\\drivers\\etc\\hosts 1px 2px AAAA", "picture: ../x 1px 2px AAAA",
        "picture: svg 1px 2px AAAA", "picture: PNG 1px 2px AAAA", "picture:  1px 2px AAAA"}) {
    EXPECT_FALSE(ParseItems({line})) << line;
  }
  for (std::string_view type : {"png", "jpg", "gif", "bmp", "wmf", "emf", "emz", "wmz"})
    EXPECT_TRUE(ParseItems({"picture: " + std::string(type) + " 1px 2px AAAA"})) << type;
}

TEST(DocumentFile, RequiresHeaderAndWellFormedPassword) {
  DocumentFile file{"", ItemsOfText("a\n")};
  auto bytes = WriteDocumentFile(file);
  EXPECT_EQ(bytes, "TAVO-DOCUMENT/1\nopen-password: \ntext: a\nparagraph\n");
  EXPECT_TRUE(ReadDocumentFile(bytes));
  EXPECT_FALSE(ReadDocumentFile("TAVO-DOCUMENT/2\nopen-password: \n"));
  EXPECT_FALSE(ReadDocumentFile("TAVO-DOCUMENT/1\nopen-password: secret\n"));
  // A story without its final mark gets one.
  auto read = ReadDocumentFile("TAVO-DOCUMENT/1\nopen-password: \ntext: x\n");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->items.back().kind, Item::Kind::ParagraphMark);
}

TEST(Story, PictureSizeFromImageHeaders) {
  std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\x2c\0\0\0\x50", 24);
  auto p = PictureFromFile("PNG", png);
  EXPECT_EQ(p->type, "png");
  EXPECT_EQ(p->width, "300px");
  EXPECT_EQ(p->height, "80px");
  std::string gif("GIF89a\x10\x00\x20\x00", 10);
  EXPECT_EQ(PictureFromFile("gif", gif)->height, "32px");
  EXPECT_EQ(PictureFromFile("jpeg", "junk")->type, "jpg");
  EXPECT_EQ(PictureFromFile("emz", "junk")->width, "100px");
  for (std::string_view extension : {"", "txt", "svg", "png\\..\\hosts", "p g"})
    EXPECT_FALSE(PictureFromFile(extension, "junk")) << extension;
}

TEST(Story, PictureLengthsHoldNoBlanks) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"120px", "120px"}, {"120", "120px"}, {" 7 px ", "7px"}, {"1\n2\r\t0", "120px"}, {"", "100px"}, {" \n", "100px"},
      {"5%", "5%"},       {"2.5em", "2.5em"}};
  for (const auto& [value, length] : cases) EXPECT_EQ(PictureLength(value), length) << value;
}
