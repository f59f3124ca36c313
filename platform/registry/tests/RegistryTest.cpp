#include "platform/registry/Registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/environment/TestSupport.h"

using namespace platform::registry;

namespace {

const char* const kAccounts = "Software\\tavo\\accounts\\reg";

class Registry : public ::testing::Test {
 protected:
  platform::environment::TempEnvironment env;
};

std::string Query(const Key& key, const char* name, ValueType* type = nullptr) {
  std::uint32_t size = 0;
  ValueType t = REG_NONE;
  if (RegQueryValueExA(key, name, &t, nullptr, &size) != ERROR_SUCCESS) return "<missing>";
  std::string data(size, ' ');
  EXPECT_EQ(RegQueryValueExA(key, name, &t, data.data(), &size), ERROR_SUCCESS);
  if (type) *type = t;
  return data.substr(0, size);
}

TEST_F(Registry, ValuesComeBackWithTheirBytesAndType) {
  Key key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kAccounts, &key), ERROR_SUCCESS);
  const std::string withNul("text\0more", 9);
  struct Case {
    const char* name;
    ValueType type;
    std::string bytes;
  } cases[] = {
      {"embedded", REG_SZ, withNul},       // stored as given; readers cut at the NUL
      {"unterminated", REG_SZ, "abc"},     // no NUL added on the way in or out
      {"terminated", REG_SZ, std::string("abc\0", 4)},
      {"empty", REG_SZ, ""},
      {"number", REG_DWORD, std::string("\x2a\0\0\0", 4)},
      {"", REG_SZ, std::string("default\0", 8)},  // the key's unnamed value
  };
  for (const Case& k : cases) {
    ASSERT_EQ(RegSetValueExA(key, k.name, 0, k.type, k.bytes.data(), static_cast<std::uint32_t>(k.bytes.size())),
              ERROR_SUCCESS);
  }
  for (const Case& k : cases) {
    ValueType type = REG_NONE;
    EXPECT_EQ(Query(key, k.name, &type), k.bytes) << k.name;
    EXPECT_EQ(type, k.type) << k.name;
  }
  EXPECT_EQ(DwordValue(42).bytes, cases[4].bytes);
  EXPECT_EQ(StringValue("abc").bytes, cases[2].bytes);
  RegCloseKey(&key);
}

TEST_F(Registry, QueryFollowsTheTwoCallPattern) {
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kAccounts, "tavoticketid", StringValue("ticket-1")));
  Key key;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, kAccounts, &key), ERROR_SUCCESS);
  ValueType type = REG_NONE;
  std::uint32_t size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "tavoticketid", &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 9u);
  char small[4];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "tavoticketid", &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 9u);
  EXPECT_EQ(RegQueryValueExA(key, "missing", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExA(key, "tavoticketid", &type, small, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExA(key, "x", 1, REG_SZ, "a", 1), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(&key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(&key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExA(key, "tavoticketid", &type, nullptr, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyA(0x80000009u, "Software", &key), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, KeysAndNamesIgnoreCaseAndKeepTheirFirstSpelling) {
  Key key;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Tavo\\Tavo Writer Word Plugin\\reg", &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "ApplicationPath", 0, REG_SZ, "C:\\x", 4), ERROR_SUCCESS);
  Key other;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "SOFTWARE\\tavo\\tavo writer word plugin\\REG", &other), ERROR_SUCCESS);
  EXPECT_EQ(Query(other, "applicationpath"), "C:\\x");
  ASSERT_EQ(RegSetValueExA(other, "APPLICATIONPATH", 0, REG_SZ, "C:\\y", 4), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, "software\\tavo\\tavo writer word plugin\\reg"),
            std::vector<std::string>{"ApplicationPath"});
  // The parents were created on the way, and listing shows only direct children.
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "software\\tavo\\accounts\\reg", &other), ERROR_SUCCESS);
  EXPECT_EQ(SubKeyNames(HKEY_CURRENT_USER, "software\\TAVO"),
            (std::vector<std::string>{"accounts", "Tavo Writer Word Plugin"}));
  EXPECT_EQ(SubKeyNames(HKEY_CURRENT_USER, ""), std::vector<std::string>{"Software"});
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\tavo\\nothing", &other), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Tavo", &other), ERROR_FILE_NOT_FOUND);  // other hive
  EXPECT_EQ(RegDeleteValueA(key, "applicationPATH"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "applicationpath"), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, ReadOnlyLocalMachineRefusesWritesOnly) {
  const char* language = "Software\\Halvorik\\Tavo Plug-in for Microsoft Office";
  ASSERT_TRUE(WriteValue(HKEY_LOCAL_MACHINE, language, "Language", StringValue("eng_us")));
  SetLocalMachineWritable(false);
  EXPECT_FALSE(LocalMachineWritable());
  Key key;
  EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\New", &key), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(key.open);
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, language, &key), ERROR_SUCCESS);  // exists: opens
  EXPECT_EQ(RegSetValueExA(key, "Language", 0, REG_SZ, "chi_ch", 6), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(key, "Language"), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(WriteValue(HKEY_LOCAL_MACHINE, language, "Language", StringValue("jap_ja")));
  EXPECT_EQ(Query(key, "Language"), std::string("eng_us\0", 7));
  // The machine's own settings and the current user's hive are not affected.
  EXPECT_TRUE(WriteSystemValue(HKEY_LOCAL_MACHINE, "SYSTEM\\x", "ACP", StringValue("936")));
  EXPECT_TRUE(WriteValue(HKEY_CURRENT_USER, kAccounts, "wordstatus", StringValue("1")));
  SetLocalMachineWritable(true);
  EXPECT_EQ(RegSetValueExA(key, "Language", 0, REG_SZ, "chi_ch", 6), ERROR_SUCCESS);
}

TEST_F(Registry, EachEnvironmentHasItsOwnStore) {
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kAccounts, "tavousername", StringValue("outer")));
  {
    platform::environment::TempEnvironment inner;
    Value v;
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kAccounts, "tavousername", &v));
    ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kAccounts, "tavousername", StringValue("inner")));
  }
  Value v;
  ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, kAccounts, "tavousername", &v));
  EXPECT_EQ(v.bytes, std::string("outer\0", 6));
}

// Each writer stores whole values of its own pattern; every read must see one whole value.
int WriteAndReadLoop(char mine, int rounds) {
  int faults = 0;
  const std::string a(300, 'a'), b(300, 'b');
  for (int i = 0; i < rounds; ++i) {
    if (!WriteValue(HKEY_CURRENT_USER, kAccounts, "tavoticketid", StringValue(std::string(300, mine)))) ++faults;
    Value v;
    if (!ReadValue(HKEY_CURRENT_USER, kAccounts, "tavoticketid", &v)) {
      ++faults;
      continue;
    }
    std::string text = v.bytes.substr(0, v.bytes.size() - 1);
    if (v.type != REG_SZ || (text != a && text != b)) ++faults;
  }
  return faults;
}

TEST_F(Registry, TwoProcessesShareOneKeyWithoutTornValuesOrLockErrors) {
  ASSERT_TRUE(WriteValue(HKEY_CURRENT_USER, kAccounts, "tavoticketid", StringValue(std::string(300, 'a'))));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(WriteAndReadLoop('b', 2000) == 0 ? 0 : 1);
  EXPECT_EQ(WriteAndReadLoop('a', 2000), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child process saw faults";
}

TEST_F(Registry, ThreadsOfOneProcessShareTheConnection) {
  int faults[2] = {0, 0};
  std::thread first([&] { faults[0] = WriteAndReadLoop('a', 200); });
  std::thread second([&] { faults[1] = WriteAndReadLoop('b', 200); });
  first.join();
  second.join();
  EXPECT_EQ(faults[0] + faults[1], 0);
}

}  // namespace
