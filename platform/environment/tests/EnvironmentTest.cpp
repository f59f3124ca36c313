#include "platform/environment/Environment.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/core/RuntimeError.h"
#include "platform/environment/TestSupport.h"

namespace fs = std::filesystem;
using namespace platform;
using namespace platform::environment;

namespace {

void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

TEST(Environment, NewRootHasTheUserProfileAndSystemFolders) {
  TempEnvironment temp("alice");
  const fs::path c = temp.root() / "drive_c";
  EXPECT_TRUE(fs::is_directory(c / "Users/alice/Documents"));
  EXPECT_TRUE(fs::is_directory(c / "Users/alice/AppData/Roaming"));
  EXPECT_TRUE(fs::is_directory(c / "Windows/System32/drivers/etc"));
  EXPECT_EQ(Current().userName(), "alice");
}

// The root and the folders made in it are the user's alone, whatever the umask; a root found
// open to others is closed to them.
TEST(Environment, TheRootIsPrivate) {
  ScopedUmask anyoneMayRead(0);
  fs::path root;
  {
    TempEnvironment temp;
    root = temp.root();
    for (const fs::path& folder : {root, root / "drive_c", root / "drive_c/Users/tavo/Documents",
                                   root / "drive_c/Users/tavo/AppData/Roaming", root / "drive_c/Windows/System32"})
      EXPECT_EQ(ModeOf(folder), 0700) << folder;
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ScopedEnvironment again(root);
    EXPECT_EQ(ModeOf(root), 0700);
  }
}

TEST(Environment, MapsWindowsPathsOntoTheRoot) {
  TempEnvironment temp;
  const fs::path c = temp.root() / "drive_c";
  struct Case {
    const char* windows;
    fs::path host;
  } cases[] = {
      {"C:\\Users\\tavo\\Documents", c / "Users/tavo/Documents"},
      {"c:/users/TAVO/documents", c / "Users/tavo/Documents"},  // found ignoring case
      {"C:\\a\\\\b\\", c / "a/b"},                              // doubled and trailing separators
      {"C:\\a\\.\\..\\..\\b", c / "b"},                         // never above the drive's root
      {"C:\\Users\\TAVO\\New Folder\\Doc.txt", c / "Users/tavo/New Folder/Doc.txt"},
      {"C:\\Users\\tavo\\name. ", c / "Users/tavo/name"},       // trailing dots and blanks ignored
      {"C:", c},
      {"Z:\\work\\x\\build", "/work/x/build"},
      {"z:\\", "/"},
  };
  for (const Case& k : cases) EXPECT_EQ(HostPath(k.windows), k.host) << k.windows;
}

TEST(Environment, RefusesPathsThatNameNoMappedDrive) {
  TempEnvironment temp;
  for (const char* bad : {"relative\\path", "D:\\x", "C:foo", "\\\\server\\share\\x", ""}) {
    try {
      HostPath(bad);
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), err::PathNotFound) << bad;
    }
  }
  // A NUL would cut the name short on this machine and reach another file.
  EXPECT_THROW(HostPath(std::string_view("C:\\a\0b", 6)), RuntimeError);
}

TEST(Environment, ComponentsDifferingOnlyInCaseAreOneFile) {
  TempEnvironment temp;
  fs::path folder = HostPath("C:\\Users\\tavo\\AppData\\Roaming");
  Touch(folder / "maptavoexcel.xml");
  EXPECT_EQ(HostPath("C:\\Users\\tavo\\AppData\\Roaming\\maptavoExcel.xml"), folder / "maptavoexcel.xml");
  // When the exact spelling exists it wins.
  Touch(folder / "maptavoExcel.xml");
  EXPECT_EQ(HostPath("C:\\Users\\tavo\\AppData\\Roaming\\maptavoExcel.xml"), folder / "maptavoExcel.xml");
  EXPECT_EQ(HostPath("C:\\Users\\tavo\\AppData\\Roaming\\maptavoexcel.xml"), folder / "maptavoexcel.xml");
}

TEST(Environment, WindowsPathOfHostPaths) {
  TempEnvironment temp;
  EXPECT_EQ(Current().WindowsPath(temp.root() / "drive_c" / "Users" / "tavo"), "C:\\Users\\tavo");
  EXPECT_EQ(Current().WindowsPath(temp.root() / "drive_c"), "C:\\");
  EXPECT_EQ(Current().WindowsPath("/work/x/build"), "Z:\\work\\x\\build");
  EXPECT_EQ(Current().WindowsPath("/"), "Z:\\");
  EXPECT_EQ(HostPath(Current().WindowsPath("/work/x/build")), "/work/x/build");
}

TEST(Environment, ScopedEnvironmentsNestAndRestore) {
  TempEnvironment outer;
  std::uint64_t outerId = Current().id();
  {
    TempEnvironment inner("bob");
    EXPECT_NE(Current().id(), outerId);
    EXPECT_EQ(Current().root(), inner.root());
  }
  EXPECT_EQ(Current().id(), outerId);
  EXPECT_EQ(Current().root(), outer.root());
}

TEST(Environment, DefaultComesFromTavoRootAndTavoUser) {
  // In a child, where no test environment is installed, so Current() is the default.
  pid_t child = fork();
  if (child == 0) {
    std::string root = (fs::temp_directory_path() / "tavo-default-XXXXXX").string();
    bool ok = mkdtemp(root.data()) != nullptr;
    setenv("TAVO_ROOT", root.c_str(), 1);
    setenv("TAVO_USER", "carol", 1);
    ok = ok && Current().root() == fs::weakly_canonical(root) && Current().userName() == "carol" &&
         fs::is_directory(fs::path(root) / "drive_c/Users/carol/AppData/Roaming");
    fs::remove_all(root);
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
