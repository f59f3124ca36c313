#include "platform/environment/Environment.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>

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

// A folder of its own for each case: the test's temporary folder, private, removed afterwards.
class Scratch {
 public:
  Scratch() {
    std::string pattern = (fs::temp_directory_path() / "tavo-scratch-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    base_ = fs::weakly_canonical(pattern);
  }
  ~Scratch() { fs::remove_all(base_); }
  const fs::path& base() const { return base_; }

 private:
  fs::path base_;
};

// Whether making the environment at `root` is refused, with a message naming `folder` and `who`,
// and nothing is made in the root.
void ExpectRefused(const fs::path& root, const fs::path& folder, const std::string& who) {
  const bool hadCDrive = fs::exists(root / "drive_c" / "Users");
  try {
    ScopedEnvironment environment(root);
    ADD_FAILURE() << "not refused";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), err::PermissionDenied);
    const std::string& text = e.description();
    EXPECT_TRUE(text.find(folder.string() + " ") != std::string::npos ||
                text.find(folder.string() + ",") != std::string::npos)
        << text;
    EXPECT_NE(text.find(who), std::string::npos) << text;
  }
  EXPECT_EQ(fs::exists(root / "drive_c" / "Users"), hadCDrive);
}

// A root, or a folder of it or above it, that other users may write to is refused: whoever can
// write there can swap the hosts and CA files. The sticky folder for temporary files is not such
// a folder: others cannot move what is not theirs.
TEST(Environment, RefusesFoldersOthersMayWrite) {
  const struct {
    const char* what;
    const char* folder;  // relative to the scratch folder; the root is "root"
    mode_t mode;
    bool refused;
  } cases[] = {
      {"root writable by all", "root", 0777, true},
      {"root writable by its group", "root", 0770, true},
      {"a folder of it writable by all", "root/drive_c", 0777, true},
      {"its Documents writable by its group", "root/drive_c/Users/tavo/Documents", 0775, true},
      {"a folder above it writable by all", "shared", 0777, true},
      {"a folder above it writable by all, sticky", "shared", 01777, false},
      {"root readable by all", "root", 0755, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch scratch;
    const bool above = std::string(c.folder) == "shared";
    const fs::path root = scratch.base() / (above ? "shared/root" : "root");
    { ScopedEnvironment made(root); }
    const fs::path folder = scratch.base() / c.folder;
    ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
    if (c.refused) {
      ExpectRefused(root, folder, "can be written by other users");
    } else {
      EXPECT_EQ(RaisedNumber([&] { ScopedEnvironment again(root); }), 0);
    }
  }
}

// A root, or a folder of it or above it, or a link on the way to it, that another user owns is
// refused, naming that user: they could swap its files whenever they like.
TEST(Environment, RefusesFoldersAnotherUserOwns) {
  const passwd* other = ::getpwnam("nobody");
  if (::geteuid() != 0 || other == nullptr || other->pw_uid == 0)
    GTEST_SKIP() << "giving a folder to another user (nobody) needs root and that user";
  const uid_t uid = other->pw_uid;
  const struct {
    const char* what;
    std::function<fs::path(const fs::path& base)> make;  // makes the case, answers the root
    const char* refused;                                   // relative to the scratch folder
  } cases[] = {
      {"made by another user",
       [&](const fs::path& b) {
         fs::create_directory(b / "root");
         ::chown((b / "root").c_str(), uid, 0);
         return b / "root";
       },
       "root"},
      {"its drive made by another user",
       [&](const fs::path& b) {
         fs::create_directories(b / "root/drive_c");
         ::chown((b / "root/drive_c").c_str(), uid, 0);
         return b / "root";
       },
       "root/drive_c"},
      {"in a folder of another user",
       [&](const fs::path& b) {
         fs::create_directories(b / "theirs/root");
         ::chown((b / "theirs").c_str(), uid, 0);
         return b / "theirs/root";
       },
       "theirs"},
      {"reached by another user's link",
       [&](const fs::path& b) {
         fs::create_directory(b / "mine");
         fs::create_directory_symlink(b / "mine", b / "root");
         ::lchown((b / "root").c_str(), uid, 0);
         return b / "root";
       },
       "root"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch scratch;
    const fs::path root = c.make(scratch.base());
    ExpectRefused(root, scratch.base() / c.refused, "nobody");
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
