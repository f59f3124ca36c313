#pragma once
// What the dialog tests share: one add-in's state in a fresh environment with its language
// loaded from the installed language files, a recording host, and a scripted operator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/AddinState.h"
#include "common/Language.h"
#include "common/LanguageText.h"
#include "common/dialogs/Dialogs.h"
#include "common/dialogs/TestSupport.h"
#include "common/tests/TestEnvironment.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/forms/ScriptedOperator.h"

namespace tavo::test {

namespace forms = platform::forms;

class DialogTest : public CoreTest {
 protected:
  DialogTest() { Use(kWriterParameters); }

  // A new state of the add-in, with the interface language of the code ("eng_us", "chi_ch").
  void Use(const AddinParameterSet& params, const std::string& languageCode = "eng_us") {
    state_ = std::make_unique<AddinState>(params, &host);
    const char* stage = std::getenv("TAVO_STAGE_DIR");  // set by ctest
    ASSERT_NE(stage, nullptr) << "TAVO_STAGE_DIR names the installed language files";
    state_->gApplicationPath = platform::environment::Current().WindowsPath(std::filesystem::path(stage) / "bin");
    state_->gLanguageCode = languageCode;
    ASSERT_TRUE(LoadLanguage(*state_));
    state_->gLoginUser = "ann@tavo.example";
    state_->gLogLevel = "Info";
    state_->gLogFile = "C:\\tavo.log";
  }

  AddinState& state() { return *state_; }
  AddinDialogs& dialogs() { return Dialogs(*state_); }
  // The loaded text of a language key, as shown.
  std::string Shown(const std::string& key) { return LanguageText(*state_, key); }
  std::string Log() {
    return platform::files::FileExists("C:\\tavo.log") ? platform::files::ReadAllBytes("C:\\tavo.log") : "";
  }
  std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const SeenMessage& m : SeenMessages(op)) texts.push_back(m.text);
    return texts;
  }
  // What the dialog showed just before the scripted action `line` (the first one of that text).
  std::string SeenBefore(const std::string& line) {
    for (const auto& e : op.Transcript())
      if (e.kind == forms::TranscriptEntry::Kind::Action && e.text == line) return e.before;
    ADD_FAILURE() << "no action " << line << " in\n" << op.TranscriptText();
    return {};
  }
  // Names of the forms in the order they were shown (+) and closed (-).
  std::vector<std::string> ShownAndClosed() {
    std::vector<std::string> seen;
    for (const auto& e : op.Transcript()) {
      if (e.kind == forms::TranscriptEntry::Kind::Shown) seen.push_back("+" + e.form);
      if (e.kind == forms::TranscriptEntry::Kind::Closed) seen.push_back("-" + e.form);
    }
    return seen;
  }
  // The status bar texts written so far, and forgets them.
  std::vector<std::string> TakeStatus() { return std::exchange(host.statusTexts, {}); }

  forms::ScriptedOperator op;
  RecordingHost host;
  std::unique_ptr<AddinState> state_;
};

}  // namespace tavo::test
