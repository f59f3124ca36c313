#pragma once
// The language texts of one add-in: one value per key of its language file, held under the
// variable name the dialogs and messages use (gMsg17, gusername, gmenu1, ...). Only the keys
// the add-in knows exist; asking for any other name throws, so that a misspelt key fails loudly.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

struct AddinParameterSet;

struct LanguageKey {
  std::string iniKey;        // as written in the file ("menu1", "gfrmlicense_Label1 ")
  std::string variable;      // the name the code uses ("gmenu1", "gfrmlicense_Label1")
  std::string defaultValue;  // what a missing key reads as
};

struct LanguageSection {
  std::string loaderName;  // "LoadConfigStrings", ...
  std::string section;     // "WRITER_frmConfig", ...
  std::vector<LanguageKey> keys;
  bool dialog = true;  // a dialog's captions; false for Menu and Messages
};

// The sections an add-in reads, in loading order: the dialog sections, then Menu, then Messages.
std::vector<LanguageSection> LanguageSections(const AddinParameterSet& params);

class LanguageStrings {
 public:
  explicit LanguageStrings(const AddinParameterSet& params);

  // The text held for a variable name; std::out_of_range for a name the add-in does not have.
  const std::string& operator[](std::string_view variable) const;
  void Set(std::string_view variable, std::string value);
  bool Has(std::string_view variable) const;
  std::vector<std::string> Names() const;

 private:
  template <class Map>
  static auto& Slot(Map& values, std::string_view variable);
  std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace tavo
