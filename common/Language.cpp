#include "common/Language.h"

#include "common/AddinState.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"
#include "platform/profile/Profile.h"

namespace tavo {

std::string GetIniString(std::string_view section, std::string_view key, std::string_view file,
                         std::string_view defaultValue) {
  char buffer[260] = {};
  std::uint32_t n = 0;
  try {
    n = platform::profile::GetPrivateProfileStringA(section, key, defaultValue, buffer, sizeof buffer, file);
  } catch (const platform::RuntimeError&) {
    n = 0;  // errors are ignored: the value reads as empty
  }
  return platform::codepage::AnsiToUtf8(std::string_view(buffer, n));
}

std::string GetLanguageFile(AddinState& state, std::string_view code) {
  struct Choice {
    std::string_view code, file, name;
  };
  static constexpr Choice kChoices[] = {
      {"eng_us", "english.ini", "english"},
      {"chi_ch", "chinese.ini", "chinese"},
      {"jap_ja", "japanese.ini", "japanese"},
  };
  for (const Choice& c : kChoices) {
    if (code == c.code) {
      state.gLanguageName = std::string(c.name);
      return state.gApplicationPath + "\\Language\\" + std::string(c.file);
    }
  }
  return {};
}

bool LoadLanguageSection(AddinState& state, const LanguageSection& section) {
  try {
    for (const LanguageKey& k : section.keys)
      state.strings.Set(k.variable, GetIniString(section.section, k.iniKey, state.gLanguageFile, k.defaultValue));
    return true;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

bool LoadLanguage(AddinState& state) {
  try {
    if (state.gLanguageCode.empty()) return true;
    // A file that is missing reads as one without sections: every key takes its default.
    state.gLanguageFile = GetLanguageFile(state, state.gLanguageCode);
    const bool english = state.gLanguageName == "english";
    for (const LanguageSection& section : LanguageSections(state.params)) {
      if (english && section.dialog) continue;
      if (!LoadLanguageSection(state, section)) return false;
    }
    return true;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

}  // namespace tavo
