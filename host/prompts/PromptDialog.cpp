#include "host/prompts/PromptDialog.h"

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace host {
namespace forms = platform::forms;

namespace {

constexpr int kCancelled = -1;

class frmPrompt final : public forms::Form {
 public:
  frmPrompt() : Form("frmPrompt") {
    Command1.onClick = [this] { Finish(0); };
    Command2.onClick = [this] { Finish(1); };
    Command3.onClick = [this] { Finish(kCancelled); };
    Text1.onKeyPress = [this](int& key) {
      if (key == 13) Finish(0);
    };
  }

  forms::Label Label1{*this, "Label1"};
  forms::TextBox Text1{*this, "Text1"};
  forms::CommandButton Command1{*this, "Command1", "&Yes"};
  forms::CommandButton Command2{*this, "Command2", "&No"};
  forms::CommandButton Command3{*this, "Command3", "Cancel"};
  int answer = kCancelled;
  std::string text;

  // Shows the question and returns the button pressed (kCancelled for Cancel, Esc, close box).
  int Ask(std::string_view title, std::string_view question, bool textBox, bool secret) {
    Load();
    SetCaption(title);
    Label1.SetCaption(question);
    Text1.SetVisible(textBox);
    Text1.SetPasswordChar(secret ? "*" : "");
    Command1.SetCaption(textBox ? "OK" : "&Yes");
    Command2.SetVisible(!textBox);
    answer = kCancelled;
    Show(forms::ShowMode::Modal);
    return answer;
  }

 protected:
  void Design() override {
    SetCaption("Question");
    SetKeyPreview(true);  // Esc cancels wherever the focus is
    Move(0, 0, 5400, 1800);
  }
  void Form_KeyPress(int& key) override {
    if (key == 27) Finish(kCancelled);
  }

 private:
  void Finish(int button) {
    answer = button;
    text = Text1.Text();
    Unload();
  }
};

}  // namespace

Answer DialogPrompter::AskYesNoCancel(std::string_view title, std::string_view question) {
  frmPrompt dialog;
  switch (dialog.Ask(title, question, false, false)) {
    case 0: return Answer::Yes;
    case 1: return Answer::No;
    default: return Answer::Cancel;
  }
}

std::optional<std::string> DialogPrompter::AskText(std::string_view title, std::string_view prompt, bool secret) {
  frmPrompt dialog;
  if (dialog.Ask(title, prompt, true, secret) != 0) return std::nullopt;
  return dialog.text;
}

}  // namespace host
