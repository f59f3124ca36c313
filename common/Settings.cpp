#include "common/Settings.h"

#include "common/AddinFolder.h"
#include "common/AddinState.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "common/RegistryStrings.h"
#include "common/StoredSecret.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/http/Url.h"

namespace tavo {
namespace {

using platform::text::Trim;

std::string GetSetting(const AddinState& state, std::string_view name) {
  return GetRegistryString(HKEY_CURRENT_USER, state.params.pluginSettingsKey, name);
}

void SetSetting(const AddinState& state, std::string_view name, std::string_view value) {
  SetRegistryString(HKEY_CURRENT_USER, state.params.pluginSettingsKey, name, value);
}

std::string GetLanguageCode() { return GetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language"); }

std::string OrDefault(std::string value, std::string_view fallback) {
  return value.empty() ? std::string(fallback) : value;
}

// The publishing calls carry the ticket in their query: they go over TLS whenever the API URL
// the user configured does, and over plain http otherwise, as the fixed base says.
std::string PrivateApiBase(std::string_view base, std::string_view apiUrl) {
  constexpr std::string_view plain = "http://";
  const auto api = platform::http::ParseUrlTarget(apiUrl);
  if (!api || api->scheme != "https" || !platform::text::StartsWith(base, plain)) return std::string(base);
  return "https://" + std::string(base.substr(plain.size()));
}

}  // namespace

bool CreatePluginRegistryKey(AddinState& state) {
  CreateRegistryKey(HKEY_CURRENT_USER, state.params.pluginSettingsKey);
  return true;
}

bool LoadApplicationSettings(AddinState& state) {
  try {
    state.gApplicationPath = GetSetting(state, "applicationpath");
    if (Trim(state.gApplicationPath).empty()) SetSetting(state, "applicationpath", AddinFolder());
    state.gApplicationPath = GetSetting(state, "applicationpath");
    state.gLanguageCode = GetLanguageCode();
    if (Trim(state.gLanguageCode).empty())
      SetRegistryString(HKEY_LOCAL_MACHINE, kLanguageKey, "Language", "eng_us");
    // Read back: where the machine key may not be written, the code stays blank.
    state.gLanguageCode = GetLanguageCode();
    return true;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

bool LoadSavedCredentials(AddinState& state) {
  try {
    const std::string user = GetSetting(state, "tavousername");
    const std::string password = GetSetting(state, "tavopassword");
    state.gRememberFlag = GetSetting(state, "tavoremember");
    state.gSaveLocalFlag = GetSetting(state, "tavosavelocal");
    if (!Trim(user).empty()) state.gLoginUser = DecodeStoredSecret(user);
    if (!Trim(password).empty()) state.gLoginPassword = DecodeStoredSecret(password);
    if (state.params.credentialsRereadLanguage) state.gLanguageCode = GetLanguageCode();
    return true;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

bool LoadServerSettings(AddinState& state) {
  const AddinParameterSet& p = state.params;
  state.gWriterUrl = OrDefault(GetSetting(state, p.webUrlValue), p.defaultWebUrl);
  state.gWriterApiUrl = OrDefault(GetSetting(state, p.apiUrlValue), p.defaultApiUrl);
  state.gAccountsUrl = OrDefault(GetSetting(state, "tavoaccountsurl"), p.defaultAccountsUrl);
  state.gLogLevel = OrDefault(GetSetting(state, "tavologlevel"), "Error");
  state.gWriterApiBaseUrl = PrivateApiBase(p.privateApiBaseUrl, state.gWriterApiUrl);
  SetSetting(state, p.webUrlValue, state.gWriterUrl);
  SetSetting(state, p.apiUrlValue, state.gWriterApiUrl);
  SetSetting(state, "tavoaccountsurl", state.gAccountsUrl);
  SetSetting(state, "tavologlevel", state.gLogLevel);
  return false;
}

void SaveCredentials(AddinState& state) {
  try {
    const std::string user = EncodeBase64(state.gLoginUser);
    const std::string password = EncodeBase64(state.gLoginPassword);
    SetSetting(state, "tavousername", user);
    SetSetting(state, "tavopassword", password);
    SetSetting(state, "tavoremember", state.gRememberFlag);
    SetSetting(state, "tavosavelocal", state.gSaveLocalFlag);
  } catch (const platform::RuntimeError& e) {
    ShowMessage(state, state.strings[state.params.saveCredentialsFailureKey], 0);
    WriteLog(state, "Error While saving Configuration | " + e.description(), "Error");
  }
}

}  // namespace tavo
