#include "platform/office/AddinRegistration.h"


#include "platform/registry/Registry.h"

namespace platform::office {
namespace reg = platform::registry;

namespace {

std::string StringOf(const reg::Value& value) {
  std::string text = value.bytes;
  if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  return text;
}

bool ReadString(reg::Hive hive, std::string_view key, std::string_view name, std::string* out) {
  reg::Value value;
  if (!reg::ReadValue(hive, key, name, &value) || value.type != reg::REG_SZ) return false;
  *out = StringOf(value);
  return true;
}

// A DWORD, or a decimal text as an installer may have written it.
bool ReadDword(reg::Hive hive, std::string_view key, std::string_view name, std::uint32_t* out) {
  reg::Value value;
  if (!reg::ReadValue(hive, key, name, &value)) return false;
  if (value.type == reg::REG_SZ) {
    std::string text = StringOf(value);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) return false;
    *out = static_cast<std::uint32_t>(std::stoul(text));
    return true;
  }
  if (value.type != reg::REG_DWORD || value.bytes.size() < 4) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(value.bytes.data());
  *out = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return true;
}

long Write(reg::Hive hive, std::string_view key, std::string_view name, const reg::Value& value) {
  reg::Key handle;
  long rc = reg::RegCreateKeyA(hive, key, &handle);
  if (rc != reg::ERROR_SUCCESS) return rc;
  rc = reg::RegSetValueExA(handle, name, 0, value.type, value.bytes.data(),
                           static_cast<std::uint32_t>(value.bytes.size()));
  reg::RegCloseKey(&handle);
  return rc;
}

long Delete(reg::Hive hive, std::string_view key, std::string_view name) {
  reg::Key handle;
  long rc = reg::RegOpenKeyA(hive, key, &handle);
  if (rc == reg::ERROR_FILE_NOT_FOUND) return reg::ERROR_SUCCESS;
  if (rc != reg::ERROR_SUCCESS) return rc;
  rc = reg::RegDeleteValueA(handle, name);
  reg::RegCloseKey(&handle);
  return rc == reg::ERROR_FILE_NOT_FOUND ? reg::ERROR_SUCCESS : rc;
}

}  // namespace

std::string AddinsKey(std::string_view host) {
  return "Software\\Microsoft\\Office\\" + std::string(host) + "\\Addins";
}

std::string ClassServerKey(std::string_view progId) {
  return "Software\\Classes\\" + std::string(progId) + "\\InprocServer32";
}

long RegisterAddin(const AddinRegistration& r) {
  const std::string addinKey = AddinsKey(r.host) + "\\" + r.progId;
  const struct {
    std::string key, name;
    reg::Value value;
  } userValues[] = {
      {ClassServerKey(r.progId), "", reg::StringValue(r.libraryPath)},
      {addinKey, "FriendlyName", reg::StringValue(r.friendlyName)},
      {addinKey, "Description", reg::StringValue(r.description)},
      {addinKey, "LoadBehavior", reg::DwordValue(r.loadBehavior)},
      {addinKey, "CommandLineSafe", reg::DwordValue(r.commandLineSafe)},
  };
  for (const auto& v : userValues) {
    if (long rc = Write(reg::HKEY_CURRENT_USER, v.key, v.name, v.value); rc != reg::ERROR_SUCCESS) return rc;
  }
  if (!r.localMachineKey.empty()) {
    // A locked-down machine refuses these; the per-user registration is what the host reads.
    Write(reg::HKEY_LOCAL_MACHINE, r.localMachineKey, "LoadBehavior", reg::DwordValue(r.loadBehavior));
    Write(reg::HKEY_LOCAL_MACHINE, r.localMachineKey, "CommandLineSafe", reg::DwordValue(r.commandLineSafe));
  }
  return reg::ERROR_SUCCESS;
}

long UnregisterAddin(const AddinRegistration& r) {
  const std::string addinKey = AddinsKey(r.host) + "\\" + r.progId;
  for (const char* name : {"FriendlyName", "Description", "LoadBehavior", "CommandLineSafe"}) {
    if (long rc = Delete(reg::HKEY_CURRENT_USER, addinKey, name); rc != reg::ERROR_SUCCESS) return rc;
  }
  if (long rc = Delete(reg::HKEY_CURRENT_USER, ClassServerKey(r.progId), ""); rc != reg::ERROR_SUCCESS) return rc;
  if (!r.localMachineKey.empty()) {
    Delete(reg::HKEY_LOCAL_MACHINE, r.localMachineKey, "LoadBehavior");
    Delete(reg::HKEY_LOCAL_MACHINE, r.localMachineKey, "CommandLineSafe");
  }
  return reg::ERROR_SUCCESS;
}

std::vector<RegisteredAddin> RegisteredAddins(std::string_view host) {
  std::vector<RegisteredAddin> addins;
  const std::string key = AddinsKey(host);
  for (const auto& progId : reg::SubKeyNames(reg::HKEY_CURRENT_USER, key)) {
    RegisteredAddin addin;
    addin.progId = progId;
    const std::string addinKey = key + "\\" + progId;
    if (!ReadDword(reg::HKEY_CURRENT_USER, addinKey, "LoadBehavior", &addin.loadBehavior)) continue;
    ReadString(reg::HKEY_CURRENT_USER, addinKey, "FriendlyName", &addin.friendlyName);
    ReadString(reg::HKEY_CURRENT_USER, addinKey, "Description", &addin.description);
    ReadString(reg::HKEY_CURRENT_USER, ClassServerKey(progId), "", &addin.libraryPath);
    addins.push_back(std::move(addin));
  }
  return addins;
}

}  // namespace platform::office
