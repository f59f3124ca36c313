// Injected faults as a client of the http layer meets them.
#include <gtest/gtest.h>

#include "platform/environment/TestSupport.h"
#include "platform/http/Http.h"
#include "platform/http/XmlHttpRequest.h"
#include "service/Defaults.h"
#include "service/tests/Fixture.h"

namespace tavo::service::test {
namespace {

namespace http = platform::http;
using platform::environment::RaisedNumber;

class FaultTest : public ServiceTest {
 protected:
  void TearDown() override {
    http::ResetTimeouts();
    ServiceTest::TearDown();
  }
  // A word-processor list request through the http layer.
  http::XmlHttpRequest List() {
    http::XmlHttpRequest req;
    req.open("POST", server_->Url() + "/api" + Auth(ticket_));
    req.send(WriterBody("writer.getDocuments"));
    return req;
  }
  platform::environment::TempEnvironment env_;
};

TEST_F(FaultTest, AnswersThatAreNotTheExpectedAnswer) {
  const struct {
    FaultKind kind;
    long status;
    const char* contains;
    bool xml;
  } cases[] = {
      {FaultKind::NotXml, 200, "unavailable", false},
      {FaultKind::Html500, 500, "Internal Server Error", false},
      {FaultKind::WrongXml, 200, "<unexpected>", true},
  };
  for (const auto& c : cases) {
    server_->InjectFault({"/api", c.kind});
    auto req = List();
    EXPECT_EQ(req.status(), c.status);
    EXPECT_NE(req.responseText().find(c.contains), std::string::npos) << req.responseText();
    pugi::xml_document doc;
    EXPECT_EQ(static_cast<bool>(doc.load_string(req.responseText().c_str())), c.xml) << req.responseText();
  }
  EXPECT_EQ(List().responseText(), "<methodResponse/>");  // each fault was used up
}

TEST_F(FaultTest, ErrorCodesTakeTheFormOfTheApiAsked) {
  server_->InjectFault({"saveDocument", FaultKind::ErrorCode, 1, "1807"});
  server_->InjectFault({"/api/xml", FaultKind::ErrorCode, 1, "2854"});
  server_->InjectFault({"/open.do", FaultKind::ErrorCode, 1, "503"});
  EXPECT_EQ(Text(Writer("writer.saveDocument"), "/methodResponse/error/errorCode"), "1807");
  EXPECT_EQ(Text(Sheet("getWorkbooks"), "/methodResponse/error/code"), "2854");
  EXPECT_EQ(Get("/open.do" + Auth(ticket_))->status, 503);
}

TEST_F(FaultTest, CountsAndMatchesDecideWhichRequestsAreHit) {
  server_->InjectFault({"writer.getDocuments", FaultKind::ErrorCode, 2, "1401"});
  server_->InjectFault({"/api/private/", FaultKind::ErrorCode, -1, "1890"});
  EXPECT_EQ(Text(Writer("writer.getVersion"), "//errorCode"), "1807");  // another method: untouched
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//errorCode"), "1401");
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//errorCode"), "1401");
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//errorCode"), "");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(Text(Post("/api/private/xml/makePublic/1" + Auth(ticket_), "", std::string(defaults::kWriterHost))->body,
                   "//errorCode"),
              "1890");
  server_->ClearFaults();
  EXPECT_EQ(Text(Post("/api/private/xml/makePublic/1" + Auth(ticket_), "", std::string(defaults::kWriterHost))->body,
                 "//errorCode"),
            "1807");
}

TEST_F(FaultTest, BrokenConnectionsRaiseTransportErrors) {
  const std::string id = server_->AddDocument(kUser, "Report", "<p>1</p>");
  const struct {
    FaultKind kind;
    long number;
  } cases[] = {
      {FaultKind::Truncated, http::err::ConnectionAborted},
      {FaultKind::RefuseConnection, http::err::ConnectionAborted},
  };
  for (const auto& c : cases) {
    server_->InjectFault({"/api", c.kind});
    EXPECT_EQ(RaisedNumber([&] { List(); }), c.number);
  }
  // A cut answer still followed a served request: the save happened.
  server_->InjectFault({"saveDocument", FaultKind::Truncated});
  http::XmlHttpRequest save;
  save.open("POST", server_->Url() + "/api" + Auth(ticket_));
  EXPECT_EQ(RaisedNumber([&] {
              save.send(WriterBody("writer.saveDocument", {{"documentname", "string", "Report"},
                                                           {"content", "string", "<p>2</p>"},
                                                           {"documentid", "long", id},
                                                           {"version", "double", "1"}}));
            }),
            http::err::ConnectionAborted);
  EXPECT_EQ(server_->FindDocument(id)->version, 2);
}

TEST_F(FaultTest, AStoppedServiceRefusesConnectionsUntilStartedAgain) {
  const std::string id = server_->AddDocument(kUser, "Report", "<p/>");
  server_->Stop();
  EXPECT_EQ(RaisedNumber([&] { List(); }), http::err::ResourceNotFound);
  server_->Start();
  EXPECT_EQ(Text(List().responseText(), "//document_id"), id);
}

TEST_F(FaultTest, SlowAnswersMeetTheClientsTimeout) {
  http::SetTimeouts({std::chrono::milliseconds(5000), std::chrono::milliseconds(300)});
  server_->InjectFault({"/api", FaultKind::Hang});
  EXPECT_EQ(RaisedNumber([&] { List(); }), http::err::Timeout);
  server_->InjectFault(Fault("/api", FaultKind::Delay).WithDelay(std::chrono::milliseconds(30000)));
  EXPECT_EQ(RaisedNumber([&] { List(); }), http::err::Timeout);

  http::ResetTimeouts();
  server_->InjectFault(Fault("/api", FaultKind::Delay).WithDelay(std::chrono::milliseconds(10)));
  EXPECT_EQ(List().responseText(), "<methodResponse/>");  // late, but whole
  // The record holds the time the service took over the request, its delay included.
  EXPECT_GE(server_->Requests().back().serviceTime, std::chrono::milliseconds(10));
}

TEST_F(FaultTest, ALargeBodyArrivesWhole) {
  constexpr size_t kSize = 50u * 1024 * 1024;
  server_->InjectFault(Fault("/api", FaultKind::LargeBody).WithSize(kSize));
  auto req = List();
  EXPECT_EQ(req.responseBody().size(), kSize);
  EXPECT_EQ(req.getResponseHeader("Content-Length"), std::to_string(kSize));
}

}  // namespace
}  // namespace tavo::service::test
