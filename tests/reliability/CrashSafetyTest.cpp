// What the stored files and the registry store hold when the process writing them dies at any
// moment: a child updates one of them in a loop, alternating two contents, and is killed with
// SIGKILL 200 times; after every kill the store is whole and holds one of the two contents, and
// writing goes on as before. Killed writers' temporary files do not pile up.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/AddinState.h"
#include "common/MapStore.h"
#include "common/RegistryStrings.h"
#include "common/Settings.h"
#include "common/StoredSecret.h"
#include "common/UserFiles.h"
#include "common/tests/TestEnvironment.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/xml/XmlDocument.h"
#include "tests/StoreIntegrity.h"
#include "tests/reliability/KillLoop.h"

namespace tavo {
namespace {

namespace files = platform::files;

constexpr int kKills = 200;

class CrashSafetyTest : public test::CoreTest {
 protected:
  CrashSafetyTest() {
    state.gLoginUser = "ann";
    state.gLoginPassword = "first secret";
    state.gLogLevel = "Error";
    InitUserFiles(state, "ann");
  }

  // Runs the loop and reports its figures; the seed is printed so that a failure can be rerun.
  void KillWhileWriting(const std::function<void(long)>& update, const std::function<bool()>& check) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    const test::KillLoopResult result =
        test::KillRepeatedly(kKills, [&](int, long step) { update(step); }, check, seed);
    EXPECT_EQ(result.failure, "");
    EXPECT_EQ(result.kills, kKills);
    kills = result.kills;
  }

  // Temporary files of whole-file writes in the user's data folder: a killed writer's, until
  // the next write clears it.
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> names;
    for (const std::string& name : files::ListFileNames(state.gUserDataFolder))
      if (name.front() == '.' && name.ends_with(".tmp")) names.push_back(name);
    return names;
  }

  // Counts a kill that left the file with content `a` or `b`; false for anything else.
  bool Whole(const std::string& path, const std::string& a, const std::string& b) {
    const std::string now = files::ReadAllBytes(path);
    if (now == a) ++sawA;
    else if (now == b) ++sawB;
    else ADD_FAILURE() << path << " holds neither content but:\n" << now;
    for (const std::string& name : Temporaries())
      if (temporariesSeen.insert(name).second) ++insideWrite;  // this kill came inside a write
    return now == a || now == b;
  }

  void Report(const char* store) {
    std::printf("%s: %d kills (%d inside a file write), old content %d times, new %d times\n", store, kills,
                insideWrite, sawA, sawB);
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
  }

  AddinState state{kWriterParameters};
  int kills = 0, sawA = 0, sawB = 0, insideWrite = 0;
  std::set<std::string> temporariesSeen;
};

// Three records that no update touches, and record 7 in one of two versions.
const std::vector<DocumentMapRecord> kOthers{
    {"1", "Plan", "Plan", "1", "C:\\Docs\\Plan.doc"},
    {"2", "Budget & <costs>", "Budget_costs", "4", "C:\\Docs\\Budget_costs.doc"},
    {"3", "Notes", "Notes", "2", "C:\\Docs\\Notes.doc"},
};
const DocumentMapRecord kOld{"7", "Report", "Report", "1", "C:\\Docs\\Report.doc"};
const DocumentMapRecord kNew{"7", "Report (final)", "Report_final", "2", "C:\\Docs\\Report_final.doc"};

TEST_F(CrashSafetyTest, TheMapFileHoldsTheOldOrTheNewRecords) {
  const std::string path = MapFilePath(state);
  for (const DocumentMapRecord& record : kOthers) ASSERT_TRUE(UpdateMapXml(state, record));
  ASSERT_TRUE(UpdateMapXml(state, kNew));
  const std::string withNew = files::ReadAllBytes(path);
  ASSERT_TRUE(UpdateMapXml(state, kOld));
  const std::string withOld = files::ReadAllBytes(path);
  ASSERT_NE(withOld, withNew);

  KillWhileWriting([&](long step) { ASSERT_TRUE(UpdateMapXml(state, step % 2 ? kOld : kNew)); },
                   [&] { return Whole(path, withOld, withNew); });
  Report("map file");

  // The map still loads and takes updates, and nothing of the killed writers is left.
  ASSERT_TRUE(UpdateMapXml(state, kOld));
  EXPECT_EQ(files::ReadAllBytes(path), withOld);
  EXPECT_EQ(Temporaries(), std::vector<std::string>{});
}

TEST_F(CrashSafetyTest, TheCredentialsFileHoldsTheOldOrTheNewSignIn) {
  const std::string path = CredentialsFilePath(state);
  const std::string first = files::ReadAllBytes(path);
  state.gLoginPassword = "second secret";
  InitUserFiles(state, "ann");
  const std::string second = files::ReadAllBytes(path);
  ASSERT_NE(first, second);
  const std::string map = files::ReadAllBytes(MapFilePath(state));

  KillWhileWriting(
      [&](long step) {
        state.gLoginPassword = step % 2 ? "first secret" : "second secret";
        InitUserFiles(state, "ann");
      },
      [&] { return Whole(path, first, second) && files::ReadAllBytes(MapFilePath(state)) == map; });
  Report("credentials file");

  const StoredCredentials stored = ReadCredentialsFile(path);
  EXPECT_EQ(stored.user, "ann");
  EXPECT_TRUE(stored.password == "first secret" || stored.password == "second secret") << stored.password;
  InitUserFiles(state, "ann");
  EXPECT_EQ(Temporaries(), std::vector<std::string>{});
}

// The registry store: SQLite, one transaction per value written.
TEST_F(CrashSafetyTest, TheRegistryStoreKeepsEveryValueWhole) {
  struct Credentials {
    std::string user, password, remember, saveLocal, ticket;
  };
  // Long tickets make each write span several pages of the store.
  const Credentials a{"ann", "first secret", "remember", "1", std::string(3000, 'a')};
  const Credentials b{"bob", "second secret", "", "0", std::string(5000, 'b')};
  const auto save = [&](const Credentials& c) {
    state.gLoginUser = c.user;
    state.gLoginPassword = c.password;
    state.gRememberFlag = c.remember;
    state.gSaveLocalFlag = c.saveLocal;
    SaveCredentials(state);
    SetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavoticketid", c.ticket);
  };
  const std::string key(state.params.pluginSettingsKey);
  const auto value = [&](std::string_view name) { return GetRegistryString(HKEY_CURRENT_USER, key, name); };
  save(a);

  // Each value is one of its two versions; the four credentials values are separate writes, so
  // a kill between them may leave some of each set.
  KillWhileWriting([&](long step) { save(step % 2 ? a : b); },
                   [&] {
                     const std::string verdict = test::StoreIntegrity(platform::environment::Current().root());
                     EXPECT_EQ(verdict, "ok");
                     const std::string ticket = GetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavoticketid");
                     const bool whole =
                         (value("tavousername") == EncodeBase64(a.user) || value("tavousername") == EncodeBase64(b.user)) &&
                         (value("tavopassword") == EncodeBase64(a.password) ||
                          value("tavopassword") == EncodeBase64(b.password)) &&
                         (value("tavoremember") == a.remember || value("tavoremember") == b.remember) &&
                         (value("tavosavelocal") == a.saveLocal || value("tavosavelocal") == b.saveLocal) &&
                         (ticket == a.ticket || ticket == b.ticket);
                     EXPECT_TRUE(whole);
                     if (ticket == a.ticket) ++sawA;
                     if (ticket == b.ticket) ++sawB;
                     return verdict == "ok" && whole;
                   });
  Report("registry store");

  save(b);
  EXPECT_EQ(value("tavousername"), EncodeBase64("bob"));
  EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kSharedAccountsKey, "tavoticketid"), b.ticket);
}

}  // namespace
}  // namespace tavo
