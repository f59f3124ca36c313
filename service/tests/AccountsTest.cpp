#include "service/Accounts.h"

#include "service/Defaults.h"
#include "service/tests/Fixture.h"

namespace tavo::service::test {
namespace {

class AccountsTest : public ServiceTest {
 protected:
  std::string SignIn(const std::string& service, const std::string& user, const std::string& password) {
    auto res = Post("/login?",
                    "servicename=" + service + "&silent=true&LOGIN_ID=" + user + "&PASSWORD=" + password,
                    std::string(defaults::kAccountsHost));
    return res ? res->body : "(no answer)";
  }
};

// What the add-in takes from the page: after the first "ticket=" up to the next "'".
std::string TicketIn(const std::string& page) {
  const size_t at = page.find("ticket=");
  if (at == std::string::npos) return {};
  const size_t from = at + 7;
  return page.substr(from, page.find('\'', from) - from);
}

TEST_F(AccountsTest, SignInAnswersAPageHoldingOneTicketForBothServices) {
  server_->EndAllTickets();
  const std::string writer = TicketIn(SignIn("TavoWriter", "Ann%40tavo.example", "s3cret"));
  const std::string sheet = TicketIn(SignIn("TavoSheet", "ann%40tavo.example", "s3cret"));
  ASSERT_EQ(writer.size(), 32u);
  EXPECT_EQ(writer, sheet);
  ticket_ = writer;
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//error/errorCode"), "");
  EXPECT_EQ(Text(Sheet("getWorkbooks"), "//error/code"), "");
}

TEST_F(AccountsTest, AFailedSignInNeverMentionsATicket) {
  server_->AddAccount("plus+blank@tavo.example", "a b+c%");
  const struct {
    const char* service;
    const char* user;
    const char* password;
  } cases[] = {
      {"TavoWriter", "ann%40tavo.example", "wrong"},
      {"TavoWriter", "nobody%40tavo.example", "s3cret"},
      {"Other", "ann%40tavo.example", "s3cret"},
      {"TavoWriter", "", ""},
  };
  for (const auto& c : cases) {
    const std::string page = SignIn(c.service, c.user, c.password);
    EXPECT_EQ(page.find("ticket"), std::string::npos) << c.user << " " << c.password;
  }
  // Form encoding as the add-in writes it: "+" for a blank, %2B for "+", %25 for "%".
  EXPECT_NE(SignIn("TavoSheet", "plus%2Bblank%40tavo.example", "a+b%2Bc%25").find("ticket="), std::string::npos);
}

TEST_F(AccountsTest, SignOutEndsTheTicketForBothServices) {
  auto res = Get("/logout?ticket=" + ticket_, std::string(defaults::kAccountsHost));
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_FALSE(server_->TicketValid(ticket_));
  EXPECT_EQ(Text(Writer("writer.getDocuments"), "//error/errorCode"), "1401");
  EXPECT_EQ(Text(Sheet("getWorkbooks"), "//error/code"), "2401");
}

TEST_F(AccountsTest, ServesTheSuitesPages) {
  const struct {
    const char* host;
    const char* path;
    const char* contains;
  } cases[] = {
      {"www.tavo.example", "/", "Tavo"},
      {"sheet.tavo.example", "/", "Tavo"},
      {"127.0.0.1", "/", "Tavo"},
      {"accounts.tavo.example", "/register", "Create a Tavo account"},
      {"share.tavo.example", "/tos", "Terms of Service"},
  };
  for (const auto& c : cases) {
    auto res = Get(c.path, c.host);
    ASSERT_TRUE(res) << c.path;
    EXPECT_EQ(res->status, 200) << c.host << c.path;
    EXPECT_NE(res->body.find(c.contains), std::string::npos) << c.host << c.path;
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=UTF-8");
  }
  auto missing = Get("/no/such/page");
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->status, 404);
}

}  // namespace
}  // namespace tavo::service::test
