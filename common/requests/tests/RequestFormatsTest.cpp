#include <gtest/gtest.h>

#include <string>

#include "common/AddinState.h"
#include "common/requests/PublishCalls.h"
#include "common/requests/ServiceTransport.h"
#include "common/requests/SheetApiRequest.h"
#include "common/requests/WriterApiRequest.h"
#include "common/tests/TestEnvironment.h"

namespace tavo {
namespace {

constexpr std::string_view kKey = "7c0e9a5b31f84d62a09e3b7f5c18d24e";

std::string Member(const std::string& name, const std::string& type, const std::string& value) {
  return "<member><name>" + name + "</name><value><" + type + ">" + value + "</" + type + "></value></member>";
}

std::string MethodCall(const std::string& method, const std::string& members) {
  return "<methodCall><methodName>" + method + "</methodName><params><param><value><struct>" + members +
         "</struct></value></param></params></methodCall>";
}

TEST(WriterApiRequest, EachMethodBody) {
  const struct {
    std::string body, expected;
  } cases[] = {
      {GetDocumentsBody(),
       "<methodCall><methodName>writer.getDocuments</methodName><params><param><value><struct></struct></value>"
       "</param></params></methodCall>"},
      {GetSharedDocumentsBody(), MethodCall("writer.getSharedDocuments", "")},
      {ViewDocumentBody("Plan", "17", "2"),
       MethodCall("writer.viewDocument", Member("documentname", "string", "Plan") + Member("documentid", "long", "17") +
                                             Member("version", "double", "2"))},
      {GetVersionBody("17"), MethodCall("writer.getVersion", Member("documentid", "double", "17"))},
      {SaveDocumentBody("Plan", "<p>x</p>", "17", "2.0"),
       MethodCall("writer.saveDocument", Member("documentname", "string", "Plan") +
                                             Member("content", "string", "<![CDATA[<p>x</p>]]>") +
                                             Member("documentid", "long", "17") + Member("version", "double", "2.0"))},
      {NewDocumentBody("Plan", ""),
       MethodCall("writer.newDocument",
                  Member("documentname", "string", "Plan") + Member("content", "string", "<![CDATA[]]>"))},
      {UploadImageBody("png", "iVBORw0K"),
       MethodCall("writer.uploadImage",
                  Member("contenttype", "string", "png") + Member("content", "string", "iVBORw0K"))},
  };
  for (const auto& c : cases) EXPECT_EQ(c.body, c.expected);
}

TEST(WriterApiRequest, ValuesAreEscapedAndContentsKeepEveryCharacterButCodeOne) {
  EXPECT_EQ(NewDocumentBody("R&D <draft>", "a]]>b\x01" "c\x02\td"),
            MethodCall("writer.newDocument", Member("documentname", "string", "R&amp;D &lt;draft&gt;") +
                                                 Member("content", "string",
                                                        "<![CDATA[a]]]]><![CDATA[>bc\x02\td]]>")));
  // Ids and versions go in as the caller holds them.
  EXPECT_EQ(ViewDocumentBody("a", "0017", " 2"),
            MethodCall("writer.viewDocument", Member("documentname", "string", "a") +
                                                  Member("documentid", "long", "0017") +
                                                  Member("version", "double", " 2")));
}

TEST(SheetApiRequest, EachMethodBody) {
  const std::string save =
      "<request><methodName>tavosheet.userView.saveWorkbook</methodName><params>"
      "<param><name>workbookId</name><value>21</value></param>"
      "<param><name>updateLock</name><value>L7</value></param>"
      "<param><name>content</name><value><![CDATA[0M8R\r\n4KGx]]></value></param>"
      "<param><name>contentType</name><value>XLS</value></param>";
  const struct {
    std::string body, expected;
  } cases[] = {
      {GetWorkbooksBody(),
       "<request><methodName>tavosheet.userView.getWorkbooks</methodName><params></params></request>"},
      {SaveWorkbookBody("21", "L7", "0M8R\r\n4KGx", false), save + "</params></request>"},
      {SaveWorkbookBody("21", "L7", "0M8R\r\n4KGx", true),
       save + "<param><name>overwrite</name><value>true</value></param></params></request>"},
      {AddWorkbookBody("Budget & <Plan>", "0M8R"),
       "<request><methodName>tavosheet.userView.addWorkbook</methodName><params>"
       "<param><name>workbookName</name><value>Budget &amp; &lt;Plan&gt;</value></param>"
       "<param><name>content</name><value><![CDATA[0M8R]]></value></param>"
       "<param><name>contentType</name><value>XLS</value></param></params></request>"},
      // A CDATA end in the content is split over two sections.
      {AddWorkbookBody("B", "a]]>b"),
       "<request><methodName>tavosheet.userView.addWorkbook</methodName><params>"
       "<param><name>workbookName</name><value>B</value></param>"
       "<param><name>content</name><value><![CDATA[a]]]]><![CDATA[>b]]></value></param>"
       "<param><name>contentType</name><value>XLS</value></param></params></request>"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.body, c.expected);
}

class UrlTest : public test::CoreTest {};

TEST_F(UrlTest, MethodAndPublishingUrls) {
  AddinState writer(kWriterParameters);
  writer.gWriterApiUrl = "http://writer.tavo.example/api";
  writer.gWriterApiBaseUrl = "http://writer.tavo.example/api/";
  AddinState sheet(kSheetParameters);
  sheet.gWriterApiUrl = "http://sheet.tavo.example/api/xml";
  sheet.gWriterApiBaseUrl = "http://sheet.tavo.example/api/";
  sheet.gTicket = writer.gTicket = "T1";
  const std::string auth = "?apikey=" + std::string(kKey) + "&ticket=T1";

  EXPECT_EQ(ApiUrl(writer), "http://writer.tavo.example/api" + auth);
  EXPECT_EQ(ApiUrl(sheet), "http://sheet.tavo.example/api/xml" + auth);
  EXPECT_EQ(SaveWorkbookUrl(sheet), "http://sheet.tavo.example/api/xml" + auth + "&time=130507");
  EXPECT_EQ(MakeDocumentPublicUrl(writer, "17"), "http://writer.tavo.example/api/private/xml/makePublic/17" + auth +
                                                     "&showcomment=true&allowcomment=true&issocial=true");
  EXPECT_EQ(MakeDocumentPublicUrl(sheet, "21"), "http://sheet.tavo.example/api/private/xml/makePublic/21" + auth +
                                                    "&showcomment=true&allowcomment=true&external=true");
  EXPECT_EQ(UpdateDocumentLicenseUrl(writer, "17", "Attribution Share Alike", "http://cc.example/by-sa/", "i.gif"),
            "http://writer.tavo.example/api/private/TavoSocial/xml/updateLicense/17" + auth +
                "&licenseurl=http://cc.example/by-sa/&licenseimage=i.gif&licensename=Attribution Share Alike");

  // Signed out, the URLs are still whole.
  writer.gTicket = sheet.gTicket = "";
  EXPECT_EQ(ApiUrl(writer), "http://writer.tavo.example/api?apikey=" + std::string(kKey) + "&ticket=");
  EXPECT_EQ(SaveWorkbookUrl(sheet), "http://sheet.tavo.example/api/xml?apikey=" + std::string(kKey) +
                                        "&ticket=&time=130507");
}

// A state whose language texts read as their own names, so a table's choice shows.
class MessageTableTest : public test::CoreTest {
 protected:
  static void NameTexts(AddinState& state) {
    for (const std::string& name : state.strings.Names()) state.strings.Set(name, name);
  }
};

TEST_F(MessageTableTest, WriterCallersMapCodesAsText) {
  AddinState state(kWriterParameters);
  NameTexts(state);
  const std::string blocked =
      "Your Tavo API key has been temporarily blocked. Please contact us at api-support@tavo.example for further "
      "details.";
  const std::string createFailed = "Document Create failed. Please try to 'Add' it again.";
  const struct {
    WriterCaller caller;
    std::string m1401, m1807, m1890, other;
    int kind;
  } cases[] = {
      {WriterCaller::DocumentList, "gMsg17", "gMsg18", "gMsg19", "gMsg20", 1},
      {WriterCaller::OpenDocument, "gMsg17", "gMsg18", "gMsg19", "gMsg20", 0},
      {WriterCaller::VersionCheck, "gMsg17", "gMsg18", "gMsg19", "gMsg20", 1},
      {WriterCaller::Save, "gMsg17", "gMsg32", "gMsg19", "gMsg32", 0},
      {WriterCaller::Add, "gMsg17", "gMsg33", "gMsg19", "gMsg33", 0},
      {WriterCaller::ListRefresh, "gMsg17", "gMsg25", "gMsg19", "gMsg25", 0},
      {WriterCaller::Publish, "Authentication Failed.Please Login again.", createFailed, blocked, createFailed, 0},
  };
  for (const auto& c : cases) {
    const auto message = [&](std::string_view code) { return WriterErrorMessage(state, c.caller, code); };
    EXPECT_EQ(message("1401").text, c.m1401);
    EXPECT_EQ(message("1807").text, c.m1807);
    EXPECT_EQ(message("1890").text, c.m1890);
    for (std::string_view other : {"1500", "01401", " 1401", "1401 ", ""}) EXPECT_EQ(message(other).text, c.other);
    EXPECT_EQ(message("1401").kind, c.kind);
    EXPECT_EQ(message("9").kind, c.kind);
  }
}

TEST(WriterAnswer, ClassifiedBySuccessElementThenErrorCode) {
  const std::string error = "<methodResponse><error><errorCode>1807</errorCode><info>gone</info></error></methodResponse>";
  const struct {
    std::string text, successPath;
    AnswerKind kind;
    std::string code;
  } cases[] = {
      {"<methodResponse><save><info>ok</info></save></methodResponse>", "//methodResponse/save/info",
       AnswerKind::Success, ""},
      {error, "//methodResponse/save/info", AnswerKind::ErrorCode, "1807"},
      {"<methodResponse><save/></methodResponse>", "//methodResponse/save/info", AnswerKind::Failure, ""},
      {"<html><body>Bad gateway</body>", "//methodResponse/create", AnswerKind::Failure, ""},
      {"", "//methodResponse/url", AnswerKind::Failure, ""},
      // Lists and views have no success element: no error code is success, also with no entries.
      {"<methodResponse></methodResponse>", "", AnswerKind::Success, ""},
      {error, "", AnswerKind::ErrorCode, "1807"},
      {"<methodResponse><error><errorCode> 1401</errorCode></error></methodResponse>", "", AnswerKind::ErrorCode,
       " 1401"},
      {"not xml", "", AnswerKind::Failure, ""},
  };
  for (const auto& c : cases) {
    const WriterAnswer answer = ClassifyWriterAnswer(c.text, c.successPath);
    EXPECT_EQ(answer.kind, c.kind) << c.text;
    EXPECT_EQ(answer.errorCode, c.code) << c.text;
  }
}

std::string SheetError(const std::string& code) {
  return "<methodResponse><error><code>" + code + "</code><info>no</info></error></methodResponse>";
}

platform::xml::Document Parsed(const std::string& text) {
  platform::xml::Document doc;
  EXPECT_TRUE(doc.loadXML(text)) << text;
  return doc;
}

TEST(SheetAnswer, ListComparesTheCodeAsText) {
  const struct {
    std::string text;
    bool error;
    std::optional<int> code;
  } cases[] = {
      {"<methodResponse><result/></methodResponse>", false, std::nullopt},
      {SheetError("2401"), true, 2401},
      {SheetError(" 2401"), true, std::nullopt},
      {SheetError("2500"), true, std::nullopt},
      {SheetError(""), true, std::nullopt},
  };
  for (const auto& c : cases) {
    const SheetErrorCheck check = ListAnswerError(Parsed(c.text));
    EXPECT_EQ(check.isError, c.error) << c.text;
    EXPECT_EQ(check.code, c.code) << c.text;
    EXPECT_TRUE(check.showsMessage) << c.text;
  }
}

TEST(SheetAnswer, AddComparesTheCodeAsANumber) {
  const struct {
    std::string text;
    bool error;
    std::optional<int> code;
    bool showsMessage;
  } cases[] = {
      {"<methodResponse><result><workbookId>5</workbookId></result></methodResponse>", false, std::nullopt, true},
      {SheetError("2500"), true, 2500, true},
      {SheetError("2401"), true, 2401, true},
      {SheetError(" 2401 "), true, 2401, true},
      {SheetError("2401.0"), true, 2401, true},
      {SheetError("2851"), true, std::nullopt, true},
      {SheetError("abc"), true, std::nullopt, false},
      {SheetError(""), true, std::nullopt, false},
  };
  for (const auto& c : cases) {
    const SheetErrorCheck check = AddAnswerError(Parsed(c.text));
    EXPECT_EQ(check.isError, c.error) << c.text;
    EXPECT_EQ(check.code, c.code) << c.text;
    EXPECT_EQ(check.showsMessage, c.showsMessage) << c.text;
  }
}

TEST(SheetAnswer, SaveReadsBothRootsAsSixteenBitCodes) {
  const auto both = [](const std::string& upper, const std::string& lower) {
    return "<methodResponse><error><code>" + upper + "</code></error><methodresponse><error><code>" + lower +
           "</code></error></methodresponse></methodResponse>";
  };
  const struct {
    std::string text;
    bool error;
    std::optional<int> code;
  } cases[] = {
      {"<methodResponse><result><workbookId>5</workbookId></result></methodResponse>", false, std::nullopt},
      {"<methodResponse><foo/></methodResponse>", false, std::nullopt},  // neither: treated as saved
      {SheetError("2855"), true, 2855},
      {SheetError(" 2401"), true, 2401},
      {SheetError("2855.4"), true, 2855},
      {SheetError("2854.5"), true, 2854},  // halves round to even
      {SheetError("-7"), true, -7},
      {SheetError("0"), false, std::nullopt},
      {SheetError("abc"), false, std::nullopt},
      {SheetError(""), false, std::nullopt},
      {SheetError("40000"), true, std::nullopt},  // an error, but no code of its own
      {"<methodresponse><error><code>2852</code></error></methodresponse>", true, 2852},
      {both("2852", "2855"), true, 2855},   // the lower-case root decides
      {both("2852", "0"), true, 2852},
      {both("2852", "abc"), true, 2852},
      {both("2855", "40000"), true, 2855},  // the first code stands
      {both("40000", "2401"), true, 2401},
      {both("0", "40000"), true, std::nullopt},
  };
  for (const auto& c : cases) {
    const SheetErrorCheck check = SaveAnswerError(Parsed(c.text));
    EXPECT_EQ(check.isError, c.error) << c.text;
    EXPECT_EQ(check.code, c.code) << c.text;
  }
}

TEST_F(MessageTableTest, SheetCallersMapCodesToMessagesAndDialogs) {
  AddinState state(kSheetParameters);
  NameTexts(state);
  const std::string auth = "Authentication Failed. Please Login again.";
  const std::string encoding = "Unable to Save.Encoding is not proper";
  const std::string unable = "Unable to Save the Workbook";
  const std::string confirm = "[confirm]", license = "[license]", lowVersion = "[low version]";
  const std::optional<int> codes[] = {2401, 2500, 2851, 2852, 2853, 2854, 2855, 2856, std::nullopt};
  const struct {
    SheetCaller caller;
    std::vector<std::string> outcomes;  // by the codes above
  } cases[] = {
      {SheetCaller::SaveWorkbook,
       {"gMsg17", "gMsg63", confirm, "gMsg18", "gMsg61", "gMsg62", lowVersion, "gMsg54", "gMsg54"}},
      {SheetCaller::SaveWorkbookChecked,
       {auth, encoding, license, "The Document has been trashed and cannot be opened.",
        "The Document is Shared to you and you can't save.", "The Document is in use and cannot be saved now.",
        lowVersion, unable, unable}},
      {SheetCaller::AddWorkbook,
       {"gMsg17", "gMsg63", "gMsg54", "gMsg54", "gMsg54", "gMsg54", "gMsg54", "gMsg54", "gMsg54"}},
      {SheetCaller::AddPublicWorkbook, {auth, encoding, unable, unable, unable, unable, unable, unable, unable}},
      {SheetCaller::GetWorkbooks,
       {"gMsg17", "gMsg54", "gMsg54", "gMsg54", "gMsg54", "gMsg54", "gMsg54", "gMsg54", "gMsg54"}},
  };
  for (const auto& c : cases) {
    for (size_t i = 0; i < std::size(codes); ++i) {
      const SheetErrorAction action = SheetErrorFor(state, c.caller, codes[i]);
      const std::string shown = action.dialog == SheetDialog::Confirm      ? confirm
                                : action.dialog == SheetDialog::License    ? license
                                : action.dialog == SheetDialog::LowVersion ? lowVersion
                                                                           : action.message;
      EXPECT_EQ(shown, c.outcomes[i]) << static_cast<int>(c.caller) << " code " << codes[i].value_or(0);
    }
  }
}

}  // namespace
}  // namespace tavo
