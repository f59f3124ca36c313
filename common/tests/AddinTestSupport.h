#pragma once
// For the add-ins' tests: the registry and the installation as an installer, an earlier sign-in
// or the other add-in leave them.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/office/CommandBars.h"
#include "platform/registry/Registry.h"

namespace tavo::test {

// A value of the key both add-ins share for the sign-in.
inline std::string Shared(std::string_view name) {
  return GetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, name);
}
inline void SetShared(std::string_view name, std::string_view value) {
  SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, name, value);
}

// The other add-in signed in as `user`, as its sign-in leaves the shared key; `statusValue` is
// its status ("wordstatus" or "excelstatus"). A blank name or password is stored blank.
inline void SignedInElsewhere(std::string_view statusValue, const std::string& user, const std::string& password,
                              const std::string& ticket) {
  SetShared("tavousername", user.empty() ? "" : EncodeBase64(user));
  SetShared("tavopassword", password.empty() ? "" : EncodeBase64(password));
  SetShared("tavoticketid", ticket);
  SetShared(statusValue, "1");
}

// The files of drive C: outside the given folders (Windows paths), by their host paths: compared
// before and after, they show whether anything was written where it does not belong.
inline std::set<std::string> FilesOnDriveCOutside(std::initializer_list<std::string> folders) {
  std::vector<std::string> skipped;
  for (const std::string& folder : folders) skipped.push_back(platform::environment::HostPath(folder).string() + "/");
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(platform::environment::HostPath("C:\\"))) {
    const std::string path = entry.path().string();
    if (!entry.is_regular_file()) continue;
    bool inside = false;
    for (const std::string& folder : skipped) inside = inside || path.starts_with(folder);
    if (!inside) files.insert(path);
  }
  return files;
}

// The settings of the add-in whose settings key this is.
class AddinSettings {
 public:
  explicit constexpr AddinSettings(std::string_view settingsKey) : key_(settingsKey) {}
  std::string Get(std::string_view name) const { return GetRegistryString(HKEY_CURRENT_USER, key_, name); }
  void Set(std::string_view name, std::string_view value) const {
    SetRegistryString(HKEY_CURRENT_USER, key_, name, value);
  }
  // Credentials remembered by an earlier sign-in with remember-me ticked.
  void RememberCredentials(const std::string& user, const std::string& password, bool saveLocal) const {
    Set("tavousername", EncodeBase64(user));
    Set("tavopassword", EncodeBase64(password));
    Set("tavoremember", "remember");
    Set("tavosavelocal", saveLocal ? "1" : "0");
  }
  // An installation folder of the add-in's own whose Language folder holds the file.
  void InstallLanguageFile(const std::string& file, const std::string& content) const {
    platform::files::CreateFolder("C:\\tavoapp");
    platform::files::CreateFolder("C:\\tavoapp\\Language");
    platform::files::WriteAllBytes("C:\\tavoapp\\Language\\" + file, content);
    Set("applicationpath", "C:\\tavoapp");
  }

 private:
  std::string_view key_;
};

// The interface language code in the machine's language key.
inline void SetLanguage(const std::string& code) {
  SetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language", code);
}

// A DWORD value of the registry; 0xFFFFFFFF when there is none.
inline std::uint32_t Dword(platform::registry::Hive hive, const char* key, const char* name) {
  platform::registry::Value value;
  if (!platform::registry::ReadValue(hive, key, name, &value) || value.type != platform::registry::REG_DWORD)
    return 0xFFFFFFFF;
  std::uint32_t n = 0;
  for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(value.bytes[i]);
  return n;
}

// "\uXXXX" for every character of an ASCII text, as the translated files hold it.
inline std::string Escaped(const std::string& ascii) {
  std::string out;
  char buffer[8];
  for (unsigned char c : ascii) {
    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
    out += buffer;
  }
  return out;
}

// A translated Menu section ("WRITER_" or "SHEET_" before "Menu") whose every value is a CJK
// character followed by a marker, so that a test sees which value went where and that it was
// decoded: menuN "M<N>", sidemenuN "S<N>", menutipN "T<N>"; decoded, "\xe8\x8f\x9c" + marker.
inline std::string MarkedMenuSection(std::string_view prefix) {
  std::string menu = "[" + std::string(prefix) + "Menu]\r\n";
  auto add = [&menu](const std::string& key, const std::string& marker) {
    menu += key + "=\\u83dc" + Escaped(marker) + "\r\n";
  };
  for (int i = 1; i <= 8; ++i) add("menu" + std::to_string(i), "M" + std::to_string(i));
  for (int i = 1; i <= 4; ++i) {
    add("sidemenu" + std::to_string(i), "S" + std::to_string(i));
    add("menutip" + std::to_string(i), "T" + std::to_string(i));
  }
  return menu;
}

// The commands of an add-in's toolbar in the order they were made: the drop-down menu's items,
// then the buttons after it.
inline std::vector<platform::office::Ref<platform::office::CommandBarControl>> ToolbarCommands(
    const platform::office::Ref<platform::office::CommandBar>& bar) {
  std::vector<platform::office::Ref<platform::office::CommandBarControl>> controls;
  auto& menu = bar->Controls().Item(1)->Controls();
  for (int i = 1; i <= menu.Count(); ++i) controls.push_back(menu.Item(i));
  for (int i = 2; i <= bar->Controls().Count(); ++i) controls.push_back(bar->Controls().Item(i));
  return controls;
}
// Their enabled states, as "1" and "0" in that order.
inline std::string EnabledStates(const platform::office::Ref<platform::office::CommandBar>& bar) {
  std::string states;
  for (const auto& c : ToolbarCommands(bar)) states += c->Enabled() ? '1' : '0';
  return states;
}

}  // namespace tavo::test
