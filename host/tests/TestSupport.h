#pragma once
// Shared pieces of the host tests: a temporary environment and a prompter answering from a
// queue (and failing the test when asked more than it was told).
#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "host/prompts/Prompts.h"
#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"

namespace host::testing {

class QueuePrompter final : public Prompter {
 public:
  QueuePrompter() : previous_(SetPrompter(this)) {}
  ~QueuePrompter() override { SetPrompter(previous_); }

  void Answer(host::Answer a) { answers_.push_back(a); }
  void Text(std::optional<std::string> t) { texts_.push_back(std::move(t)); }
  int asked() const { return asked_; }
  const std::string& lastQuestion() const { return lastQuestion_; }
  bool drained() const { return answers_.empty() && texts_.empty(); }

  host::Answer AskYesNoCancel(std::string_view, std::string_view question) override {
    ++asked_;
    lastQuestion_ = question;
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected question: " << question;
      return host::Answer::Cancel;
    }
    auto a = answers_.front();
    answers_.pop_front();
    return a;
  }
  std::optional<std::string> AskText(std::string_view, std::string_view prompt, bool) override {
    ++asked_;
    lastQuestion_ = prompt;
    if (texts_.empty()) {
      ADD_FAILURE() << "unexpected prompt: " << prompt;
      return std::nullopt;
    }
    auto t = texts_.front();
    texts_.pop_front();
    return t;
  }

 private:
  Prompter* previous_;
  std::deque<host::Answer> answers_;
  std::deque<std::optional<std::string>> texts_;
  int asked_ = 0;
  std::string lastQuestion_;
};

// A fresh environment root under the test's temporary folder.
class TempEnvironment {
 public:
  TempEnvironment()
      : root_(std::filesystem::temp_directory_path() /
              ("tavo-host-" + std::to_string(::getpid()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name())),
        cleaned_(Clean(root_)),
        scoped_(root_) {}
  ~TempEnvironment() { std::filesystem::remove_all(root_); }
  const std::filesystem::path& root() const { return root_; }

 private:
  static bool Clean(const std::filesystem::path& p) {
    std::filesystem::remove_all(p);
    return true;
  }
  std::filesystem::path root_;
  bool cleaned_;
  platform::environment::ScopedEnvironment scoped_;
};

inline constexpr const char* kDocs = "C:\\Users\\tavo\\Documents";

template <class F>
long ErrorNumber(F&& f) {
  try {
    f();
  } catch (const platform::RuntimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace host::testing
