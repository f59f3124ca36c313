#include "service/tests/Fixture.h"

#include "service/Defaults.h"

namespace tavo::service::test {

std::string WriterBody(const std::string& method, const Members& members) {
  std::string body = "<methodCall><methodName>" + method + "</methodName><params><param><value><struct>";
  for (const auto& [name, type, value] : members) {
    const bool cdata = name == "content" && method != "writer.uploadImage";
    body += "<member><name>" + name + "</name><value><" + type + ">" +
            (cdata ? "<![CDATA[" + value + "]]>" : value) + "</" + type + "></value></member>";
  }
  return body + "</struct></value></param></params></methodCall>";
}

std::string SheetBody(const std::string& method, const std::vector<std::pair<std::string, std::string>>& params) {
  std::string body = "<request><methodName>tavosheet.userView." + method + "</methodName><params>";
  for (const auto& [name, value] : params)
    body += "<param><name>" + name + "</name><value>" + (name == "content" ? "<![CDATA[" + value + "]]>" : value) +
            "</value></param>";
  return body + "</params></request>";
}

std::string Text(const std::string& xml, const char* xpath) {
  pugi::xml_document doc;
  if (!doc.load_string(xml.c_str())) return "(not XML)";
  return doc.select_node(xpath).node().text().get();
}

ServerOptions ServiceTest::Options() {
  ServerOptions options;
  options.tls = TlsMode::Off;
  options.clock = [this] { return now_; };
  return options;
}

void ServiceTest::SetUp() {
  now_ = std::chrono::system_clock::from_time_t(1700000000);
  server_ = std::make_unique<Server>(Options());
  server_->Start();
  server_->AddAccount(kUser, kPassword);
  ticket_ = server_->SignIn(kUser);
}

httplib::Client ServiceTest::Client() const {
  httplib::Client client("127.0.0.1", server_->port());
  client.set_read_timeout(20, 0);
  return client;
}

httplib::Result ServiceTest::Post(const std::string& target, const std::string& body, const std::string& host) {
  httplib::Headers headers;
  if (!host.empty()) headers.emplace("Host", host);
  return Client().Post(target.c_str(), headers, body, "text/xml");
}

httplib::Result ServiceTest::Get(const std::string& target, const std::string& host) {
  httplib::Headers headers;
  if (!host.empty()) headers.emplace("Host", host);
  return Client().Get(target.c_str(), headers);
}

std::string ServiceTest::Auth(const std::string& ticket) const {
  return "?apikey=" + std::string(defaults::kApiKey) + "&ticket=" + ticket;
}

std::string ServiceTest::Writer(const std::string& method, const Members& members) {
  auto res = Post("/api" + Auth(ticket_), WriterBody(method, members), std::string(defaults::kWriterHost));
  return res ? res->body : std::string();
}

std::string ServiceTest::Sheet(const std::string& method, const std::vector<std::pair<std::string, std::string>>& params) {
  auto res = Post("/api/xml" + Auth(ticket_), SheetBody(method, params), std::string(defaults::kSheetHost));
  return res ? res->body : std::string();
}

}  // namespace tavo::service::test
