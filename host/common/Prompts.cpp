#include "host/common/Prompts.h"

#include <atomic>

namespace host {
namespace {

// Without an operator nobody can answer: every question is cancelled.
class NobodyPrompter final : public Prompter {
 public:
  Answer AskYesNoCancel(std::string_view, std::string_view) override { return Answer::Cancel; }
  std::optional<std::string> AskText(std::string_view, std::string_view, bool) override { return std::nullopt; }
};

NobodyPrompter g_nobody;
std::atomic<Prompter*> g_prompter{&g_nobody};

}  // namespace

Prompter& CurrentPrompter() { return *g_prompter.load(); }
Prompter* SetPrompter(Prompter* prompter) { return g_prompter.exchange(prompter ? prompter : &g_nobody); }

}  // namespace host
