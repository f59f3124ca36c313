#pragma once
// Loading the language file chosen by the interface language code into the add-in's language
// texts. In English only the Menu and Messages sections are read: the dialogs keep their design
// captions.
#include <string>
#include <string_view>

#include "common/LanguageStrings.h"

namespace tavo {

struct AddinState;

// True when every section loaded, or when there is no language code at all; false at the first
// section that fails (the later ones are not read).
bool LoadLanguage(AddinState& state);

// The file for "eng_us", "chi_ch" or "jap_ja" under <applicationpath>\Language\ (setting
// gLanguageName); "" for any other code, gLanguageName unchanged.
std::string GetLanguageFile(AddinState& state, std::string_view code);

// One value through the private-profile reader with its 260-character buffer, so a longer value
// comes back cut to 259 characters. A missing file, section or key gives the default.
std::string GetIniString(std::string_view section, std::string_view key, std::string_view file,
                         std::string_view defaultValue);

// Reads every key of one section into the language texts; false on a run-time error.
bool LoadLanguageSection(AddinState& state, const LanguageSection& section);

}  // namespace tavo
