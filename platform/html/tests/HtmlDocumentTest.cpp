#include "platform/html/HtmlDocument.h"

#include <gtest/gtest.h>

#include <fstream>


#include "platform/core/RuntimeError.h"
#include "platform/environment/TestSupport.h"

namespace platform::html {
namespace {

using environment::RaisedNumber;

// A page as an office program's HTML export writes pictures: a v:shape holding one
// v:imagedata, the size in the shape's inline style.
constexpr const char* kExport =
    "<html><head><title>t</title></head><body>"
    "<p>one<v:shape id=\"s1\" style=\"width:120px;height:80px\"><v:imagedata src=\"./tavoupload_files/image001.png\"/></v:shape></p>"
    "<p><v:shape id=\"s2\" style=\"width:10pt;height:20pt\"><v:imagedata src=\"./tavoupload_files/image002.gif\"/></v:shape>"
    "<v:shape id=\"s3\" style=\"width:5px\"><v:imagedata src=\"http://example.com/a.png\"/></v:shape></p>"
    "<img src=\"old.png\"></body></html>";

TEST(HtmlDocument, PrefixedElementsAnswerToTheirLocalName) {
  Document doc = Document::FromText(kExport);
  ElementCollection shapes = doc.getElementsByTagName("shape");
  ASSERT_EQ(shapes.length(), 3u);
  EXPECT_EQ(doc.getElementsByTagName("SHAPE").length(), 3u);
  EXPECT_EQ(doc.getElementsByTagName("v:shape").length(), 3u);
  EXPECT_EQ(doc.getElementsByTagName("imagedata").length(), 3u);

  Node first = shapes.item(0);
  EXPECT_EQ(first.tagName(), "shape");
  EXPECT_EQ(first.getAttribute("ID"), "s1");
  ASSERT_EQ(first.childNodes().size(), 1u);
  EXPECT_EQ(first.firstChild().tagName(), "imagedata");
  EXPECT_EQ(first.firstChild().src(), "./tavoupload_files/image001.png");

  Node img = doc.getElementsByTagName("img").item(0);
  EXPECT_EQ(img.tagName(), "IMG");
  EXPECT_TRUE(shapes.item(3).isNothing());

  // Line breaks between the tags are text nodes of their own.
  Document lines = Document::FromText("<body><p><v:shape>\n  <v:imagedata src=\"a.png\"/>\n</v:shape> x</p></body>");
  NodeList children = lines.getElementsByTagName("shape").item(0).childNodes();
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0].nodeType(), TEXT_NODE);
  EXPECT_EQ(children[1].tagName(), "imagedata");
}

// Replacing each picture in turn, stepping back after a replacement as the image pass does:
// the live collection shrinks under the loop and every shape is visited once.
TEST(HtmlDocument, LiveCollectionShrinksAsShapesAreReplaced) {
  Document doc = Document::FromText(kExport);
  ElementCollection shapes = doc.getElementsByTagName("shape");
  const int last = static_cast<int>(shapes.length()) - 1;
  std::vector<std::string> visited;
  Document scratch;
  for (int i = 0; i <= last; ++i) {
    Node shape = shapes.item(static_cast<size_t>(i));
    if (!shape) continue;
    visited.push_back(shape.getAttribute("id"));
    Node image = shape.firstChild();
    if (image.src().rfind("http", 0) == 0) continue;
    Node img = scratch.createElement("IMG");
    img.setSrc("https://pictures.example/" + shape.getAttribute("id"));
    img.style().setWidth(shape.style().width());
    img.style().setHeight(shape.style().height());
    size_t before = shapes.length();
    shape.setOuterHTML(img.outerHTML());
    EXPECT_EQ(shapes.length(), before - 1);
    EXPECT_TRUE(shape.parentNode().isNothing());  // the old handle names the detached shape
    --i;
  }
  EXPECT_EQ(visited, (std::vector<std::string>{"s1", "s2", "s3"}));
  ASSERT_EQ(shapes.length(), 1u);
  EXPECT_EQ(shapes.item(0).getAttribute("id"), "s3");

  EXPECT_EQ(doc.body().outerHTML(),
            "<body><p>one<img src=\"https://pictures.example/s1\" style=\"width: 120px; height: 80px\"></p>"
            "<p><img src=\"https://pictures.example/s2\" style=\"width: 10pt; height: 20pt\">"
            "<v:shape id=\"s3\" style=\"width:5px\"><v:imagedata src=\"http://example.com/a.png\"></v:imagedata></v:shape></p>"
            "<img src=\"old.png\"></body>");
}

TEST(HtmlDocument, StyleSizesAndSizeAttributes) {
  Document doc = Document::FromText(
      "<body><img id=a style=\"HEIGHT: 120px;\n\twidth:50%; background:url(x;y.png)\"><img id=b></body>");
  Node a = doc.getElementsByTagName("img").item(0);
  EXPECT_EQ(a.style().height(), "120px");
  EXPECT_EQ(a.style().width(), "50%");
  EXPECT_EQ(a.style().getPropertyValue("background"), "url(x;y.png)");

  a.setHeight(std::string_view("120"));
  EXPECT_EQ(a.getAttribute("height"), "120");
  EXPECT_EQ(a.height(), 120);
  a.setWidth(std::string_view("12.5"));  // rounds half to even
  EXPECT_EQ(a.width(), 12);
  EXPECT_EQ(RaisedNumber([&] { a.setWidth(std::string_view("50%")); }), err::TypeMismatch);
  EXPECT_EQ(RaisedNumber([&] { a.setWidth(std::string_view("")); }), err::TypeMismatch);

  a.style().setWidth("");  // removes the property, keeps the others
  EXPECT_EQ(a.style().cssText(), "height: 120px; background: url(x;y.png)");

  Node b = doc.getElementsByTagName("img").item(1);
  EXPECT_EQ(b.style().width(), "");
  b.style().setHeight("7px");
  EXPECT_EQ(b.outerHTML(), "<img id=\"b\" style=\"height: 7px\">");
}

TEST(HtmlDocument, OuterHtmlReplacementTakesAnyMarkup) {
  Document doc = Document::FromText("<body><div id=x><b>old</b></div><p>keep</p></body>");
  Node div = doc.getElementsByTagName("div").item(0);
  div.setOuterHTML("text <i>two</i> nodes");
  EXPECT_EQ(doc.body().innerHTML(), "text <i>two</i> nodes<p>keep</p>");
  EXPECT_EQ(div.outerHTML(), "<div id=\"x\"><b>old</b></div>");  // still readable

  Node p = doc.getElementsByTagName("p").item(0);
  p.setOuterHTML("");
  EXPECT_EQ(doc.body().innerHTML(), "text <i>two</i> nodes");

  EXPECT_EQ(RaisedNumber([&] { doc.documentElement().setOuterHTML("<p>x</p>"); }), 600);
  EXPECT_EQ(RaisedNumber([&] { div.setOuterHTML("<p>x</p>"); }), 600);  // detached
}

TEST(HtmlDocument, DocumentMarkupKeepsNamesAndAddsNoWhitespace) {
  Document doc = Document::FromText(
      "<HTML><HEAD><TITLE>a &amp; b</TITLE></HEAD><BODY><P CLASS=x>caf\xC3\xA9&nbsp;&lt;1&gt;"
      "<v:shape><v:imagedata src=\"p.png\" o:title=\"\"/></v:shape><br><!--note--></P></BODY></HTML>");
  EXPECT_EQ(doc.documentElement().outerHTML(),
            "<html><head><title>a &amp; b</title></head><body><p class=\"x\">caf\xC3\xA9&nbsp;&lt;1&gt;"
            "<v:shape><v:imagedata src=\"p.png\" o:title=\"\"></v:imagedata></v:shape><br><!--note--></p></body></html>");
  EXPECT_EQ(doc.documentElement().tagName(), "HTML");
}

TEST(HtmlDocument, ChildNodesCountTextNodes) {
  Document doc = Document::FromText("<body><p>a<b>b</b>c</p><p></p></body>");
  Node p = doc.getElementsByTagName("p").item(0);
  NodeList children = p.childNodes();
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(children[0].nodeType(), TEXT_NODE);
  EXPECT_EQ(children[0].nodeName(), "#text");
  EXPECT_EQ(children[0].tagName(), "");
  EXPECT_EQ(children[1].tagName(), "B");
  EXPECT_TRUE(p.hasChildNodes());
  Node empty = doc.getElementsByTagName("p").item(1);
  EXPECT_FALSE(empty.hasChildNodes());
  EXPECT_TRUE(empty.firstChild().isNothing());
  EXPECT_EQ(RaisedNumber([&] { (void)empty.firstChild().tagName(); }), err::ObjectNotSet);
  EXPECT_EQ(RaisedNumber([&] { (void)children[0].outerHTML(); }), 438);
}

TEST(HtmlDocument, MalformedAndEmptyPagesParseLeniently) {
  struct Case {
    const char* html;
    const char* body;
  } cases[] = {
      {"", "<body></body>"},
      {"plain text", "<body>plain text</body>"},
      {"<p>open <b>bold</p>", "<body><p>open <b>bold</b></p></body>"},
      {"<html><head><title>x</title></head></html>", "<body></body>"},
      {"</div><p>stray end</p></span>", "<body><p>stray end</p></body>"},
      {"<p a=\"1\" a=\"2\">dup</p><", "<body><p a=\"1\">dup</p>&lt;</body>"},
  };
  for (const auto& c : cases) {
    Document doc = Document::FromText(c.html);
    ASSERT_TRUE(doc.body()) << c.html;
    EXPECT_EQ(doc.body().outerHTML(), c.body) << c.html;
    EXPECT_EQ(doc.documentElement().firstChild().tagName(), "HEAD") << c.html;
  }
}

TEST(HtmlDocument, BodyInnerHtmlWriteAndCreateElement) {
  Document doc;
  doc.body().setInnerHTML("<p>x</p><img src=\"a b.png\" height=\"3\">");
  EXPECT_EQ(doc.body().innerHTML(), "<p>x</p><img src=\"a b.png\" height=\"3\">");
  EXPECT_EQ(doc.getElementsByTagName("img").item(0).height(), 3);
  doc.body().setInnerHTML("");
  EXPECT_FALSE(doc.body().hasChildNodes());

  Node e = doc.createElement("Span");
  e.setAttribute("title", "say \"hi\" & <go>");
  EXPECT_EQ(e.outerHTML(), "<span title=\"say &quot;hi&quot; &amp; <go>\"></span>");
  EXPECT_EQ(RaisedNumber([&] { doc.createElement("<img src=x>"); }), err::InvalidProcedureCall);
}

// Every attribute is reached by its name as written; a style element's new text is written out
// as it stands, a paragraph's escaped, and neither is read as markup.
TEST(HtmlDocument, AttributeNamesAndTextReplacement) {
  Document doc = Document::FromText(
      "<body><style media=print>p{}</style><p>x<b>y</b></p><v:imagedata SRC=\"a.png\" o:href=\"b.png\"/></body>");
  EXPECT_EQ(doc.getElementsByTagName("imagedata").item(0).attributeNames(), (std::vector<std::string>{"src", "o:href"}));
  Node p = doc.getElementsByTagName("p").item(0);
  EXPECT_TRUE(p.attributeNames().empty());

  const std::string css = "a > b { content: \"&amp;<i>\" }";
  Node style = doc.getElementsByTagName("style").item(0);
  style.setInnerText(css);
  p.setInnerText("<i>&amp;");
  EXPECT_EQ(style.innerText(), css);
  EXPECT_EQ(doc.body().innerHTML(), "<style media=\"print\">" + css + "</style><p>&lt;i&gt;&amp;amp;</p>"
                                    "<v:imagedata src=\"a.png\" o:href=\"b.png\"></v:imagedata>");
}

TEST(HtmlDocument, FileHonoursItsCharsetDeclaration) {
  environment::TempEnvironment env;
  std::ofstream(env.environment().HostPath("C:\\page.htm"), std::ios::binary)
      << "<html><head><meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\"></head>"
         "<body>caf\xE9 \x80</body></html>";
  EXPECT_EQ(Document::FromFile("C:\\PAGE.HTM").body().innerHTML(), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(RaisedNumber([] { Document::FromFile("C:\\none.htm"); }), err::FileNotFound);
}

}  // namespace
}  // namespace platform::html
