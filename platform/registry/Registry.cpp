#include "platform/registry/Registry.h"

#include <cstring>

#include "platform/core/Text.h"
#include "platform/registry/Store.h"

namespace platform::registry {
namespace {

using store::Transaction;

bool ValidHive(Hive hive) { return hive == HKEY_CURRENT_USER || hive == HKEY_LOCAL_MACHINE; }

// "Software\\tavo\" is "Software\tavo": empty components are dropped.
std::string NormalizeKeyPath(std::string_view path) {
  std::string out;
  for (const std::string& part : text::Split(path, "\\")) {
    if (part.empty()) continue;
    if (!out.empty()) out += '\\';
    out += part;
  }
  return out;
}

std::string Fold(std::string_view s) { return text::FoldCase(s); }

bool KeyExists(Transaction& t, Hive hive, const std::string& path) {
  if (path.empty()) return true;  // the hive itself
  return t.Prepare("SELECT 1 FROM registry_keys WHERE hive=?1 AND path_lc=?2").Bind(1, hive).Bind(2, Fold(path)).Step();
}

// Creates the key and every missing parent, keeping the spelling of those that exist.
void CreateKeyPath(Transaction& t, Hive hive, const std::string& path) {
  std::string prefix;
  for (const std::string& part : text::Split(path, "\\")) {
    if (!prefix.empty()) prefix += '\\';
    prefix += part;
    t.Prepare("INSERT OR IGNORE INTO registry_keys(hive, path_lc, path) VALUES(?1, ?2, ?3)")
        .Bind(1, hive)
        .Bind(2, Fold(prefix))
        .Bind(3, prefix)
        .Run();
  }
}

bool MachineWritable(Transaction& t) {
  auto s = t.Prepare("SELECT value FROM registry_settings WHERE name='hklm_writable'");
  return !s.Step() || s.Text(0) != "0";
}

bool Denied(Transaction& t, Hive hive) { return hive == HKEY_LOCAL_MACHINE && !MachineWritable(t); }

void StoreValue(Transaction& t, Hive hive, const std::string& key, std::string_view name, ValueType type,
                std::string_view bytes) {
  CreateKeyPath(t, hive, key);
  // An existing value keeps the spelling of its name, as a key does.
  t.Prepare(
       "INSERT INTO registry_values(hive, key_lc, key, name_lc, name, type, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"
       " ON CONFLICT(hive, key_lc, name_lc) DO UPDATE SET type=excluded.type, data=excluded.data")
      .Bind(1, hive)
      .Bind(2, Fold(key))
      .Bind(3, key)
      .Bind(4, Fold(name))
      .Bind(5, name)
      .Bind(6, type)
      .BindBlob(7, bytes)
      .Run();
}

bool LoadValue(Transaction& t, Hive hive, const std::string& key, std::string_view name, Value* value) {
  auto s = t.Prepare("SELECT type, data FROM registry_values WHERE hive=?1 AND key_lc=?2 AND name_lc=?3");
  s.Bind(1, hive).Bind(2, Fold(key)).Bind(3, Fold(name));
  if (!s.Step()) return false;
  value->type = static_cast<ValueType>(s.Int(0));
  value->bytes = s.Blob(1);
  return true;
}

long OpenOrCreate(Hive hive, std::string_view subKey, Key* result, bool create) {
  if (result) *result = Key{};
  if (!ValidHive(hive)) return ERROR_INVALID_HANDLE;
  if (!result) return ERROR_INVALID_PARAMETER;
  std::string path = NormalizeKeyPath(subKey);
  long status = ERROR_SUCCESS;
  bool ok = store::Run(create, [&](Transaction& t) {
    status = ERROR_SUCCESS;
    if (KeyExists(t, hive, path)) return;
    if (!create) {
      status = ERROR_FILE_NOT_FOUND;
    } else if (Denied(t, hive)) {
      status = ERROR_ACCESS_DENIED;
    } else {
      CreateKeyPath(t, hive, path);
    }
  });
  if (!ok) return ERROR_REGISTRY_IO_FAILED;
  if (status == ERROR_SUCCESS) *result = Key{hive, path, true};
  return status;
}

bool Write(Hive hive, std::string_view subKey, std::string_view valueName, const Value& value, bool honourLock) {
  if (!ValidHive(hive)) return false;
  std::string path = NormalizeKeyPath(subKey);
  bool denied = false;
  bool ok = store::Run(true, [&](Transaction& t) {
    denied = honourLock && Denied(t, hive);
    if (!denied) StoreValue(t, hive, path, valueName, value.type, value.bytes);
  });
  return ok && !denied;
}

}  // namespace

long RegCreateKeyA(Hive hive, std::string_view subKey, Key* result) { return OpenOrCreate(hive, subKey, result, true); }

long RegOpenKeyA(Hive hive, std::string_view subKey, Key* result) { return OpenOrCreate(hive, subKey, result, false); }

long RegCloseKey(Key* key) {
  if (!key || !key->open) return ERROR_INVALID_HANDLE;
  key->open = false;
  return ERROR_SUCCESS;
}

long RegQueryValueExA(const Key& key, std::string_view valueName, ValueType* type, char* data, std::uint32_t* size) {
  if (!key.open || !ValidHive(key.hive)) return ERROR_INVALID_HANDLE;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  Value value;
  bool found = false;
  if (!store::Run(false, [&](Transaction& t) { found = LoadValue(t, key.hive, key.path, valueName, &value); }))
    return ERROR_REGISTRY_IO_FAILED;
  if (!found) return ERROR_FILE_NOT_FOUND;
  if (type) *type = value.type;
  auto needed = static_cast<std::uint32_t>(value.bytes.size());
  if (!data) {
    if (size) *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (needed > 0) std::memcpy(data, value.bytes.data(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

long RegSetValueExA(const Key& key, std::string_view valueName, std::uint32_t reserved, ValueType type,
                    const char* data, std::uint32_t size) {
  if (!key.open || !ValidHive(key.hive)) return ERROR_INVALID_HANDLE;
  if (reserved != 0 || (!data && size > 0)) return ERROR_INVALID_PARAMETER;
  std::string_view bytes(data ? data : "", data ? size : 0);
  long status = ERROR_SUCCESS;
  bool ok = store::Run(true, [&](Transaction& t) {
    status = Denied(t, key.hive) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    if (status == ERROR_SUCCESS) StoreValue(t, key.hive, key.path, valueName, type, bytes);
  });
  return ok ? status : ERROR_REGISTRY_IO_FAILED;
}

long RegDeleteValueA(const Key& key, std::string_view valueName) {
  if (!key.open || !ValidHive(key.hive)) return ERROR_INVALID_HANDLE;
  long status = ERROR_SUCCESS;
  bool ok = store::Run(true, [&](Transaction& t) {
    if (Denied(t, key.hive)) {
      status = ERROR_ACCESS_DENIED;
      return;
    }
    auto s = t.Prepare("DELETE FROM registry_values WHERE hive=?1 AND key_lc=?2 AND name_lc=?3 RETURNING id");
    s.Bind(1, key.hive).Bind(2, Fold(key.path)).Bind(3, Fold(valueName));
    status = s.Step() ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    s.Run();
  });
  return ok ? status : ERROR_REGISTRY_IO_FAILED;
}

bool ReadValue(Hive hive, std::string_view subKey, std::string_view valueName, Value* value) {
  if (!ValidHive(hive) || !value) return false;
  std::string path = NormalizeKeyPath(subKey);
  bool found = false;
  bool ok = store::Run(false, [&](Transaction& t) { found = LoadValue(t, hive, path, valueName, value); });
  return ok && found;
}

bool WriteValue(Hive hive, std::string_view subKey, std::string_view valueName, const Value& value) {
  return Write(hive, subKey, valueName, value, true);
}

bool WriteSystemValue(Hive hive, std::string_view subKey, std::string_view valueName, const Value& value) {
  return Write(hive, subKey, valueName, value, false);
}

std::vector<std::string> SubKeyNames(Hive hive, std::string_view subKey) {
  std::vector<std::string> names;
  if (!ValidHive(hive)) return names;
  std::string path = NormalizeKeyPath(subKey);
  std::string prefix = path.empty() ? std::string() : Fold(path) + "\\";
  store::Run(false, [&](Transaction& t) {
    names.clear();
    // Children sort between "<key>\" and "<key>]" (']' follows '\' in byte order).
    auto s = t.Prepare(
        "SELECT path_lc, path FROM registry_keys WHERE hive=?1 AND (?2 = '' OR (path_lc > ?2 AND path_lc < ?3))"
        " ORDER BY path_lc");
    s.Bind(1, hive).Bind(2, prefix).Bind(3, prefix.empty() ? prefix : prefix.substr(0, prefix.size() - 1) + "]");
    while (s.Step()) {
      std::string lower = s.Text(0);
      if (lower.find('\\', prefix.size()) != std::string::npos) continue;  // a grandchild
      std::string original = s.Text(1);
      size_t cut = original.rfind('\\');
      names.push_back(cut == std::string::npos ? original : original.substr(cut + 1));
    }
  });
  return names;
}

std::vector<std::string> ValueNames(Hive hive, std::string_view subKey) {
  std::vector<std::string> names;
  if (!ValidHive(hive)) return names;
  std::string path = NormalizeKeyPath(subKey);
  store::Run(false, [&](Transaction& t) {
    names.clear();
    auto s = t.Prepare("SELECT name FROM registry_values WHERE hive=?1 AND key_lc=?2 ORDER BY id");
    s.Bind(1, hive).Bind(2, Fold(path));
    while (s.Step()) names.push_back(s.Text(0));
  });
  return names;
}

Value StringValue(std::string_view text) {
  Value v;
  v.type = REG_SZ;
  v.bytes.assign(text);
  v.bytes.push_back('\0');
  return v;
}

Value DwordValue(std::uint32_t number) {
  Value v;
  v.type = REG_DWORD;
  for (int i = 0; i < 4; ++i) v.bytes.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
  return v;
}

void SetLocalMachineWritable(bool writable) {
  store::Run(true, [&](Transaction& t) {
    t.Prepare("INSERT OR REPLACE INTO registry_settings(name, value) VALUES('hklm_writable', ?1)")
        .Bind(1, std::string_view(writable ? "1" : "0"))
        .Run();
  });
}

bool LocalMachineWritable() {
  bool writable = true;
  store::Run(false, [&](Transaction& t) { writable = MachineWritable(t); });
  return writable;
}

}  // namespace platform::registry
