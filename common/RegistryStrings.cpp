#include "common/RegistryStrings.h"

#include "platform/codepage/CodePage.h"
#include "platform/core/RuntimeError.h"

namespace tavo {

namespace reg = platform::registry;

void CreateRegistryKey(reg::Hive hive, std::string_view keyPath) {
  try {
    reg::Key key;
    if (reg::RegCreateKeyA(hive, platform::codepage::Utf8ToAnsi(keyPath), &key) == reg::ERROR_SUCCESS)
      reg::RegCloseKey(&key);
  } catch (const platform::RuntimeError&) {
    // as every registry failure, a key that cannot be created is not reported
  }
}

std::string GetRegistryString(reg::Hive hive, std::string_view keyPath, std::string_view valueName) {
  try {
    reg::Key key;
    if (reg::RegOpenKeyA(hive, platform::codepage::Utf8ToAnsi(keyPath), &key) != reg::ERROR_SUCCESS) return {};
    const std::string name = platform::codepage::Utf8ToAnsi(valueName);
    std::string text;
    reg::ValueType type = reg::REG_NONE;
    std::uint32_t size = 0;
    if (reg::RegQueryValueExA(key, name, &type, nullptr, &size) == reg::ERROR_SUCCESS && type == reg::REG_SZ) {
      std::string buffer(size, ' ');
      if (reg::RegQueryValueExA(key, name, &type, buffer.data(), &size) == reg::ERROR_SUCCESS) {
        buffer.resize(size);
        text = buffer.substr(0, buffer.find('\0'));
      }
    }
    reg::RegCloseKey(&key);
    return platform::codepage::AnsiToUtf8(text);
  } catch (const platform::RuntimeError&) {
    return {};
  }
}

void SetRegistryString(reg::Hive hive, std::string_view keyPath, std::string_view valueName,
                       std::string_view value) {
  try {
    reg::Key key;
    if (reg::RegCreateKeyA(hive, platform::codepage::Utf8ToAnsi(keyPath), &key) != reg::ERROR_SUCCESS) return;
    const std::string bytes = platform::codepage::Utf8ToAnsi(value);
    reg::RegSetValueExA(key, platform::codepage::Utf8ToAnsi(valueName), 0, reg::REG_SZ, bytes.data(),
                        static_cast<std::uint32_t>(bytes.size()));
    reg::RegCloseKey(&key);
  } catch (const platform::RuntimeError&) {
    // a refused write is dropped, as every registry failure is
  }
}

}  // namespace tavo
