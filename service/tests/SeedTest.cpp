#include "service/Seed.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "service/Defaults.h"
#include "service/tests/Fixture.h"

extern char** environ;

namespace tavo::service::test {
namespace {

TEST(Seed, WorkbookFilesFollowTheContainerFormat) {
  EXPECT_EQ(WorkbookFile({{"Sales", {{"A1", "a\\b"}, {"B2", "line one\nline two"}}}, {"Empty", {}}}),
            "TAVO-WORKBOOK/1\nopen-password: \nsheet: Sales\nA1: a\\\\b\nB2: line one\\nline two\nsheet: Empty\n");
}

class DemoSeedTest : public ServiceTest {};

TEST_F(DemoSeedTest, TheDemoAccountHasDocumentsAndWorkbooksToWorkWith) {
  const DemoSeed seed = SeedDemo(*server_);
  ticket_ = server_->SignIn(std::string(defaults::kDemoUser));
  const std::string list = Writer("writer.getDocuments");
  EXPECT_NE(list.find("<document_name>Bob's notes</document_name>"), std::string::npos);
  EXPECT_NE(list.find("<version>-2</version>"), std::string::npos);  // shown as auto-saved

  // The picture in the trip report is one the service serves.
  const std::string content = server_->FindDocument(seed.documentIds.back())->content;
  const size_t at = content.find("/pictures/");
  ASSERT_NE(at, std::string::npos);
  auto picture = Get(content.substr(at, content.find('"', at) - at), std::string(defaults::kWriterHost));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->status, 200);
  EXPECT_EQ(picture->get_header_value("Content-Type"), "image/png");

  const std::string books = Sheet("getWorkbooks");
  EXPECT_NE(books.find("<workbookName>M\xC3\xBCller</workbookName>"), std::string::npos);
  EXPECT_NE(books.find("<workbookName>Budget</workbookName>"), std::string::npos);
  for (const auto& id : seed.workbookIds)
    EXPECT_TRUE(server_->FindWorkbook(id)->bytes.starts_with("TAVO-WORKBOOK/1\nopen-password: \nsheet: "));
}

TEST(ServiceProgram, RunsStandaloneWithTheDemoSeed) {
  const char* stage = std::getenv("TAVO_STAGE_DIR");
  ASSERT_NE(stage, nullptr);
  const std::string program = std::string(stage) + "/bin/tavo-service";
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const char* argv[] = {program.c_str(), "--port", "0", "--tls-port", "0", "--seed", "demo", nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);

  FILE* output = fdopen(out[0], "r");
  std::string lines;
  char line[256];
  int port = 0;
  while (port == 0 && std::fgets(line, sizeof line, output) != nullptr) {
    lines += line;
    if (std::sscanf(line, "tavo-service listening on http://127.0.0.1:%d", &port) != 1) port = 0;
  }
  ASSERT_NE(port, 0) << lines;
  EXPECT_NE(lines.find("seeded demo@tavo.example"), std::string::npos) << lines;

  httplib::Client client("127.0.0.1", port);
  auto res = client.Post("/login?", "servicename=TavoWriter&silent=true&LOGIN_ID=demo%40tavo.example&PASSWORD=demo-pass",
                         "application/x-www-form-urlencoded");
  ASSERT_TRUE(res);
  EXPECT_NE(res->body.find("ticket="), std::string::npos);

  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::fclose(output);
}

}  // namespace
}  // namespace tavo::service::test
