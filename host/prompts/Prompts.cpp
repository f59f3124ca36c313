#include "host/prompts/Prompts.h"

#include <atomic>

#include "host/files/PasswordHash.h"
#include "host/prompts/PromptDialog.h"

namespace host {
namespace {

DialogPrompter g_dialogs;
std::atomic<Prompter*> g_prompter{&g_dialogs};

}  // namespace

PasswordCheck CheckOpenPassword(std::string_view storedHash, std::string_view given, std::string_view prompt) {
  if (storedHash.empty()) return PasswordCheck::Accepted;
  std::string password(given);
  if (password.empty()) {
    auto typed = CurrentPrompter().AskText("Password", prompt, true);
    if (!typed) return PasswordCheck::Cancelled;
    password = *typed;
  }
  return PasswordMatches(storedHash, password) ? PasswordCheck::Accepted : PasswordCheck::Refused;
}

Prompter& CurrentPrompter() { return *g_prompter.load(); }
Prompter* SetPrompter(Prompter* prompter) { return g_prompter.exchange(prompter ? prompter : &g_dialogs); }

}  // namespace host
