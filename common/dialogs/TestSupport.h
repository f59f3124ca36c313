#pragma once
// For tests: the messages a user saw, read from a scripted operator's transcript.
#include <string>
#include <vector>

#include "platform/forms/ScriptedOperator.h"

namespace tavo::test {

struct SeenMessage {
  std::string dialog;  // "frmMsgInfo", "frmMsgError", "frmMsg", or "MsgBox" for the message box
  std::string text;
};

// The caption of a control in a form's rendering ("" when the control is not shown there).
inline std::string RenderedCaption(const std::string& rendering, const std::string& control) {
  size_t at = 0;
  while (at < rendering.size()) {
    size_t end = rendering.find('\n', at);
    if (end == std::string::npos) end = rendering.size();
    const std::string line = rendering.substr(at, end - at);
    at = end + 1;
    const size_t kind = line.find_first_not_of(' ');
    const size_t gap = line.find(' ', kind);
    const size_t name = line.find_first_not_of(' ', gap);
    if (kind != 0 && gap != std::string::npos && name != std::string::npos &&
        line.compare(name, control.size() + 1, control + " ") == 0) {
      const size_t open = line.find('"', name), close = line.rfind('"');
      if (open == std::string::npos || close <= open) return {};
      std::string text;
      for (size_t i = open + 1; i < close; ++i) {
        if (line[i] == '\\' && i + 1 < close && (line[i + 1] == '"' || line[i + 1] == 'n')) {
          text += line[i + 1] == 'n' ? '\n' : '"';
          ++i;
        } else {
          text += line[i];
        }
      }
      return text;
    }
  }
  return {};
}

inline std::vector<SeenMessage> SeenMessages(const platform::forms::ScriptedOperator& op) {
  using Kind = platform::forms::TranscriptEntry::Kind;
  std::vector<SeenMessage> seen;
  for (const auto& e : op.Transcript()) {
    if (e.kind == Kind::MessageBox) seen.push_back({"MsgBox", e.text});
    if (e.kind != Kind::Shown) continue;
    if (e.form == "frmMsgInfo" || e.form == "frmMsgError") seen.push_back({e.form, RenderedCaption(e.text, "Label1")});
    if (e.form == "frmMsg") seen.push_back({e.form, RenderedCaption(e.text, "msgfld")});
  }
  return seen;
}

}  // namespace tavo::test
