#pragma once
// The check every end-to-end fixture runs on its environment when it ends: no line of the
// add-ins' log files holds a secret of the stand-in service (a password, a ticket, the API key),
// whether as typed, as the log's code page writes it, in the stored-secret encoding or as the
// sign-in form sends it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/StoredSecret.h"
#include "common/signin/UrlEncode.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace tavo::test {

// Fails the running test once for every log line (in a "*.log" file anywhere under `root`)
// that holds one of the secrets in any of their written forms. Secrets shorter than four
// characters are too short to tell from ordinary text and are left out, as the log's own
// masking leaves them. Runs in the environment of `root` (the code page is the system's).
inline void ExpectNoSecretsInLogs(const std::filesystem::path& root, const std::vector<std::string>& secrets) {
  std::vector<std::pair<std::string, std::string>> forms;  // written form, what it is
  const auto add = [&forms](std::string form, const std::string& what) {
    for (const auto& known : forms)
      if (known.first == form) return;
    if (form.size() >= 4) forms.emplace_back(std::move(form), what);
  };
  for (const std::string& secret : secrets) {
    if (secret.size() < 4) continue;
    add(secret, "\"" + secret + "\"");
    try {
      add(platform::codepage::Utf8ToAnsi(secret), "\"" + secret + "\" in the code page");
    } catch (const platform::RuntimeError&) {
      // not writable in the code page: the log cannot hold it that way either
    }
    add(EncodeBase64(secret), "\"" + secret + "\" in the stored-secret encoding");
    add(UrlEncode(secret), "\"" + secret + "\" as the sign-in form sends it");
  }
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file() || !platform::text::EqualsText(it->path().extension().string(), ".log")) continue;
    std::ifstream file(it->path(), std::ios::binary);
    std::string line;
    for (int number = 1; std::getline(file, line); ++number)
      for (const auto& [form, what] : forms)
        if (line.find(form) != std::string::npos)
          ADD_FAILURE() << it->path().string() << ":" << number << " holds " << what << ":\n" << line;
  }
}

}  // namespace tavo::test
