#pragma once
// Signing in with the suite's accounts service and out again.
//
// LoginToAccounts posts the account name and password once for each service name (in the
// add-in's order, one request object each), takes the ticket from the answer that holds it:
// the text after the first "ticket=" up to the next "'" (or the end), publishes it with the
// encoded name and password to the registry for both add-ins, and prepares the user's files.
// Nothing is written to the registry before a ticket has been found. The progress window
// (frmProgress of the add-in's dialogs) is shown by the caller and unloaded here only when the
// sign-in fails, after which the failure message for the stage reached has been shown (gMsg26
// before the answer was read, gMsg27 when it holds no ticket, gMsg28 when preparing the files
// failed) and gConfigResult is "FALSE" and gConfigMode 2, so the next sign-in asks again.
#include <optional>
#include <string>
#include <string_view>

namespace tavo {

struct AddinState;

bool LoginToAccounts(AddinState& state, std::string_view user, std::string_view password);

// Tells the accounts service that gTicket is no longer used. A failure (service unreachable)
// shows gMsg26; the result is true all the same.
bool LogoutFromAccounts(AddinState& state);

// The sign-in request's form body for one service name.
std::string SignInBody(std::string_view serviceName, std::string_view user, std::string_view password);

// The ticket of a sign-in answer: nullopt when the answer does not contain "ticket", lacks
// "ticket=", or names an empty or blank ticket.
std::optional<std::string> TicketOfAnswer(std::string_view answer);

}  // namespace tavo
