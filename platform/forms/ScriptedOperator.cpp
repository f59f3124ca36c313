#include "platform/forms/ScriptedOperator.h"

#include "platform/core/Text.h"
#include "platform/forms/ActionCommands.h"
#include "platform/forms/Form.h"
#include "platform/forms/Render.h"

namespace platform::forms {
namespace {

std::string WithoutAccessKeys(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

bool Names(std::string_view key, std::string_view name, std::string_view caption) {
  return text::EqualsText(key, name) || (!caption.empty() && text::EqualsText(WithoutAccessKeys(key), WithoutAccessKeys(caption)));
}

// The first button of the set: what pressing Enter at once would answer.
int FirstButton(int buttons) {
  switch (buttons & 7) {
    case 2: return 3;  // Abort
    case 3:
    case kYesNo: return kYes;
    case 5: return 4;  // Retry
    default: return kOK;
  }
}

}  // namespace

ScriptedOperator::ScriptedOperator() : previous_(SetCurrentOperator(this)) {}

ScriptedOperator::~ScriptedOperator() {
  if (CurrentOperator() == this) SetCurrentOperator(previous_);
}

ScriptedOperator& ScriptedOperator::On(std::string_view formNameOrCaption, std::vector<std::string> actions) {
  for (const auto& line : actions) (void)ParseAction(line);  // a script typo shows here, not mid-test
  std::deque<std::string>* queue = nullptr;
  for (auto& [key, q] : queues_)
    if (text::EqualsText(key, formNameOrCaption)) queue = &q;
  if (!queue) queue = &queues_.emplace_back(std::string(formNameOrCaption), std::deque<std::string>{}).second;
  for (auto& line : actions) queue->push_back(std::move(line));
  return *this;
}

ScriptedOperator& ScriptedOperator::AnswerMessageBoxes(std::vector<int> answers) {
  answers_.insert(answers_.end(), answers.begin(), answers.end());
  return *this;
}

size_t ScriptedOperator::Pending(std::string_view formNameOrCaption) const {
  size_t n = 0;
  for (const auto& [key, q] : queues_)
    if (text::EqualsText(key, formNameOrCaption)) n += q.size();
  return n;
}

std::deque<std::string>* ScriptedOperator::QueueFor(const Form& form) {
  for (auto& [key, q] : queues_)
    if (!q.empty() && Names(key, form.Name(), form.Caption())) return &q;
  return nullptr;
}

void ScriptedOperator::Act(Form& form) {
  std::deque<std::string>* queue = QueueFor(form);
  if (!queue) {
    throw OperatorError("The script has no action left for the modal form " + form.Name() + " \"" + form.Caption() +
                        "\", which shows:\n" + Render(form));
  }
  std::string line = std::move(queue->front());
  queue->pop_front();
  transcript_.push_back({TranscriptEntry::Kind::Action, form.Name(), form.Caption(), line, Render(form)});
  Perform(form, line);
}

void ScriptedOperator::Shown(Form& form, bool modal) {
  TranscriptEntry e{TranscriptEntry::Kind::Shown, form.Name(), form.Caption(), Render(form)};
  e.modal = modal;
  transcript_.push_back(std::move(e));
}

void ScriptedOperator::Closed(Form& form) {
  transcript_.push_back({TranscriptEntry::Kind::Closed, form.Name(), form.Caption(), {}});
}

int ScriptedOperator::MessageBox(const MessageBoxRequest& box) {
  TranscriptEntry e{TranscriptEntry::Kind::MessageBox, {}, box.title, box.prompt};
  e.buttons = box.buttons;
  transcript_.push_back(std::move(e));
  if (answers_.empty()) return FirstButton(box.buttons);
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::string ScriptedOperator::TranscriptText() const {
  std::string out;
  for (const auto& e : transcript_) {
    switch (e.kind) {
      case TranscriptEntry::Kind::Shown:
        out += std::string("-- shown") + (e.modal ? " modal" : "") + ":\n" + e.text;
        break;
      case TranscriptEntry::Kind::Action:
        out += "> " + e.form + ": " + e.text + "\n";
        break;
      case TranscriptEntry::Kind::Closed:
        out += "-- closed " + e.form + "\n";
        break;
      case TranscriptEntry::Kind::MessageBox:
        out += "-- message box \"" + e.caption + "\": " + e.text + "\n";
        break;
    }
  }
  return out;
}

int ScriptedOperator::TimesShown(std::string_view formNameOrCaption) const {
  int n = 0;
  for (const auto& e : transcript_)
    if (e.kind == TranscriptEntry::Kind::Shown && Names(formNameOrCaption, e.form, e.caption)) ++n;
  return n;
}

std::string ScriptedOperator::LastRendering(std::string_view formNameOrCaption) const {
  for (auto it = transcript_.rbegin(); it != transcript_.rend(); ++it)
    if (it->kind == TranscriptEntry::Kind::Shown && Names(formNameOrCaption, it->form, it->caption)) return it->text;
  return {};
}

std::vector<std::string> ScriptedOperator::MessageBoxes() const {
  std::vector<std::string> prompts;
  for (const auto& e : transcript_)
    if (e.kind == TranscriptEntry::Kind::MessageBox) prompts.push_back(e.text);
  return prompts;
}

}  // namespace platform::forms
