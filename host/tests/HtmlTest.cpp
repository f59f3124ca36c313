#include "host/word/Html.h"

#include <gtest/gtest.h>

#include <map>

#include "host/tests/TestSupport.h"
#include "platform/codepage/CodePage.h"
#include "platform/html/HtmlDocument.h"

using namespace host::word;

namespace {

std::shared_ptr<const Picture> Embedded(std::string type, std::string bytes) {
  return std::make_shared<Picture>(Picture{std::move(type), std::move(bytes), "", "12px", "7px"});
}

Items Sample() {
  Items items = ItemsOfText("a < b & c");
  items.push_back(Item::Pic(Embedded("png", "PNGDATA")));
  items.push_back(Item::Mark());
  items.push_back(Item::Pic(Embedded("emz", "EMZDATA")));
  items.push_back(Item::Pic(std::make_shared<Picture>(Picture{"", "", "http://srv/p.png?a=1&b=2", "120px", "80px"})));
  items.push_back(Item::Pic(Embedded("jpg", "JPGDATA")));
  items.push_back(Item::Mark());
  items.push_back(Item::Mark());  // an empty last paragraph
  return items;
}

std::string Text(const Items& items) { return TextOfItems(items, 0, items.size()); }

}  // namespace

TEST(HtmlExport, PicturesBecomeShapesWithOneImagedataAndNumberedFiles) {
  auto out = ExportHtml(Sample(), "tavoupload");
  EXPECT_NE(out.html.find("<p>a &lt; b &amp; c<v:shape style=\"width:12px;height:7px\"><v:imagedata "
                          "src=\"./tavoupload_files/image001.png\"/></v:shape></p>"),
            std::string::npos)
      << out.html;
  // The emz picture takes 002 and its GIF rendering the next number; the jpg comes after both.
  EXPECT_NE(out.html.find("<v:imagedata src=\"./tavoupload_files/image002.emz\"/>"), std::string::npos);
  EXPECT_NE(out.html.find("<v:imagedata src=\"./tavoupload_files/image004.jpg\"/>"), std::string::npos);
  EXPECT_NE(out.html.find("<img src=\"http://srv/p.png?a=1&amp;b=2\" style=\"width:120px;height:80px\">"),
            std::string::npos);
  std::vector<std::string> names;
  for (const auto& [name, bytes] : out.files) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"image001.png", "image002.emz", "image003.gif", "image004.jpg"}));
  EXPECT_EQ(out.files[2].second.substr(0, 6), "GIF89a");
  EXPECT_NE(out.html.find("<p></p>"), std::string::npos);
}

// What the add-in's picture pass sees of the export: every shape holds exactly one imagedata.
TEST(HtmlExport, EachShapeHoldsExactlyOneImagedataForTheAddins) {
  auto out = ExportHtml(Sample(), "tavoupload");
  auto doc = platform::html::Document::FromText(out.html);
  auto shapes = doc.getElementsByTagName("shape");
  ASSERT_EQ(shapes.length(), 3u);
  for (size_t i = 0; i < shapes.length(); ++i) {
    auto shape = shapes.item(i);
    ASSERT_EQ(shape.childNodes().size(), 1u) << shape.outerHTML();
    EXPECT_EQ(shape.firstChild().tagName(), "imagedata");
    EXPECT_EQ(shape.style().height(), "7px");
  }
  EXPECT_EQ(shapes.item(1).firstChild().src(), "./tavoupload_files/image002.emz");
  EXPECT_EQ(doc.getElementsByTagName("IMG").length(), 1u);
}

TEST(HtmlImport, ExportReadsBackWithoutLoss) {
  Items items = Sample();
  auto out = ExportHtml(items, "doc");
  std::map<std::string, std::string> files;
  for (const auto& [name, bytes] : out.files) files["./doc_files/" + name] = bytes;
  Items back = ImportHtml(out.html, [&](std::string_view src) -> std::optional<std::string> {
    auto it = files.find(std::string(src));
    if (it == files.end()) return std::nullopt;
    return it->second;
  });
  ASSERT_EQ(Text(back), Text(items));
  EXPECT_EQ(back[9].picture->bytes, "PNGDATA");
  EXPECT_EQ(back[9].picture->type, "png");
  EXPECT_EQ(back[12].picture->link, "http://srv/p.png?a=1&b=2");
  EXPECT_EQ(back[12].picture->width, "120px");
  EXPECT_EQ(back[13].picture->bytes, "JPGDATA");
}

TEST(HtmlImport, ParagraphsWhitespaceAndRemotePictures) {
  struct Case {
    const char* html;
    const char* text;
  };
  const Case cases[] = {
      {"<html><body><p>one</p><p>two</p></body></html>", "one\rtwo\r"},
      {"<body>  loose\n  text  <b>bold</b>\n</body>", "loose text bold\r"},
      {"<body><div><p>x</p></div><p></p><h1>T</h1></body>", "x\r\rT\r"},
      {"<body>a<br>b<script>ignored()</script></body>", "a\rb\r"},
      {"<body><ul><li>1</li><li>2</li></ul></body>", "1\r2\r"},
      {"<body>&nbsp;&amp;&eacute;</body>", "\xc2\xa0&\xc3\xa9\r"},
      // A span of the export's blank runs gives back its blanks; one holding more than text is
      // read as any span.
      {"<body>a<span class=\"x blanks\">&nbsp;\t&nbsp;</span>b</body>", "a \t b\r"},
      {"<body>a<span class=\"blanks\">&nbsp;<img src=\"http://h/p.png\"></span>b</body>", "a\xc2\xa0\x01" "b\r"},
      {"", "\r"},
  };
  for (const auto& c : cases) EXPECT_EQ(Text(ImportHtml(c.html, {})), c.text) << c.html;

  Items items = ImportHtml(
      "<body><p>see <IMG SRC=\"https://h/a.png\" width=\"120\" height=\"80\"> and "
      "<img src=\"http://h/b.gif\" style=\"WIDTH: 5%; height:3em\"></p></body>",
      [](std::string_view) -> std::optional<std::string> { ADD_FAILURE() << "remote pictures are not read"; return std::nullopt; });
  ASSERT_EQ(Text(items), "see \x01 and \x01\r");
  EXPECT_EQ(items[4].picture->link, "https://h/a.png");
  EXPECT_EQ(items[4].picture->width, "120px");
  EXPECT_EQ(items[4].picture->height, "80px");
  EXPECT_EQ(items[10].picture->width, "5%");
  EXPECT_EQ(items[10].picture->height, "3em");
}

// A page is read in the charset it declares before its body, else in the system's code page,
// whatever its bytes would also make in another charset.
TEST(HtmlImport, APageIsReadInTheCharsetItDeclaresElseInTheSystemCodePage) {
  host::testing::TempEnvironment env;
  const struct {
    std::uint32_t system;
    std::string page;
    const char* text;
  } cases[] = {
      {1252, "<body>caf\xe9 \x80</body>", "caf\xc3\xa9 \xe2\x82\xac\r"},
      {1252, "<body>caf\xc3\xa9</body>", "caf\xc3\x83\xc2\xa9\r"},  // UTF-8 that says nothing is not taken for it
      {1252, "<head><meta charset=\"utf-8\"></head><body>caf\xc3\xa9</body>", "caf\xc3\xa9\r"},
      {932, "<body>\x93\xfa\x96\x7b</body>", "\xe6\x97\xa5\xe6\x9c\xac\r"},
      // Bytes that are valid UTF-8 as well: "说谁" in GBK, half-width "ﾃｽ" in Shift-JIS.
      {936, "<body>\xcb\xb5\xcb\xad</body>", "\xe8\xaf\xb4\xe8\xb0\x81\r"},
      {932, "<p>\xc3\xbd</p>", "\xef\xbe\x83\xef\xbd\xbd\r"},
      {936, "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\"></head><body>"
            "\xe8\xaf\xb4</body></html>",
       "\xe8\xaf\xb4\r"},
      {936, "<html><head><title>\x93\xfa</title><meta charset=shift_jis></head><body>\x93\xfa\x96\x7b</body>",
       "\xe6\x97\xa5\xe6\x9c\xac\r"},
      {932, "\xef\xbb\xbf<body>\xe8\xaf\xb4</body>", "\xe8\xaf\xb4\r"},  // a UTF-8 byte-order mark
      // What is no declaration before the body: one inside it, a charset unknown here.
      {936, "<body><meta charset=\"utf-8\">\xcb\xb5\xcb\xad</body>", "\xe8\xaf\xb4\xe8\xb0\x81\r"},
      {936, "<head><meta charset=\"koi8-r\"></head><body>\xcb\xb5</body>", "\xe8\xaf\xb4\r"},
  };
  for (const auto& c : cases) {
    platform::codepage::SetACP(c.system);
    EXPECT_EQ(Text(ImportHtml(c.page, {})), c.text) << c.system << " " << c.page;
  }
}

// What the user typed comes back from an export through the import character for character:
// runs of blanks, blanks at either end of a paragraph, tabs, and a non-breaking space the user
// typed, which stays one.
TEST(HtmlImport, BlanksAndTabsComeBackAsTyped) {
  const char* const texts[] = {
      "two  blanks", "  leading", "trailing  ", " ", "a\tb", "\t", "a \t b", "x\xc2\xa0y", "x\xc2\xa0 \xc2\xa0y",
      "one blank", "a   b\n\n  c d  \n",
  };
  for (const char* typed : texts) {
    Items items = ItemsOfText(typed);
    if (items.empty() || items.back().kind != Item::Kind::ParagraphMark) items.push_back(Item::Mark());
    const std::string html = ExportHtml(items, "doc").html;
    EXPECT_EQ(Text(ImportHtml(html, {})), Text(items)) << html;
    // What a browser shows keeps the blanks too.
    if (std::string_view(typed).find("  ") != std::string_view::npos) {
      EXPECT_NE(html.find("&nbsp;"), std::string::npos) << html;
    }
  }
  // A picture between blanks keeps them, the single blanks as they are.
  Items items = ItemsOfText("a ");
  items.push_back(Item::Pic(std::make_shared<Picture>(Picture{"", "", "http://srv/p.png", "1px", "1px"})));
  for (const Item& item : ItemsOfText("  b")) items.push_back(item);
  items.push_back(Item::Mark());
  EXPECT_EQ(Text(ImportHtml(ExportHtml(items, "doc").html, {})), "a \x01  b\r");
}

TEST(HtmlImport, RemoteAddresses) {
  EXPECT_TRUE(IsRemoteAddress("http://x/y.png"));
  EXPECT_TRUE(IsRemoteAddress("HTTPS://x"));
  EXPECT_FALSE(IsRemoteAddress("./doc_files/image001.png"));
  EXPECT_FALSE(IsRemoteAddress("C:\\pics\\a.png"));
  EXPECT_FALSE(IsRemoteAddress("file:///C:/a.png"));
}
