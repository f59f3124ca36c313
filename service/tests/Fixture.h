#pragma once
// A stand-in service in process with one account signed in, and the wire forms of the two
// APIs' requests, sent over a real loopback socket.
#include <httplib.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "service/Server.h"

namespace tavo::service::test {

inline constexpr const char* kUser = "ann@tavo.example";
inline constexpr const char* kPassword = "s3cret";

// name, type ("string", "long", "double"), value; "content" goes into a CDATA section
// except for pictures.
using Members = std::vector<std::tuple<std::string, std::string, std::string>>;
std::string WriterBody(const std::string& method, const Members& members = {});
// name, value; "content" goes into a CDATA section.
std::string SheetBody(const std::string& method, const std::vector<std::pair<std::string, std::string>>& params = {});

std::string Text(const std::string& xml, const char* xpath);

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override { server_->Stop(); }
  virtual ServerOptions Options();

  httplib::Client Client() const;
  // POST to a path and query, optionally with a Host header; returns the body ("" when
  // the exchange failed).
  httplib::Result Post(const std::string& target, const std::string& body, const std::string& host = {});
  httplib::Result Get(const std::string& target, const std::string& host = {});

  std::string Auth(const std::string& ticket) const;  // "?apikey=...&ticket=..."
  std::string Writer(const std::string& method, const Members& members = {});
  std::string Sheet(const std::string& method, const std::vector<std::pair<std::string, std::string>>& params = {});

  std::unique_ptr<Server> server_;
  std::string ticket_;
  TimePoint now_;
};

}  // namespace tavo::service::test
