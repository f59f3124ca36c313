#include <gtest/gtest.h>

#include <string>

#include "common/AddinState.h"
#include "common/requests/PublishCalls.h"
#include "common/requests/ServiceTransport.h"
#include "common/requests/SheetApiRequest.h"
#include "common/requests/WriterApiRequest.h"
#include "common/requests/tests/StandIn.h"
#include "platform/http/Http.h"
#include "service/Defaults.h"

namespace tavo {
namespace {

using service::Fault;
using service::FaultKind;
using test::RaisedNumber;

constexpr std::string_view kKey = "7c0e9a5b31f84d62a09e3b7f5c18d24e";

TEST(ServiceAddresses, TheAddinsDefaultsAreTheStandInsNames) {
  namespace d = service::defaults;
  const std::pair<std::string_view, std::string_view> cases[] = {
      {kWriterParameters.defaultWebUrl, d::kWriterUrl},
      {kWriterParameters.defaultApiUrl, d::kWriterApiUrl},
      {kWriterParameters.privateApiBaseUrl, d::kWriterApiBaseUrl},
      {kSheetParameters.defaultWebUrl, d::kSheetUrl},
      {kSheetParameters.defaultApiUrl, d::kSheetApiUrl},
      {kSheetParameters.privateApiBaseUrl, d::kSheetApiBaseUrl},
      {kWriterParameters.defaultAccountsUrl, d::kAccountsUrl},
      {kSheetParameters.defaultAccountsUrl, d::kAccountsUrl},
      {kWriterParameters.registrationUrl, d::kRegisterUrl},
      {kSheetParameters.registrationUrl, d::kRegisterUrl},
      {kWriterParameters.homePageUrl, d::kHomeUrl},
      {kApiKey, d::kApiKey},
  };
  for (const auto& [addin, service] : cases) EXPECT_EQ(addin, service);
}

class WriterExchangeTest : public test::StandInTest {
 protected:
  void SetUp() override {
    StandInTest::SetUp();
    SignIn(state_);
  }
  // The one request the service received since the last call.
  service::RecordedRequest Received() {
    const auto requests = server_->Requests();
    server_->ClearRequests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? service::RecordedRequest{} : requests.back();
  }
  AddinState state_{kWriterParameters};
};

TEST_F(WriterExchangeTest, MethodCallsArriveAsBuiltWithOnlyTheUserAgent) {
  const std::string id = server_->AddDocument(test::kUser, "Plan", "<p>1</p>");
  const std::string bodies[] = {GetDocumentsBody(), ViewDocumentBody("Plan", id, "1"), GetVersionBody(id),
                                SaveDocumentBody("Plan", "<p>2</p>", id, "1")};
  for (const std::string& body : bodies) {
    const WriterAnswer answer = ClassifyWriterAnswer(SendWriterRequest(state_, body), "");
    EXPECT_EQ(answer.kind, AnswerKind::Success) << body;
    const service::RecordedRequest request = Received();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.host, "writer.tavo.example");
    EXPECT_EQ(request.path, "/api");
    EXPECT_EQ(request.query, "apikey=" + std::string(kKey) + "&ticket=" + state_.gTicket);
    EXPECT_EQ(request.body, body);
    EXPECT_EQ(request.Header("User-Agent"), "Tavo Office Plugin-2.0.0");
    EXPECT_EQ(request.Header("Content-Type"), "");
    EXPECT_EQ(request.Header("Cookie"), "");
  }
  EXPECT_EQ(server_->FindDocument(id)->content, "<p>2</p>");
}

TEST_F(WriterExchangeTest, TheServiceReadsBackNamesAndContentsExactly) {
  const std::string content = "<p>if (a[b[0]]>1) &amp; x</p>\x01";
  const std::string answer = SendWriterRequest(state_, NewDocumentBody("R&D <draft>", content));
  const WriterAnswer created = ClassifyWriterAnswer(answer, "//methodResponse/create");
  ASSERT_EQ(created.kind, AnswerKind::Success) << answer;
  const std::string id = created.document.selectSingleNode("//methodResponse/create/document_id").text();
  EXPECT_EQ(server_->FindDocument(id)->name, "R&D <draft>");
  EXPECT_EQ(server_->FindDocument(id)->content, "<p>if (a[b[0]]>1) &amp; x</p>");

  EXPECT_EQ(ClassifyWriterAnswer(SendWriterRequest(state_, SaveDocumentBody("R&D <draft>", "]]>]]>", id, "1")),
                                 "//methodResponse/save/info").kind,
            AnswerKind::Success);
  EXPECT_EQ(server_->FindDocument(id)->content, "]]>]]>");
}

TEST_F(WriterExchangeTest, ViewAndVersionGiveTheAnswerTextOrNothing) {
  const std::string id = server_->AddDocument(test::kUser, "Plan", "<p>1</p>", 3);
  const WriterAnswer view = ClassifyWriterAnswer(ViewDocument(state_, "Plan", id, "3"), "");
  ASSERT_EQ(view.kind, AnswerKind::Success);
  EXPECT_EQ(view.document.selectSingleNode("//methodResponse/view/content").text(), "<p>1</p>");
  EXPECT_EQ(ClassifyWriterAnswer(GetDocumentVersion(state_, id), "").document
                .selectSingleNode("//methodResponse/version").text(),
            "3");

  // The service's own refusal is an answer like any other.
  state_.gTicket = "";
  const WriterAnswer refused = ClassifyWriterAnswer(GetDocumentVersion(state_, id), "");
  EXPECT_EQ(refused.kind, AnswerKind::ErrorCode);
  EXPECT_EQ(refused.errorCode, "1401");
  EXPECT_EQ(server_->Requests().back().query, "apikey=" + std::string(kKey) + "&ticket=");

  test::StandInTest::ShortTimeouts();
  for (FaultKind kind : {FaultKind::Hang, FaultKind::RefuseConnection, FaultKind::Truncated}) {
    server_->InjectFault(Fault("/api", kind, 2));
    EXPECT_EQ(ViewDocument(state_, "Plan", id, "3"), "");
    EXPECT_EQ(GetDocumentVersion(state_, id), "");
  }
}

TEST_F(WriterExchangeTest, TransportFailuresRaiseAfterTheTimeouts) {
  test::StandInTest::ShortTimeouts();
  const struct {
    Fault fault;
    long number;
  } cases[] = {
      {Fault("/api", FaultKind::Hang), platform::http::err::Timeout},
      {Fault("/api", FaultKind::Delay).WithDelay(std::chrono::milliseconds(20000)), platform::http::err::Timeout},
      {Fault("/api", FaultKind::RefuseConnection), platform::http::err::ConnectionAborted},
      {Fault("/api", FaultKind::Truncated), platform::http::err::ConnectionAborted},
  };
  for (const auto& c : cases) {
    server_->InjectFault(c.fault);
    EXPECT_EQ(RaisedNumber([&] { SendWriterRequest(state_, GetDocumentsBody()); }), c.number);
  }
  server_->Stop();
  EXPECT_EQ(RaisedNumber([&] { SendWriterRequest(state_, GetDocumentsBody()); }),
            platform::http::err::ResourceNotFound);
}

TEST_F(WriterExchangeTest, MalformedAnswersTakeTheFailurePath) {
  for (FaultKind kind : {FaultKind::NotXml, FaultKind::Html500, FaultKind::WrongXml}) {
    server_->InjectFault(Fault("writer.newDocument", kind));
    const WriterAnswer answer = ClassifyWriterAnswer(SendWriterRequest(state_, NewDocumentBody("a", "b")),
                                                     "//methodResponse/create");
    EXPECT_EQ(answer.kind, AnswerKind::Failure) << static_cast<int>(kind);
  }
  server_->InjectFault(Fault("writer.newDocument", FaultKind::ErrorCode, 1, "1890"));
  const WriterAnswer blocked =
      ClassifyWriterAnswer(SendWriterRequest(state_, NewDocumentBody("a", "b")), "//methodResponse/create");
  EXPECT_EQ(blocked.kind, AnswerKind::ErrorCode);
  EXPECT_EQ(blocked.errorCode, "1890");
}

TEST_F(WriterExchangeTest, PublishingCallsOnThePrivateBase) {
  const std::string id = server_->AddDocument(test::kUser, "Plan", "<p/>");
  EXPECT_NE(MakeDocumentPublic(state_, id), "");
  EXPECT_NE(UpdateDocumentLicense(state_, id, "Attribution Share Alike", "http://creativecommons.org/license/by-sa/",
                                  "http://sheet.tavo.example/i.gif"),
            "");
  const service::PublishRecord publish = server_->FindDocument(id)->publish;
  EXPECT_EQ(publish.makePublicCalls, 1);
  EXPECT_TRUE(publish.isPublic);
  EXPECT_TRUE(publish.publicQuery.ends_with("&showcomment=true&allowcomment=true&issocial=true"));
  EXPECT_EQ(publish.licenseName, "Attribution Share Alike");
  EXPECT_EQ(publish.licenseUrl, "http://creativecommons.org/license/by-sa/");
  EXPECT_EQ(publish.licenseImage, "http://sheet.tavo.example/i.gif");
  for (const auto& request : server_->Requests()) {
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.body, "");
    EXPECT_EQ(request.Header("User-Agent"), "Tavo Office Plugin-2.0.0");
  }
  // A call that cannot be sent is a failure the publish must hear of.
  server_->Stop();
  EXPECT_EQ(RaisedNumber([&] { MakeDocumentPublic(state_, id); }), platform::http::err::ResourceNotFound);
  EXPECT_EQ(RaisedNumber([&] { UpdateDocumentLicense(state_, id, "a", "b", "c"); }),
            platform::http::err::ResourceNotFound);
}

class SheetExchangeTest : public test::StandInTest {
 protected:
  void SetUp() override {
    StandInTest::SetUp();
    SignIn(state_);
  }
  platform::xml::Document Send(std::string_view url, std::string body) {
    platform::xml::Document doc;
    EXPECT_TRUE(doc.loadXML(SendSheetRequest(url, std::move(body))));
    return doc;
  }
  AddinState state_{kSheetParameters};
};

TEST_F(SheetExchangeTest, ListAddAndSaveAgainstTheService) {
  const platform::xml::Document added = Send(ApiUrl(state_), AddWorkbookBody("Budget & <Plan>", "AAEC"));
  EXPECT_FALSE(AddAnswerError(added).isError);
  const std::string id = added.selectSingleNode("//methodResponse/result/workbookId").text();
  const std::string lock = added.selectSingleNode("//methodResponse/result/updateLock").text();
  EXPECT_EQ(server_->FindWorkbook(id)->name, "Budget & <Plan>");
  EXPECT_EQ(server_->FindWorkbook(id)->bytes, std::string("\x00\x01\x02", 3));

  const platform::xml::Document list = Send(ApiUrl(state_), GetWorkbooksBody());
  EXPECT_FALSE(ListAnswerError(list).isError);
  EXPECT_EQ(list.selectSingleNode("//methodResponse/result/workbook[workbookId='" + id + "']/workbookName").text(),
            "Budget & <Plan>");

  // A stale update lock is refused as a newer online version; overwriting goes through.
  const SheetErrorCheck stale = SaveAnswerError(Send(SaveWorkbookUrl(state_), SaveWorkbookBody(id, "old", "AAEC", false)));
  EXPECT_TRUE(stale.isError);
  EXPECT_EQ(stale.code, 2855);
  EXPECT_EQ(server_->Requests().back().query,
            "apikey=" + std::string(kKey) + "&ticket=" + state_.gTicket + "&time=130507");
  EXPECT_FALSE(SaveAnswerError(Send(SaveWorkbookUrl(state_), SaveWorkbookBody(id, "old", "AAEC", true))).isError);
  EXPECT_FALSE(SaveAnswerError(Send(SaveWorkbookUrl(state_), SaveWorkbookBody(id, lock, "AAEC", true))).isError);

  state_.gTicket = "";
  EXPECT_EQ(ListAnswerError(Send(ApiUrl(state_), GetWorkbooksBody())).code, 2401);
  EXPECT_EQ(AddAnswerError(Send(ApiUrl(state_), AddWorkbookBody("x", "AAEC"))).code, 2401);
  for (const auto& request : server_->Requests()) {
    EXPECT_EQ(request.path, "/api/xml");
    EXPECT_EQ(request.Header("User-Agent"), "Tavo Office Plugin-2.0.0");
    EXPECT_EQ(request.Header("Content-Type"), "");
  }
}

TEST_F(SheetExchangeTest, SilentAndMalformedAnswers) {
  ShortTimeouts();
  server_->InjectFault(Fault("saveWorkbook", FaultKind::Hang));
  EXPECT_EQ(RaisedNumber([&] { SendSheetRequest(SaveWorkbookUrl(state_), SaveWorkbookBody("1", "L", "AA==", false)); }),
            platform::http::err::Timeout);
  for (FaultKind kind : {FaultKind::NotXml, FaultKind::Html500}) {
    server_->InjectFault(Fault("getWorkbooks", kind));
    platform::xml::Document doc;
    EXPECT_FALSE(doc.loadXML(SendSheetRequest(ApiUrl(state_), GetWorkbooksBody()))) << static_cast<int>(kind);
  }
}

TEST_F(SheetExchangeTest, MakePublicEndsWithExternal) {
  const std::string id = server_->AddWorkbook(test::kUser, "Budget", "bytes");
  MakeDocumentPublic(state_, id);
  UpdateDocumentLicense(state_, id, "All Rights Reserved", "NA", "NA");
  const service::PublishRecord publish = server_->FindWorkbook(id)->publish;
  EXPECT_TRUE(publish.publicQuery.ends_with("&showcomment=true&allowcomment=true&external=true"));
  EXPECT_EQ(publish.licenseName, "All Rights Reserved");
  EXPECT_EQ(server_->Requests().front().host, "sheet.tavo.example");
}

}  // namespace
}  // namespace tavo
