#include "common/signin/Accounts.h"

#include <array>

#include "common/AddinParameterSet.h"
#include "common/AddinState.h"
#include "common/LanguageText.h"
#include "common/Messages.h"
#include "common/RegistryStrings.h"
#include "common/Settings.h"
#include "common/StoredSecret.h"
#include "common/UserFiles.h"
#include "common/signin/UrlEncode.h"
#include "common/dialogs/Dialogs.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/http/XmlHttpRequest.h"

namespace tavo {
namespace {

using platform::http::XmlHttpRequest;

constexpr std::string_view kFormContentType = "application/x-www-form-urlencoded; charset=UTF-8";

std::string SendSignIn(const AddinState& state, std::string_view serviceName, std::string_view user,
                       std::string_view password) {
  XmlHttpRequest request;
  request.open("POST", state.gAccountsUrl + "login?", false);
  request.setRequestHeader("Content-Type", kFormContentType);
  request.setRequestHeader("User-Agent", kUserAgent);
  request.send(SignInBody(serviceName, user, password));
  return request.responseText();
}

void SetSharedAccount(std::string_view value, std::string_view text) {
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, value, text);
}

}  // namespace

std::string SignInBody(std::string_view serviceName, std::string_view user, std::string_view password) {
  return "servicename=" + std::string(serviceName) + "&silent=true&LOGIN_ID=" + UrlEncode(user) +
         "&PASSWORD=" + UrlEncode(password);
}

std::optional<std::string> TicketOfAnswer(std::string_view answer) {
  if (answer.find("ticket") == std::string_view::npos) return std::nullopt;
  const size_t at = answer.find("ticket=");
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = answer.substr(at + 7);
  std::string ticket(rest.substr(0, rest.find('\'')));
  // An empty ticket would leave the add-in "signed in" with what every request reads as signed out.
  if (platform::text::Trim(ticket).empty()) return std::nullopt;
  return ticket;
}

bool LoginToAccounts(AddinState& state, std::string_view user, std::string_view password) {
  const AddinParameterSet& p = state.params;
  frmProgress& progress = Dialogs(state).frmProgress;
  std::string failure;
  try {
    failure = p.signInFirstFailureText.empty() ? state.strings["gMsg26"] : std::string(p.signInFirstFailureText);
    LoadServerSettings(state);
    if (p.signInProgressOnStatusBar) ShowStatus(state, state.strings["gMsg47"]);
    else progress.SetText(LanguageText(state, "gMsg47"));

    std::array<std::string, 2> answers;
    answers[0] = SendSignIn(state, p.signInServiceOrder[0], user, password);
    if (p.signInProgressOnStatusBar) ShowStatus(state, state.strings["gMsg48"]);
    progress.SetText(LanguageText(state, "gMsg48"));
    answers[1] = SendSignIn(state, p.signInServiceOrder[1], user, password);

    failure = state.strings["gMsg27"];
    const std::optional<std::string> ticket = TicketOfAnswer(answers[p.ticketAnswerIndex]);
    if (!ticket) platform::Raise(platform::err::InvalidProcedureCall, "The accounts service gave no ticket");

    state.gTicket = *ticket;
    SetRegistryString(HKEY_CURRENT_USER, kSheetParameters.pluginSettingsKey, "tavoticketid", state.gTicket);
    SetRegistryString(HKEY_CURRENT_USER, kWriterParameters.pluginSettingsKey, "tavoticketid", state.gTicket);
    const std::string encodedUser = EncodeBase64(state.gLoginUser);
    const std::string encodedPassword = EncodeBase64(state.gLoginPassword);
    SetSharedAccount("tavoticketid", state.gTicket);
    SetSharedAccount("tavousername", encodedUser);
    SetSharedAccount("tavopassword", encodedPassword);
    SetSharedAccount(p.ownStatusValue, "1");

    progress.SetValue(100);
    progress.SetText(LanguageText(state, p.signInStoredProgressKey));
    platform::Sleep(platform::Milliseconds(200));

    failure = state.strings["gMsg28"];
    InitUserFiles(state, user);
    state.signedIn = true;
    return true;
  } catch (const platform::RuntimeError&) {
    progress.Unload();
    if (!failure.empty()) {
      ShowMessage(state, failure, 0);
      state.gConfigResult = "FALSE";
      state.gConfigMode = 2;
    }
    return false;
  }
}

bool LogoutFromAccounts(AddinState& state) {
  const std::string failure = state.strings["gMsg26"];
  try {
    XmlHttpRequest request;
    request.open("GET", state.gAccountsUrl + "logout?ticket=" + state.gTicket, false);
    request.setRequestHeader("Content-Type", kFormContentType);
    if (state.params.signOutSendsUserAgent) request.setRequestHeader("User-Agent", kUserAgent);
    request.send();
  } catch (const platform::RuntimeError&) {
    if (!failure.empty()) ShowMessage(state, failure, 0);
  }
  return true;
}

}  // namespace tavo
