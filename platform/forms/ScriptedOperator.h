#pragma once
// An operator for tests: queues of actions in the command language, one queue per form (keyed
// by the form's name or caption), and a transcript of what the user saw. When a modal form
// comes up with no action left for it, Act throws OperatorError naming the form and showing its
// rendering. Message boxes are answered with the queued answers of the message box queue, or
// with the first button (OK, Yes) when none is queued.
//
//   forms::ScriptedOperator op;          // installs itself as the current operator
//   op.On("frmConfig", {"type tavoemailid user@example.com", "click Command1"});
//   RunTheCommand();
//   EXPECT_TRUE(op.Saw("frmConfig"));
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/Operator.h"

namespace platform::forms {

struct TranscriptEntry {
  enum class Kind { Shown, Action, Closed, MessageBox };
  Kind kind = Kind::Shown;
  std::string form{};     // the form's name ("" for a message box)
  std::string caption{};  // the form's caption, or the message box title
  std::string text{};     // Shown: the rendering; Action: the command; MessageBox: the prompt
  std::string before{};   // Action: the rendering of the form just before the action
  bool modal = false;     // Shown
  int buttons = 0;        // MessageBox
};

class ScriptedOperator final : public Operator {
 public:
  // Installs itself as the current operator; the previous one is restored on destruction.
  ScriptedOperator();
  ~ScriptedOperator() override;
  ScriptedOperator(const ScriptedOperator&) = delete;
  ScriptedOperator& operator=(const ScriptedOperator&) = delete;

  // Appends actions for the form with this name or caption (checked when queued: a line that
  // does not parse throws OperatorError).
  ScriptedOperator& On(std::string_view formNameOrCaption, std::vector<std::string> actions);
  // Answers for the next message boxes, in order (kOK, kYes, ...).
  ScriptedOperator& AnswerMessageBoxes(std::vector<int> answers);

  // Actions still queued for a form (0 once its script has run).
  size_t Pending(std::string_view formNameOrCaption) const;

  const std::vector<TranscriptEntry>& Transcript() const { return transcript_; }
  // The transcript as text, one entry a block, for failure messages.
  std::string TranscriptText() const;
  // Whether the form (by name or caption) was shown, and how often.
  bool Saw(std::string_view formNameOrCaption) const { return TimesShown(formNameOrCaption) > 0; }
  int TimesShown(std::string_view formNameOrCaption) const;
  // The rendering of the form at its last showing ("" when never shown).
  std::string LastRendering(std::string_view formNameOrCaption) const;
  // Prompts of the message boxes, in order.
  std::vector<std::string> MessageBoxes() const;

  void Act(Form& form) override;
  void Shown(Form& form, bool modal) override;
  void Closed(Form& form) override;
  int MessageBox(const MessageBoxRequest& box) override;

 private:
  std::deque<std::string>* QueueFor(const Form& form);
  std::vector<std::pair<std::string, std::deque<std::string>>> queues_;
  std::deque<int> answers_;
  std::vector<TranscriptEntry> transcript_;
  Operator* previous_;
};

}  // namespace platform::forms
