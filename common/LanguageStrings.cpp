#include "common/LanguageStrings.h"

#include <cstdio>
#include <stdexcept>

#include "common/AddinParameterSet.h"

namespace tavo {
namespace {

LanguageSection Section(const AddinParameterSet& params, std::string loader, std::string_view suffix,
                        std::initializer_list<std::string_view> keys) {
  LanguageSection s{std::move(loader), std::string(params.languageSectionPrefix) + std::string(suffix), {}, true};
  for (std::string_view k : keys) s.keys.push_back({std::string(k), std::string(k), ""});
  return s;
}

LanguageSection LicenseSection(const AddinParameterSet& params) {
  LanguageSection s = Section(params, "LoadLicenseStrings", "frmlicense", {});
  // The first key is written with a trailing blank; the reader trims it, the code does not.
  s.keys.push_back({"gfrmlicense_Label1 ", "gfrmlicense_Label1", ""});
  for (int i = 2; i <= 13; ++i) {
    std::string k = "gfrmlicense_Label" + std::to_string(i);
    s.keys.push_back({k, k, ""});
  }
  for (int i = 14; i <= 20; ++i) {
    std::string k = "gfrmlicense_label" + std::to_string(i);
    s.keys.push_back({k, k, ""});
  }
  s.keys.push_back({"gfrmlicense_Command1", "gfrmlicense_Command1", ""});
  s.keys.push_back({"gfrmlicense_Command2", "gfrmlicense_Command2", ""});
  return s;
}

LanguageSection MenuSection(const AddinParameterSet& params) {
  LanguageSection s = Section(params, "LoadMenuStrings", "Menu", {});
  auto add = [&](const std::string& k) { s.keys.push_back({k, "g" + k, ""}); };
  for (int i = 1; i <= 8; ++i) add("menu" + std::to_string(i));
  for (int i = 1; i <= 4; ++i) add("sidemenu" + std::to_string(i));
  for (int i = 1; i <= 4; ++i) add("menutip" + std::to_string(i));
  s.dialog = false;
  return s;
}

LanguageSection MessageSection(const AddinParameterSet& params) {
  LanguageSection s = Section(params, std::string(params.messageLoaderName), "Messages", {});
  for (int i = 1; i <= params.messageCount; ++i) {
    char k[16];
    std::snprintf(k, sizeof k, "gMsg%02d", i);
    s.keys.push_back({k, k, ""});
  }
  s.dialog = false;
  return s;
}

}  // namespace

std::vector<LanguageSection> LanguageSections(const AddinParameterSet& params) {
  std::vector<LanguageSection> sections;
  sections.push_back(Section(params, "LoadAboutUsStrings", "frmAboutus",
                             {"gfrmAboutus_label1", "gfrmAboutus_label2", "gfrmAboutus_command1"}));
  sections.push_back(Section(params, "LoadConfigStrings", "frmConfig",
                             {"gusername", "gpassword", "grememberme", "gkeeplocalcopy", "gcommandsave",
                              "gcommandcancel", "glinklabel", "glocalkeepcaption"}));
  sections.push_back(Section(params, "LoadConfigLocalStrings", "frmconfiglocal",
                             {"gusernamelocal", "gpasswordlocal", "gremembermelocal", "gcommandopenlocal",
                              "gcommandcancellocal", "glinklabellocal"}));
  sections.push_back(Section(params, "LoadConfirmStrings", "frmconfirm",
                             {"gfrmconfirm_label1", "gfrmconfirm_yes", "gfrmconfirm_cancel"}));
  LanguageSection docList = Section(params, std::string(params.docListLoaderName), "frmdoclist", {});
  for (std::string_view k : params.docListKeys) docList.keys.push_back({std::string(k), std::string(k), ""});
  sections.push_back(std::move(docList));
  sections.push_back(Section(params, "LoadFileConfirmStrings", "frmfileconfirm",
                             {"gfrmfileconfirm_label1", "gfrmfileconfirm_command1", "gfrmfileconfirm_command2"}));
  sections.push_back(Section(params, "LoadLocalVersionStrings", "frmlocalversion",
                             {"gfrmlocalversion_label1", "gfrmlocalversion_command1",
                              "gfrmlocalversion_command2"}));
  LanguageSection lowVersion =
      Section(params, "LoadLowVersionStrings", "frmlowversion",
              {"gfrmlowversion_label1", "gfrmlowversion_command1", "gfrmlowversion_command2"});
  for (std::size_t i = 0; i < lowVersion.keys.size(); ++i)
    lowVersion.keys[i].defaultValue = std::string(params.lowVersionDefaults[i]);
  sections.push_back(std::move(lowVersion));
  sections.push_back(LicenseSection(params));
  sections.push_back(Section(params, "LoadOpenLocalFilesStrings", "frmopenlocalfiles",
                             {"gfrmopenlocalfiles_label1", "gfrmopenlocalfiles_label2",
                              "gfrmopenlocalfiles_label3", "gfrmopenlocalfiles_label6",
                              "gfrmopenlocalfiles_command1", "gfrmopenlocalfiles_command2",
                              "gfrmopenlocalfiles_command3"}));
  sections.push_back(MenuSection(params));
  sections.push_back(MessageSection(params));
  return sections;
}

LanguageStrings::LanguageStrings(const AddinParameterSet& params) {
  for (const LanguageSection& s : LanguageSections(params))
    for (const LanguageKey& k : s.keys) values_.emplace(k.variable, std::string());
}

template <class Map>
auto& LanguageStrings::Slot(Map& values, std::string_view variable) {
  auto it = values.find(variable);
  if (it == values.end()) throw std::out_of_range("no language text named " + std::string(variable));
  return it->second;
}

const std::string& LanguageStrings::operator[](std::string_view variable) const {
  return Slot(values_, variable);
}

void LanguageStrings::Set(std::string_view variable, std::string value) { Slot(values_, variable) = std::move(value); }

bool LanguageStrings::Has(std::string_view variable) const { return values_.find(variable) != values_.end(); }

std::vector<std::string> LanguageStrings::Names() const {
  std::vector<std::string> names;
  names.reserve(values_.size());
  for (const auto& [name, value] : values_) names.push_back(name);
  return names;
}

}  // namespace tavo
