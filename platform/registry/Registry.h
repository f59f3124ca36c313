#pragma once
// The registry of the current environment: keys under two hives holding typed values, kept in
// an SQLite database in the environment root (one table of hive, key, value name, type, bytes)
// that several processes may use at once; each call is one transaction, the last writer wins.
// Key and value names compare case-insensitively. The calls follow the Win32 registry API:
// they return an error code and never throw. HKEY_LOCAL_MACHINE can be made read-only, as on a
// locked-down machine, so that creating keys or writing values there fails with
// ERROR_ACCESS_DENIED.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

using Hive = std::uint32_t;
inline constexpr Hive HKEY_CURRENT_USER = 0x80000001u;
inline constexpr Hive HKEY_LOCAL_MACHINE = 0x80000002u;

using ValueType = std::uint32_t;
inline constexpr ValueType REG_NONE = 0;
inline constexpr ValueType REG_SZ = 1;
inline constexpr ValueType REG_BINARY = 3;
inline constexpr ValueType REG_DWORD = 4;

inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_MORE_DATA = 234;
inline constexpr long ERROR_REGISTRY_IO_FAILED = 1016;  // the store could not be read or written

// An open key.
struct Key {
  Hive hive = 0;
  std::string path;  // "Software\tavo\accounts\reg"
  bool open = false;
};

long RegCreateKeyA(Hive hive, std::string_view subKey, Key* result);
long RegOpenKeyA(Hive hive, std::string_view subKey, Key* result);  // ERROR_FILE_NOT_FOUND when missing
long RegCloseKey(Key* key);

// Two-call pattern: with data == nullptr, reports the type and byte size. With data, copies at
// most *size bytes into it (ERROR_MORE_DATA when the value is larger) and sets *size to the
// byte count copied. A REG_SZ value is returned as stored; no terminating NUL is added.
long RegQueryValueExA(const Key& key, std::string_view valueName, ValueType* type, char* data,
                      std::uint32_t* size);
// Stores `size` bytes of `data` under the value name with the given type (reserved must be 0).
long RegSetValueExA(const Key& key, std::string_view valueName, std::uint32_t reserved, ValueType type,
                    const char* data, std::uint32_t size);
long RegDeleteValueA(const Key& key, std::string_view valueName);

// Convenience for programs of the platform (host, installer, tests), not the add-ins' wrappers.
struct Value {
  ValueType type = REG_NONE;
  std::string bytes;
};
bool ReadValue(Hive hive, std::string_view subKey, std::string_view valueName, Value* value);
bool WriteValue(Hive hive, std::string_view subKey, std::string_view valueName, const Value& value);
std::vector<std::string> SubKeyNames(Hive hive, std::string_view subKey);
std::vector<std::string> ValueNames(Hive hive, std::string_view subKey);
Value StringValue(std::string_view text);   // REG_SZ with a terminating NUL, as regedit stores it
Value DwordValue(std::uint32_t number);     // REG_DWORD, 4 bytes little-endian

// Whether HKEY_LOCAL_MACHINE accepts writes in this environment (kept in the store).
void SetLocalMachineWritable(bool writable);
bool LocalMachineWritable();
// WriteValue for the machine's own settings (the system code page), which a locked-down
// HKEY_LOCAL_MACHINE still holds: writes whatever LocalMachineWritable says.
bool WriteSystemValue(Hive hive, std::string_view subKey, std::string_view valueName, const Value& value);

}  // namespace platform::registry
