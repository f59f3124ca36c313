#include "host/common/Prompts.h"

#include <atomic>

#include "host/common/PromptDialog.h"

namespace host {
namespace {

DialogPrompter g_dialogs;
std::atomic<Prompter*> g_prompter{&g_dialogs};

}  // namespace

Prompter& CurrentPrompter() { return *g_prompter.load(); }
Prompter* SetPrompter(Prompter* prompter) { return g_prompter.exchange(prompter ? prompter : &g_dialogs); }

}  // namespace host
