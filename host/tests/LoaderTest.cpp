#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "host/OfficeSession.h"
#include "host/console/TerminalOperator.h"
#include "host/tests/TestSupport.h"
#include "platform/files/Files.h"
#include "platform/office/AddinRegistration.h"
#include "platform/registry/Registry.h"

using namespace host::testing;
using host::HostKind;
using host::OfficeSession;
namespace files = platform::files;
namespace reg = platform::registry;

namespace {

constexpr const char* kLog = "C:\\addin-events.log";
constexpr const char* kWordAddinKey = "Software\\Microsoft\\Office\\Word\\Addins\\tavotest.wordaddin";

class LoaderTest : public ::testing::Test {
 protected:
  TempEnvironment env;
  QueuePrompter prompter;
  std::vector<std::string> reports;

  void SetUp() override {
    reg::SetLocalMachineWritable(false);
    ASSERT_EQ(host::RegisterLibrary(TAVO_TEST_ADDIN), 0);
  }
  host::LoadReport Report() {
    return [this](const std::string& m) { reports.push_back(m); };
  }
  static std::string Log() { return files::FileExists(kLog) ? files::ReadAllBytes(kLog) : std::string(); }
};

}  // namespace

TEST_F(LoaderTest, RegistrationWritesThePerUserKeysAndSkipsAReadOnlyMachineKey) {
  reg::Value value;
  ASSERT_TRUE(reg::ReadValue(reg::HKEY_CURRENT_USER, kWordAddinKey, "LoadBehavior", &value));
  EXPECT_EQ(value.type, reg::REG_DWORD);
  EXPECT_EQ(value.bytes, std::string("\x03\0\0\0", 4));
  auto addins = platform::office::RegisteredAddins("Word");
  ASSERT_EQ(addins.size(), 1u);
  EXPECT_EQ(addins[0].progId, "tavotest.wordaddin");
  EXPECT_EQ(platform::environment::HostPath(addins[0].libraryPath), std::filesystem::path(TAVO_TEST_ADDIN));
  EXPECT_FALSE(reg::ReadValue(reg::HKEY_LOCAL_MACHINE,
                              "SOFTWARE\\Microsoft\\Office\\Word\\Addins\\tavotest.wordaddin", "LoadBehavior", &value));

  ASSERT_EQ(host::UnregisterLibrary(TAVO_TEST_ADDIN), 0);
  EXPECT_TRUE(platform::office::RegisteredAddins("Word").empty());
  OfficeSession word(HostKind::Word, Report());
  EXPECT_EQ(word.Start(), 0);
}

TEST_F(LoaderTest, WordConnectsTheAddinAndShutsItDownInOrder) {
  {
    OfficeSession word(HostKind::Word, Report());
    EXPECT_EQ(word.Start(), 1);
    word.Click(" &hello ");
    EXPECT_EQ(word.application()->StatusBar(), "Hello from tavotest.wordaddin");
    EXPECT_NE(ErrorNumber([&] { word.Click("Later"); }), 0);  // disabled
    EXPECT_NE(ErrorNumber([&] { word.Click("Nothing"); }), 0);
    // A modified document: the user cancels, Word keeps running and nothing is shut down.
    word.word()->Documents().Add();
    word.word()->Selection().TypeText("x");
    prompter.Answer(host::Answer::Cancel);
    EXPECT_FALSE(word.Quit());
    prompter.Answer(host::Answer::No);
    EXPECT_TRUE(word.Quit());
  }
  EXPECT_EQ(Log(),
            "OnConnection tavotest.wordaddin mode=1 host=Word\nOnStartupComplete\nClick &Hello\nQuit\n"
            "OnBeginShutdown\nOnDisconnection mode=0\n");
  EXPECT_TRUE(reports.empty());
}

TEST_F(LoaderTest, ExcelDisconnectsWithoutQuitEvent) {
  {
    OfficeSession excel(HostKind::Excel, Report());
    EXPECT_EQ(excel.Start(), 1);
    EXPECT_TRUE(excel.Quit());
  }
  EXPECT_EQ(Log(), "OnConnection tavotest.exceladdin mode=1 host=Excel\nOnStartupComplete\nOnDisconnection mode=0\n");
}

TEST_F(LoaderTest, LoadBehaviorWrittenAsTextIsRead) {
  reg::WriteValue(reg::HKEY_CURRENT_USER, kWordAddinKey, "LoadBehavior", reg::StringValue("3"));
  OfficeSession word(HostKind::Word, Report());
  EXPECT_EQ(word.Start(), 1);
}

TEST_F(LoaderTest, OnlyLoadBehaviorThreeWithALibraryIsLoaded) {
  reg::WriteValue(reg::HKEY_CURRENT_USER, kWordAddinKey, "LoadBehavior", reg::DwordValue(2));
  const std::string broken = "Software\\Microsoft\\Office\\Word\\Addins\\broken.addin";
  reg::WriteValue(reg::HKEY_CURRENT_USER, broken, "LoadBehavior", reg::DwordValue(3));
  reg::WriteValue(reg::HKEY_CURRENT_USER, "Software\\Classes\\broken.addin\\InprocServer32", "",
                  reg::StringValue("C:\\missing\\libbroken.so"));
  OfficeSession word(HostKind::Word, Report());
  EXPECT_EQ(word.Start(), 0);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("broken.addin could not be loaded"), std::string::npos) << reports[0];
  EXPECT_EQ(Log(), "");
}

TEST(TavoOffice, WordStartsAndQuitsOnAnEmptyEnvironment) {
  const char* stage = std::getenv("TAVO_STAGE_DIR");
  if (!stage) GTEST_SKIP() << "TAVO_STAGE_DIR is not set (run through ctest)";
  auto root = std::filesystem::temp_directory_path() / ("tavo-office-empty-" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  std::string command = "echo quit | TAVO_ROOT=" + root.string() + " " + stage +
                        "/bin/tavo-office word 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  int status = pclose(pipe);
  std::filesystem::remove_all(root);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("==== Word ====\n"), std::string::npos) << output;
  EXPECT_NE(output.find("Documents: (none)\n> quit\nBye.\n"), std::string::npos) << output;
}
