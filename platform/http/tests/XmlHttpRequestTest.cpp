#include "platform/http/XmlHttpRequest.h"

#include <gtest/gtest.h>

#include "platform/environment/TestSupport.h"
#include "platform/http/Http.h"
#include "platform/http/tests/Support.h"
#include "platform/http/tests/TestServer.h"

using namespace platform::http;
using platform::environment::RaisedNumber;
using platform::environment::TempEnvironment;
using test::ClosedPort;
using test::TestServer;
using test::WriteEnvironmentFile;

namespace {

class XmlHttpRequestTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetTimeouts();
    ResetMaxResponseBytes();
  }
  TempEnvironment env_;
  TestServer server_;
};

std::string Get(const std::string& url) {
  XmlHttpRequest req;
  req.open("GET", url);
  req.send();
  return req.responseText();
}

}  // namespace

TEST_F(XmlHttpRequestTest, SendsTheHeadersAndBodyItWasGiven) {
  XmlHttpRequest req;
  req.open("POST", server_.Url("/echo?apikey=k&ticket="));
  req.setRequestHeader("User-Agent", "Tavo Office Plugin-2.0.0");
  req.setRequestHeader("X-Twice", "one");
  req.setRequestHeader("X-Twice", "two");
  req.send("<methodCall></methodCall>");

  EXPECT_EQ(req.status(), 200);
  EXPECT_EQ(req.statusText(), "OK");
  EXPECT_EQ(req.responseText(), "ok");
  EXPECT_EQ(req.getResponseHeader("content-type"), "text/plain");
  EXPECT_EQ(req.getResponseHeader("X-Absent"), "");

  const auto seen = server_.Last();
  EXPECT_EQ(seen.method, "POST");
  EXPECT_EQ(seen.target, "/echo?apikey=k&ticket=");
  EXPECT_EQ(seen.body, "<methodCall></methodCall>");
  EXPECT_EQ(seen.headers.find("User-Agent")->second, "Tavo Office Plugin-2.0.0");
  EXPECT_EQ(seen.headers.count("X-Twice"), 2u);
  // Nothing the caller did not ask for: no form content type, no "100 Continue" wait.
  EXPECT_EQ(seen.headers.count("Content-Type"), 0u);
  EXPECT_EQ(seen.headers.count("Expect"), 0u);
}

TEST_F(XmlHttpRequestTest, BlanksAndNonAsciiTextArePercentEncodedOnTheWire) {
  Get(server_.Url("/echo?licensename=All Rights Reserved&name=M\xC3\xBCller&u=http://c.example/by/3.0/"));
  EXPECT_EQ(server_.Last().target,
            "/echo?licensename=All%20Rights%20Reserved&name=M%C3%BCller&u=http://c.example/by/3.0/");
}

TEST_F(XmlHttpRequestTest, ResponseTextIsDecodedByItsCharset) {
  const struct {
    const char* type;
    const char* body;  // percent-encoded bytes
    const char* text;
  } cases[] = {
      {"text/plain", "M%C3%BCller", "M\xC3\xBCller"},
      {"text/xml%3B%20charset%3DUTF-8", "M%C3%BCller", "M\xC3\xBCller"},
      // UTF-8 bytes under a Latin-1 label arrive as one character per byte.
      {"text/xml%3B%20charset%3DISO-8859-1", "M%C3%BCller", "M\xC3\x83\xC2\xBCller"},
      {"text/html%3B%20charset%3D%22windows-1252%22", "%80%20M%FCller", "\xE2\x82\xAC M\xC3\xBCller"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Get(server_.Url(std::string("/text?type=") + c.type + "&body=" + c.body)), c.text) << c.type;
}

TEST_F(XmlHttpRequestTest, HostsFileSendsNamesToThisMachineKeepingTheHostHeader) {
  const std::string port = std::to_string(server_.port());
  WriteEnvironmentFile(kHostsFile,
                       "# stand-in\n"
                       "127.0.0.1:" + port + "  writer.tavo.example\n"
                       "127.0.0.1:" + port + "  api.tavo.example:8080\n"
                       "127.0.0.1       other.tavo.example:" + port + "\n");

  Get("http://writer.tavo.example/echo");
  EXPECT_EQ(server_.Last().headers.find("Host")->second, "writer.tavo.example");
  Get("http://api.tavo.example:8080/echo");
  EXPECT_EQ(server_.Last().headers.find("Host")->second, "api.tavo.example:8080");
  Get("http://other.tavo.example:" + port + "/echo");
  EXPECT_EQ(server_.Last().headers.find("Host")->second, "other.tavo.example:" + port);

  // The entry with a port maps that port only.
  EXPECT_EQ(RaisedNumber([] { Get("http://api.tavo.example/echo"); }), err::ResourceNotFound);
}

TEST_F(XmlHttpRequestTest, TransportFailuresRaiseTheirErrors) {
  const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  const struct {
    std::string url;
    long number;
  } cases[] = {
      {closed, err::ResourceNotFound},
      {"http://unmapped.tavo.example/", err::ResourceNotFound},
      {"ftp://127.0.0.1/", err::UnrecognizedScheme},
      {"no url at all", err::InvalidUrl},
  };
  for (const auto& c : cases) {
    XmlHttpRequest req;
    req.open("GET", c.url);
    try {
      req.send();
      ADD_FAILURE() << c.url << " did not fail";
    } catch (const platform::RuntimeError& e) {
      EXPECT_EQ(e.number(), c.number) << c.url;
      EXPECT_EQ(e.description(), ErrorDescription(c.number));
    }
  }
}

TEST_F(XmlHttpRequestTest, AnAnswerSlowerThanTheTimeoutRaisesTheTimeoutError) {
  SetTimeouts({std::chrono::milliseconds(2000), std::chrono::milliseconds(200)});
  EXPECT_EQ(RaisedNumber([&] { Get(server_.Url("/delay?ms=30000")); }), err::Timeout);
}

TEST(HttpTimeouts, ComeFromTheEnvironmentUnlessSet) {
  ::setenv("TAVO_HTTP_CONNECT_TIMEOUT_MS", "1500", 1);
  ::setenv("TAVO_HTTP_TIMEOUT_MS", "not a number", 1);
  EXPECT_EQ(CurrentTimeouts().connect, std::chrono::milliseconds(1500));
  EXPECT_EQ(CurrentTimeouts().total, std::chrono::milliseconds(120000));
  SetTimeouts({std::chrono::milliseconds(1), std::chrono::milliseconds(2)});
  EXPECT_EQ(CurrentTimeouts().total, std::chrono::milliseconds(2));
  ResetTimeouts();
  ::unsetenv("TAVO_HTTP_CONNECT_TIMEOUT_MS");
  ::unsetenv("TAVO_HTTP_TIMEOUT_MS");
  EXPECT_EQ(CurrentTimeouts().connect, std::chrono::milliseconds(15000));
}

TEST_F(XmlHttpRequestTest, MisuseRaisesInsteadOfAnsweringWithNothing) {
  XmlHttpRequest req;
  EXPECT_EQ(RaisedNumber([&] { req.status(); }), err::DataNotAvailable);
  EXPECT_EQ(RaisedNumber([&] { req.send(); }), err::DataNotAvailable);
  EXPECT_EQ(RaisedNumber([&] { req.open("GET", server_.Url("/echo"), true); }), err::NotSupported);
  req.open("GET", server_.Url("/echo"));
  EXPECT_EQ(RaisedNumber([&] { req.responseText(); }), err::DataNotAvailable);
}

// An answer up to the bound is taken whole; one past it fails, whether its length is announced
// or only seen as it arrives, and leaves no answer behind.
TEST_F(XmlHttpRequestTest, AnAnswerPastTheBoundFailsAndLeavesNothing) {
  SetMaxResponseBytes(40000);
  const struct {
    const char* query;
    long error;  // 0: taken whole
  } cases[] = {
      {"n=40000", 0},
      {"n=40000&chunked", 0},
      {"n=40001", err::ResponseTooLarge},
      {"n=40001&chunked", err::ResponseTooLarge},
      {"n=1000000000000", err::ResponseTooLarge},  // announced past any memory: refused before a byte
  };
  for (const auto& c : cases) {
    XmlHttpRequest req;
    req.open("GET", server_.Url(std::string("/bytes?") + c.query));
    EXPECT_EQ(RaisedNumber([&] { req.send(); }), c.error) << c.query;
    if (c.error == 0) {
      EXPECT_EQ(req.responseBody().size(), 40000u) << c.query;
    } else {
      EXPECT_EQ(RaisedNumber([&] { req.responseBody(); }), err::DataNotAvailable) << c.query;
    }
  }
}
