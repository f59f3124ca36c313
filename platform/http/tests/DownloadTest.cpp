#include "platform/http/UrlDownload.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/environment/TestSupport.h"
#include "platform/files/Files.h"
#include "platform/http/Http.h"
#include "platform/http/tests/Support.h"
#include "platform/http/tests/TestServer.h"

using namespace platform::http;
using platform::environment::HostPath;
using platform::environment::TempEnvironment;
using test::TestServer;
using test::WriteEnvironmentFile;

namespace {

constexpr const char* kTarget = "C:\\Users\\tavo\\Documents\\Budget.xls";

std::string ReadTarget() {
  std::ifstream in(HostPath(kTarget), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class DownloadTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetMaxResponseBytes(); }
  TempEnvironment env_;
  TestServer server_;
};

}  // namespace

TEST_F(DownloadTest, WritesTheBodyToTheFile) {
  platform::environment::ScopedUmask anyoneMayRead(0);
  std::filesystem::create_directories(HostPath(kTarget).parent_path());
  EXPECT_EQ(URLDownloadToFileA(nullptr, server_.Url("/text?type=application/vnd.ms-excel&body=a%0Ab").c_str(),
                               kTarget, 0, nullptr),
            0);
  EXPECT_EQ(ReadTarget(), "a\nb");
  // A downloaded workbook is the user's alone, whatever the umask.
  EXPECT_EQ(platform::environment::ModeOf(HostPath(kTarget)), 0600);
}

TEST_F(DownloadTest, FailuresWriteNoFileAndKeepAnOldOne) {
  const std::string closed = "http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/";
  SetMaxResponseBytes(40000);
  const struct {
    std::string url;
    long result;
  } cases[] = {
      {server_.Url("/status?code=404"), err::DownloadFailure},
      {server_.Url("/status?code=500"), err::DownloadFailure},
      {closed, err::ResourceNotFound},
      {server_.Url("/bytes?n=40001"), err::ResponseTooLarge},
      {server_.Url("/bytes?n=40001&chunked"), err::ResponseTooLarge},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(HostPath(kTarget));
    EXPECT_EQ(URLDownloadToFileA(nullptr, c.url.c_str(), kTarget, 0, nullptr), c.result) << c.url;
    EXPECT_FALSE(std::filesystem::exists(HostPath(kTarget))) << c.url;

    WriteEnvironmentFile(kTarget, "old");
    EXPECT_EQ(URLDownloadToFileA(nullptr, c.url.c_str(), kTarget, 0, nullptr), c.result) << c.url;
    EXPECT_EQ(ReadTarget(), "old") << c.url;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(HostPath(kTarget).parent_path()), {}), 1);
}

TEST_F(DownloadTest, AMissingFolderIsReportedAsSuch) {
  EXPECT_EQ(URLDownloadToFileA(nullptr, server_.Url("/echo").c_str(), "C:\\No\\Such\\Folder\\x.xls", 0, nullptr),
            err::PathNotFound);
}

// A file an application has open (a workbook open in Excel) is not downloaded over: Windows
// refuses to replace a file in use.
TEST_F(DownloadTest, AFileInUseIsNotDownloadedOver) {
  WriteEnvironmentFile(kTarget, "open in Excel");
  const std::string url = server_.Url("/text?type=application/vnd.ms-excel&body=online");
  {
    const platform::files::FileLock open = platform::files::LockExclusive(kTarget);
    EXPECT_EQ(URLDownloadToFileA(nullptr, url.c_str(), kTarget, 0, nullptr), err::AccessDenied);
    EXPECT_EQ(ReadTarget(), "open in Excel");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(HostPath(kTarget).parent_path()), {}), 1);
  EXPECT_EQ(URLDownloadToFileA(nullptr, url.c_str(), kTarget, 0, nullptr), 0);
  EXPECT_EQ(ReadTarget(), "online");
}
