#include "platform/shell/Shell.h"

#include <gtest/gtest.h>

#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"

using namespace platform;
using namespace platform::shell;

namespace {

TEST(Shell, SpecialFoldersAreTheUsersProfileFoldersAndExist) {
  environment::TempEnvironment env("dana");
  std::filesystem::remove_all(env.root() / "drive_c/Users/dana/Documents");
  EXPECT_EQ(GetSpecialFolderPath(CSIDL_PERSONAL), "C:\\Users\\dana\\Documents");
  EXPECT_TRUE(files::FolderExists("C:\\Users\\dana\\Documents"));
  EXPECT_EQ(GetSpecialFolderPath(CSIDL_APPDATA), "C:\\Users\\dana\\AppData\\Roaming");
  EXPECT_EQ(GetSpecialFolderPath(9999), "");
}

TEST(Shell, OpenIsRecordedLoggedAndHandedToTheHost) {
  environment::TempEnvironment env;
  ClearShellExecuteRecords();
  std::vector<std::string> seen;
  SetShellExecuteHandler([&](const ShellExecuteRecord& r) { seen.push_back(r.operation + " " + r.file); });
  EXPECT_EQ(ShellExecuteA(nullptr, "open", "http://example.test/licenses", "", "", SW_SHOWNORMAL), 42);
  EXPECT_EQ(ShellExecuteA(nullptr, "open", "http://x.test/a\nb", "", "", SW_SHOWNORMAL), 42);
  EXPECT_LE(ShellExecuteA(nullptr, "open", "", "", "", SW_SHOWNORMAL), 32);  // nothing to open
  SetShellExecuteHandler(nullptr);

  EXPECT_EQ(seen, (std::vector<std::string>{"open http://example.test/licenses", "open http://x.test/a\nb"}));
  std::vector<ShellExecuteRecord> records = ShellExecuteRecords();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].showCommand, SW_SHOWNORMAL);
  // One line per request, whatever the request holds.
  std::string log = files::ReadAllBytes(env.environment().WindowsPath(env.root() / "shell-open.log"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
  EXPECT_NE(log.find("\topen\thttp://example.test/licenses\t"), std::string::npos);
  ClearShellExecuteRecords();
  EXPECT_TRUE(ShellExecuteRecords().empty());
}

}  // namespace
