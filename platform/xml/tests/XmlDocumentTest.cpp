#include "platform/xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/core/RuntimeError.h"
#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"

using namespace platform;
using namespace platform::xml;

namespace {

const std::string kFolder = "C:\\Users\\tavo\\AppData\\Roaming\\";

void AddChild(const Document& doc, Node parent, const char* name, std::string_view text) {
  Node child = doc.createElement(name);
  parent.appendChild(child);
  child.setText(text);
}

// A map file with records of ids 1..n, built the way the add-ins build it.
Document MapWith(int n) {
  Document doc;
  EXPECT_TRUE(doc.loadXML("<mapxml></mapxml>"));
  for (int i = 1; i <= n; ++i) {
    Node record = doc.createElement("document");
    record.setAttribute("id", std::to_string(i));
    record.setAttribute("filename", "name" + std::to_string(i % 2));
    doc.documentElement().appendChild(record);
    AddChild(doc, record, "document_id", std::to_string(i));
    AddChild(doc, record, "document_name", "Name " + std::to_string(i));
  }
  return doc;
}

TEST(Xml, ACreatedMapFileReadsExactlyAsWritten) {
  environment::TempEnvironment env;
  Document doc;
  ASSERT_TRUE(doc.loadXML("<mapxml></mapxml>"));
  doc.save(kFolder + "maptavoexcel.xml");
  EXPECT_EQ(files::ReadAllBytes(kFolder + "maptavoexcel.xml"), "<mapxml></mapxml>");

  Document again;
  ASSERT_TRUE(again.load(kFolder + "maptavoExcel.xml"));  // the same file
  Node record = again.createElement("workbook");
  record.setAttribute("id", "7");
  record.setAttribute("filename", "C:\\docs\\Tom & \"Jerry\" <1>.xls");
  again.documentElement().appendChild(record);
  AddChild(again, record, "book_id", "7");
  AddChild(again, record, "book_name", "R&D <draft>");
  AddChild(again, record, "updatelock", "");
  again.save(kFolder + "maptavoexcel.xml");
  EXPECT_EQ(files::ReadAllBytes(kFolder + "maptavoexcel.xml"),
            "<mapxml><workbook id=\"7\" filename=\"C:\\docs\\Tom &amp; &quot;Jerry&quot; &lt;1>.xls\">"
            "<book_id>7</book_id><book_name>R&amp;D &lt;draft&gt;</book_name><updatelock></updatelock>"
            "</workbook></mapxml>");

  Document read;
  ASSERT_TRUE(read.load(kFolder + "MAPTAVOEXCEL.XML"));
  EXPECT_EQ(read.documentElement().child(0).attribute(1), "C:\\docs\\Tom & \"Jerry\" <1>.xls");
  EXPECT_EQ(read.documentElement().child(0).child(1).text(), "R&D <draft>");
  EXPECT_FALSE(read.load(kFolder + "missing.xml"));
  EXPECT_TRUE(read.documentElement().isNothing());
}

TEST(Xml, AwkwardCharactersSurviveWritingAndReading) {
  const std::string text = "line one\r\nline two\ttab ]]> & <x>";
  const std::string value = "a\tb\nc\r\"d\" 'e' <f> &g";
  Document doc;
  ASSERT_TRUE(doc.loadXML("<r><c><![CDATA[keep ]]]]><![CDATA[> raw]]></c></r>"));
  Node element = doc.createElement("e");
  doc.documentElement().appendChild(element);
  element.setText(text);
  element.setAttribute("v", value);
  Document back;
  ASSERT_TRUE(back.loadXML(doc.xml())) << doc.xml();
  EXPECT_EQ(back.selectSingleNode("//e").text(), text);
  EXPECT_EQ(back.selectSingleNode("//e").getAttribute("v"), value);
  EXPECT_EQ(back.selectSingleNode("//c").text(), "keep ]]> raw");
}

TEST(Xml, TextThatIsNotWellFormedLeavesAnEmptyDocument) {
  for (const char* bad : {"", "abc", "<a>", "<a><b></a>", "<a/><b/>", "text<a/>", "<a/>tail", "<a>x & y</a>",
                          "<a>&foo;</a>", "<a b='<'/>", "<a b='1' b='2'/>", "<DECODER>ab<cd</DECODER>"}) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<old/>"));
    EXPECT_FALSE(doc.loadXML(bad)) << bad;
    EXPECT_TRUE(doc.documentElement().isNothing()) << bad;
    EXPECT_EQ(doc.xml(), "") << bad;
    EXPECT_FALSE(doc.parseError().empty()) << bad;
  }
  for (const char* good : {"<a>&amp;&lt;&#65;&#x42;</a>", "<?xml version=\"1.0\"?>\n<a/>", "<!-- c --><a/>",
                           "  <a>\n  <b/>\n</a>\n", "<a><![CDATA[x & <y>]]></a>"}) {
    Document doc;
    EXPECT_TRUE(doc.loadXML(good)) << good << ": " << doc.parseError();
    EXPECT_TRUE(doc.parseError().empty());
  }
  Document doc;
  ASSERT_TRUE(doc.loadXML("<a>\n  <b>x</b>\n  <c/>\n</a>"));
  EXPECT_EQ(doc.xml(), "<a><b>x</b><c></c></a>");  // whitespace between elements dropped
  EXPECT_EQ(doc.documentElement().childCount(), 2u);
}

TEST(Xml, SelectsByPathAttributeAndChildText) {
  Document doc = MapWith(4);
  Node root = doc.documentElement();
  EXPECT_EQ(doc.selectSingleNode("//mapxml/document[@filename='name0']").getAttribute("id"), "2");
  EXPECT_EQ(root.selectSingleNode("document[@id='3']").child(1).text(), "Name 3");
  EXPECT_EQ(doc.selectSingleNode("//mapxml/document[document_id='4']").getAttribute("id"), "4");
  EXPECT_TRUE(root.selectSingleNode("document[@id='9']").isNothing());
  NodeList odd = doc.selectNodes("//mapxml/document[@filename='name1']");
  ASSERT_EQ(odd.size(), 2u);
  EXPECT_EQ(odd[0].getAttribute("id"), "1");
  EXPECT_EQ(odd[1].getAttribute("id"), "3");
  EXPECT_TRUE(doc.selectNodes("//nothing").empty());
}

TEST(Xml, InvalidExpressionsRaiseTheAutomationError) {
  Document doc = MapWith(1);
  for (const char* bad : {"//mapxml/workbook[book_id='Bob's']", "document[", "count(//document)", "//document/@id"}) {
    try {
      doc.selectNodes(bad);
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), -2147467259) << bad;
      EXPECT_FALSE(e.description().empty());
    }
  }
}

TEST(Xml, LiteralsSelectAnyText) {
  EXPECT_EQ(XPathLiteral("plain"), "'plain'");
  EXPECT_EQ(XPathLiteral("Bob's notes"), "\"Bob's notes\"");
  EXPECT_EQ(XPathLiteral("say \"hi\""), "'say \"hi\"'");
  EXPECT_EQ(XPathLiteral("it's \"x\""), "concat('it', \"'\", 's \"x\"')");
  for (const char* name : {"plain", "Bob's notes", "say \"hi\"", "it's \"x\"", "''\"'", ""}) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<mapxml></mapxml>"));
    Node record = doc.createElement("document");
    record.setAttribute("filename", name);
    doc.documentElement().appendChild(record);
    Node found = doc.selectSingleNode("//mapxml/document[@filename=" + XPathLiteral(name) + "]");
    EXPECT_FALSE(found.isNothing()) << name;
  }
}

TEST(Xml, ChildrenAndAttributesByPosition) {
  Document doc = MapWith(3);
  Node root = doc.documentElement();
  ASSERT_EQ(root.childCount(), 3u);
  Node second = root.child(1);
  EXPECT_EQ(second.nodeName(), "document");
  EXPECT_EQ(second.attributeCount(), 2u);
  EXPECT_EQ(second.attribute(0), "2");
  EXPECT_EQ(second.attribute(1), "name0");
  EXPECT_EQ(second.getAttribute("missing"), "");
  EXPECT_EQ(second.child(0).firstChild().nodeName(), "#text");
  EXPECT_EQ(second.parentNode().nodeName(), "mapxml");
  EXPECT_EQ(root.parentNode().nodeName(), "#document");
  EXPECT_EQ(second.text(), "2Name 2");
  EXPECT_EQ(environment::RaisedNumber([&] { root.child(3); }), err::ObjectNotSet);
  EXPECT_EQ(environment::RaisedNumber([&] { second.attribute(2); }), err::ObjectNotSet);
  Node nothing = root.selectSingleNode("none");
  EXPECT_EQ(environment::RaisedNumber([&] { nothing.text(); }), err::ObjectNotSet);
  EXPECT_EQ(environment::RaisedNumber([&] { nothing.setAttribute("a", "b"); }), err::ObjectNotSet);
  EXPECT_EQ(environment::RaisedNumber([&] { root.appendChild(nothing); }), err::ObjectNotSet);
  EXPECT_EQ(environment::RaisedNumber([&] { doc.createElement("bad name"); }), err::Automation);
  // Reading by position in a loop sees every child in order, also after changes.
  Document big = MapWith(500);
  Node bigRoot = big.documentElement();
  for (std::size_t i = 0; i < bigRoot.childCount(); ++i)
    ASSERT_EQ(bigRoot.child(i).getAttribute("id"), std::to_string(i + 1));
  bigRoot.removeChild(bigRoot.child(0));
  EXPECT_EQ(bigRoot.child(0).getAttribute("id"), "2");
  EXPECT_EQ(bigRoot.childCount(), 499u);
}

TEST(Xml, AppendingANodeOfAnotherDocumentMovesIt) {
  Document full, filtered;
  ASSERT_TRUE(full.loadXML("<methodResponse><result><workbook><workbookId>1</workbookId></workbook>"
                           "<workbook><workbookId>2</workbookId></workbook></result></methodResponse>"));
  ASSERT_TRUE(filtered.loadXML("<methodResponse><result></result></methodResponse>"));
  Node second = full.selectSingleNode("//methodResponse/result/workbook[workbookId ='2']");
  Node id = second.child(0);
  filtered.documentElement().firstChild().appendChild(second);
  EXPECT_EQ(full.xml(), "<methodResponse><result><workbook><workbookId>1</workbookId></workbook></result></methodResponse>");
  EXPECT_EQ(filtered.xml(), "<methodResponse><result><workbook><workbookId>2</workbookId></workbook></result></methodResponse>");
  // The handles moved with the nodes.
  second.setAttribute("moved", "yes");
  id.setText("22");
  EXPECT_EQ(filtered.selectSingleNode("//workbook").xml(), "<workbook moved=\"yes\"><workbookId>22</workbookId></workbook>");
  EXPECT_EQ(second.parentNode().nodeName(), "result");
  // A node cannot go below itself.
  EXPECT_EQ(environment::RaisedNumber([&] { id.appendChild(second); }), err::Automation);
}

TEST(Xml, ACopyLeavesTheNodeWhereItIs) {
  Document full, filtered;
  ASSERT_TRUE(full.loadXML("<r><e a=\"1\"><id>7</id>text</e></r>"));
  ASSERT_TRUE(filtered.loadXML("<r></r>"));
  Node entry = full.documentElement().firstChild();
  filtered.documentElement().appendCopy(entry);
  filtered.documentElement().appendCopy(entry);
  EXPECT_EQ(full.xml(), "<r><e a=\"1\"><id>7</id>text</e></r>");
  EXPECT_EQ(filtered.xml(), "<r><e a=\"1\"><id>7</id>text</e><e a=\"1\"><id>7</id>text</e></r>");
  EXPECT_EQ(entry.parentNode().nodeName(), "r");
  // The copy is a node of its own: changing it leaves the original alone.
  filtered.documentElement().firstChild().setAttribute("a", "2");
  EXPECT_EQ(entry.getAttribute("a"), "1");
  EXPECT_EQ(environment::RaisedNumber([&] { filtered.documentElement().appendCopy(Node()); }), err::ObjectNotSet);
  EXPECT_EQ(environment::RaisedNumber([&] { entry.child(1).appendCopy(entry); }), err::Automation);  // under text
}

// The index takes, for each text in turn, the node that selecting it in a copy of the list and
// moving it out of that copy would take: the first one left with a child of that text.
TEST(Xml, AnIndexTakesWhatSelectingAndMovingOutWould) {
  const std::string list =
      "<methodResponse><document><document_id>1</document_id></document>"
      "<document><document_id>2</document_id><document_id>3</document_id></document>"  // two ids
      "<document><document_id>1</document_id></document>"                            // id 1 again
      "<document><document_id>4<b>5</b></document_id></document>"                    // text "45"
      "<other><document_id>6</document_id></other></methodResponse>";
  const std::vector<std::vector<std::string>> cases = {
      {"1", "1", "1"}, {"2", "3"}, {"3", "2"}, {"45", "4", "6", "x", ""}, {"1", "2", "1", "3", "45"}};
  for (const auto& ids : cases) {
    Document copy, moved, copied;
    ASSERT_TRUE(copy.loadXML(list));
    ASSERT_TRUE(moved.loadXML("<r></r>"));
    ASSERT_TRUE(copied.loadXML("<r></r>"));
    Document original;
    ASSERT_TRUE(original.loadXML(list));
    ChildTextIndex index(original.documentElement(), "//methodResponse/document", "document_id");
    for (const std::string& id : ids) {
      Node selected = copy.selectSingleNode("//methodResponse/document[document_id=" + XPathLiteral(id) + "]");
      Node taken = index.Take(id);
      ASSERT_EQ(selected.isNothing(), taken.isNothing()) << id;
      if (selected.isNothing()) continue;
      moved.documentElement().appendChild(selected);
      copied.documentElement().appendCopy(taken);
    }
    EXPECT_EQ(copied.xml(), moved.xml()) << ids.size();
    EXPECT_EQ(original.xml(), list);
  }
  // A new index reads the document as it is now: after a text, an attribute or the structure
  // changed, and for another path or child name.
  Document doc;
  ASSERT_TRUE(doc.loadXML(list));
  Node root = doc.documentElement();
  const char* path = "//methodResponse/document";
  EXPECT_FALSE(ChildTextIndex(root, path, "document_id").Take("1").isNothing());
  root.firstChild().firstChild().firstChild().setText("9");  // the text node itself
  EXPECT_FALSE(ChildTextIndex(root, path, "document_id").Take("9").isNothing());
  const char* unskipped = "//methodResponse/document[not(@skip)]";
  EXPECT_FALSE(ChildTextIndex(root, unskipped, "document_id").Take("2").isNothing());
  root.child(1).setAttribute("skip", "1");
  EXPECT_TRUE(ChildTextIndex(root, unskipped, "document_id").Take("2").isNothing());
  root.removeChild(root.firstChild());
  EXPECT_TRUE(ChildTextIndex(root, path, "document_id").Take("9").isNothing());
  EXPECT_FALSE(ChildTextIndex(root, "//methodResponse/other", "document_id").Take("6").isNothing());
  EXPECT_EQ(environment::RaisedNumber([&] { ChildTextIndex(Node(), "//document", "document_id"); }), err::ObjectNotSet);
  EXPECT_EQ(environment::RaisedNumber([&] { ChildTextIndex(doc.documentElement(), "count(//a)", "b"); }),
            err::Automation);
}

TEST(Xml, HandlesOutliveRemovalReplacementAndReload) {
  Document doc = MapWith(3);
  Node root = doc.documentElement();
  Node old = root.selectSingleNode("document[@id='2']");
  Node oldName = old.child(1);
  Node fresh = doc.createElement("document");
  fresh.setAttribute("id", "2");
  EXPECT_TRUE(fresh.parentNode().isNothing());
  root.replaceChild(fresh, old);
  EXPECT_EQ(root.child(1).xml(), "<document id=\"2\"></document>");  // same place
  EXPECT_TRUE(old.parentNode().isNothing());
  EXPECT_EQ(oldName.text(), "Name 2");
  root.appendChild(old);  // a removed node can come back
  EXPECT_EQ(root.childCount(), 4u);
  EXPECT_EQ(root.removeChild(root.child(0)).getAttribute("id"), "1");
  EXPECT_EQ(environment::RaisedNumber([&] { root.removeChild(oldName); }), err::Automation);  // not a child of root
  ASSERT_TRUE(doc.loadXML("<other/>"));
  EXPECT_EQ(oldName.text(), "Name 2");
  EXPECT_EQ(doc.xml(), "<other></other>");
  Node element;
  {
    Document shortLived = MapWith(1);
    element = shortLived.documentElement().child(0);
  }
  EXPECT_EQ(element.getAttribute("id"), "1");  // the handle keeps its document
  element.setText("flat");
  EXPECT_EQ(element.xml(), "<document id=\"1\" filename=\"name1\">flat</document>");
}

TEST(Xml, Base64TypedValues) {
  Document doc;
  Node encoder = doc.createElement("Encoder");
  encoder.setDataType("bin.base64");
  encoder.setNodeTypedValue(std::string("a\0b\0c\0\0", 7));
  EXPECT_EQ(encoder.text(), "YQBiAGMAAA==");
  encoder.setNodeTypedValue(std::string(1, '\0'));
  EXPECT_EQ(encoder.text(), "AA==");
  EXPECT_EQ(environment::RaisedNumber([&] { encoder.setDataType("bin.hex2"); }), err::Automation);

  auto decoder = [](const std::string& text) {
    return "<DECODER xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" dt:dt=\"bin.base64\">" + text + "</DECODER>";
  };
  Document in;
  ASSERT_TRUE(in.loadXML(decoder("YQBi\r\nAGMA AA==")));
  EXPECT_EQ(in.selectSingleNode("DECODER").nodeTypedValue(), std::string("a\0b\0c\0\0", 7));
  ASSERT_TRUE(in.loadXML(decoder("YQ*Bi")));
  EXPECT_EQ(environment::RaisedNumber([&] { in.selectSingleNode("DECODER").nodeTypedValue(); }), err::Automation);
  // Without the type an element's typed value is its text.
  ASSERT_TRUE(in.loadXML("<x>YQ==</x>"));
  EXPECT_EQ(in.documentElement().nodeTypedValue(), "YQ==");
}

}  // namespace
