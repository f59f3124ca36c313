#include "service/Accounts.h"

#include <cctype>

namespace tavo::service {
namespace {

std::string Page(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>" + title + "</title></head><body>" + body +
         "</body></html>\n";
}

}  // namespace

Answer Login(Store& store, const Call& call) {
  const Params form = ParseQuery(call.body, EscapedBytes::Windows1252);
  auto field = [&](const char* name) {
    const auto it = form.find(name);
    return it == form.end() ? std::string() : it->second;
  };
  const std::string service = field("servicename");
  const std::string account = LowerAscii(field("LOGIN_ID"));

  std::lock_guard lock(store.mutex);
  const auto it = store.passwords.find(account);
  const bool known = service == "TavoWriter" || service == "TavoSheet";
  if (!known || it == store.passwords.end() || it->second != field("PASSWORD"))
    return {200, "text/html; charset=UTF-8",
            Page("Sign in", "<p>The e-mail address or the password is not correct.</p>")};

  const std::string ticket = store.TicketFor(account);
  return {200, "text/html; charset=UTF-8",
          Page("Signed in", "<script type=\"text/javascript\">var signin = 'ticket=" + ticket +
                                "';</script><p>You are signed in to " + service + ".</p>")};
}

Answer Logout(Store& store, const Call& call) {
  std::lock_guard lock(store.mutex);
  store.tickets.erase(call.Param("ticket"));
  return {200, "text/html; charset=UTF-8", Page("Signed out", "<p>You are signed out.</p>")};
}

Answer HomePage(const Call& call) {
  std::string host;  // only what a host name holds: the header is the client's text
  for (char c : call.host)
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-') host += c;
  return {200, "text/html; charset=UTF-8",
          Page("Tavo", "<h1>Tavo</h1><p>The online office suite (" + host + ").</p>")};
}

Answer RegisterPage() {
  return {200, "text/html; charset=UTF-8",
          Page("Create an account", "<h1>Create a Tavo account</h1><p>Choose an e-mail address and a password.</p>")};
}

Answer TermsPage() {
  return {200, "text/html; charset=UTF-8",
          Page("Terms of Service", "<h1>Terms of Service</h1><p>Publish only what you hold the rights to.</p>")};
}

Answer NotFoundPage() {
  return {404, "text/html; charset=UTF-8", Page("Not found", "<p>There is no such page.</p>")};
}

}  // namespace tavo::service
