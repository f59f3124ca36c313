#pragma once
// The fault matrix of the add-ins' network flows: every flow of an add-in meets, in turn, each
// way the service can fail it. What the two add-ins' matrices share: the troubles, how the
// stand-in is told to cause them, what the user sees and what the user's data holds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "common/RegistryStrings.h"
#include "common/dialogs/TestSupport.h"
#include "platform/environment/Environment.h"
#include "platform/files/Files.h"
#include "platform/forms/ScriptedOperator.h"
#include "platform/http/Http.h"
#include "platform/registry/Registry.h"
#include "service/Server.h"

namespace tavo::reliability {

enum class Trouble {
  NoListener,   // nothing listens where the flow's request goes
  Hang,         // the request is taken and never answered
  Html500,      // an HTML error page with status 500
  Truncated,    // the request is served, its answer cut off halfway
  WrongXml,     // well-formed XML that is not the answer asked for
  UnknownCode,  // the service's error answer with a code nobody knows
  Huge,         // 50 MB of something that is not the answer
  PastTheBound, // an answer past the largest the HTTP layer takes (lowered for the case)
};

inline constexpr Trouble kTroubles[] = {Trouble::NoListener, Trouble::Hang,        Trouble::Html500,
                                        Trouble::Truncated,  Trouble::WrongXml,    Trouble::UnknownCode,
                                        Trouble::Huge,       Trouble::PastTheBound};

inline const char* NameOf(Trouble t) {
  switch (t) {
    case Trouble::NoListener: return "NoListener";
    case Trouble::Hang: return "Hang";
    case Trouble::Html500: return "Html500";
    case Trouble::Truncated: return "Truncated";
    case Trouble::WrongXml: return "WrongXml";
    case Trouble::UnknownCode: return "UnknownCode";
    case Trouble::Huge: return "Huge";
    case Trouble::PastTheBound: return "PastTheBound";
  }
  return "?";
}

// What a flow does with each trouble depends only on how far the answer got.
struct Outcomes {
  // What the user sees, in order: messages as "<dialog>: <text>", other dialogs by name.
  using Seen = std::vector<std::string>;
  struct Outcome {
    Seen seen;
    std::string logLine;  // a text the log gains ("" none in particular)
    // What the next command shows, when this outcome changes it from the flow's nextSeen (a
    // publish that created the document online is finished without the licence picker).
    std::optional<Seen> nextSeen = std::nullopt;
  };
  Outcome down;      // no listener
  Outcome cut;       // hang, truncated, past the bound: the exchange fails
  Outcome garbage;   // HTML error page, 50 MB: an answer that does not parse
  Outcome wrongXml;  // parses, but holds neither the answer nor an error
  Outcome code;      // an error code that is not one of the known ones

  const Outcome& For(Trouble t) const {
    switch (t) {
      case Trouble::NoListener: return down;
      case Trouble::Hang:
      case Trouble::Truncated:
      case Trouble::PastTheBound: return cut;
      case Trouble::Html500:
      case Trouble::Huge: return garbage;
      case Trouble::WrongXml: return wrongXml;
      case Trouble::UnknownCode: return code;
    }
    return code;
  }
};

inline constexpr size_t kHugeAnswer = 50u * 1024 * 1024;
// The bound while an answer past it is tried, and that answer.
inline constexpr size_t kLowBound = 1u << 20;
inline constexpr size_t kPastTheBound = 3u << 20;

// The fault that answers every request the flow sends to `match` while the case runs (a flow
// may send it more than once: the sign-in asks twice). No listener is no fault: the test stops
// the service.
inline service::Fault FaultFor(Trouble t, const std::string& match, const std::string& unknownCode) {
  using service::FaultKind;
  switch (t) {
    case Trouble::NoListener: ADD_FAILURE() << "no fault stands for no listener"; break;
    case Trouble::Hang: return service::Fault(match, FaultKind::Hang, -1);
    case Trouble::Html500: return service::Fault(match, FaultKind::Html500, -1);
    case Trouble::Truncated: return service::Fault(match, FaultKind::Truncated, -1);
    case Trouble::WrongXml: return service::Fault(match, FaultKind::WrongXml, -1);
    case Trouble::UnknownCode: return service::Fault(match, FaultKind::ErrorCode, -1, unknownCode);
    case Trouble::Huge: return service::Fault(match, FaultKind::LargeBody, -1).WithSize(kHugeAnswer);
    case Trouble::PastTheBound: return service::Fault(match, FaultKind::LargeBody, -1).WithSize(kPastTheBound);
  }
  return service::Fault(match, FaultKind::ErrorCode, 0);
}

// While a hang is tried: a timeout short enough that it costs about a second; while an answer
// past the bound is, a bound that a few megabytes pass. Every other trouble keeps the usual
// settings, so that a slow machine (the sanitizers) fails nothing.
class ClientLimits {
 public:
  explicit ClientLimits(Trouble t) {
    if (t == Trouble::Hang) platform::http::SetTimeouts({std::chrono::seconds(1), std::chrono::seconds(1)});
    if (t == Trouble::PastTheBound) platform::http::SetMaxResponseBytes(kLowBound);
  }
  ~ClientLimits() {
    platform::http::ResetTimeouts();
    platform::http::ResetMaxResponseBytes();
  }
  ClientLimits(const ClientLimits&) = delete;
  ClientLimits& operator=(const ClientLimits&) = delete;
};

// What the user sees, in order: the messages, and the question and picker dialogs by name.
inline Outcomes::Seen SeenBy(const platform::forms::ScriptedOperator& user) {
  using Kind = platform::forms::TranscriptEntry::Kind;
  Outcomes::Seen seen;
  for (const auto& e : user.Transcript()) {
    if (e.kind != Kind::Shown) continue;
    if (e.form == "frmMsgInfo" || e.form == "frmMsgError") {
      seen.push_back(e.form + ": " + test::RenderedCaption(e.text, "Label1"));
    } else if (e.form == "frmMsg") {
      seen.push_back("frmMsg: " + test::RenderedCaption(e.text, "msgfld"));
    } else if (e.form == "frmLowVersion" || e.form == "frmConfirm" || e.form == "frmLicense" ||
               e.form == "frmlocalversion") {
      seen.push_back(e.form);
    }
  }
  return seen;
}

// Queues an OK for each message the user is to see.
inline void WillRead(platform::forms::ScriptedOperator& user, const Outcomes::Seen& seen) {
  for (const auto& s : seen) {
    const size_t colon = s.find(": ");
    if (colon != std::string::npos) user.On(s.substr(0, colon), {"click Command1"});
  }
}

// Whether the service holds exactly one online document (workbook) of the name among `items`,
// and it is public under the licence: a publish finished on the one it created, not another.
template <class Item>
bool PublicOnce(const std::vector<Item>& items, const std::string& name, const std::string& licence) {
  int found = 0;
  for (const Item& item : items) {
    if (item.name != name) continue;
    ++found;
    if (!item.publish.isPublic || item.publish.licenseName != licence) return false;
  }
  return found == 1;
}

// What the user has: every file of the environment (the logs aside: they are meant to grow),
// and every registry value.
struct UserData {
  std::map<std::string, std::string> files;     // host path below the root -> bytes
  std::map<std::string, std::string> registry;  // "HKCU\key\value" -> type and bytes

  void SetRegistry(const std::string& key, const std::string& name, const std::string& text) {
    registry["HKCU\\" + key + "\\" + name] = "1:" + text;  // as the add-ins write it: no NUL
  }
};

// The path below the environment's drive C of a Windows path, as UserData keys its files.
inline std::string DriveRelative(const std::string& windowsPath) {
  return std::filesystem::relative(platform::environment::HostPath(windowsPath),
                                   platform::environment::Current().root() / "drive_c")
      .string();
}

// The file at the path is what it was meant to become (the caller has checked it).
inline void TakeOver(UserData& expected, const UserData& actual, const std::string& windowsPath) {
  const auto it = actual.files.find(DriveRelative(windowsPath));
  if (it == actual.files.end()) {
    ADD_FAILURE() << windowsPath << " is missing";
    return;
  }
  expected.files[it->first] = it->second;
}

// What a sign-out leaves when the other add-in was not signed in: the shared sign-in cleared,
// the add-in's status "0", the ticket cleared under both add-ins' keys; remembered credentials
// stay.
inline void SignedOutEverywhere(UserData& data, const std::string& statusValue, const std::string& ownKey,
                                const std::string& otherKey) {
  for (const char* name : {"tavoticketid", "tavousername", "tavopassword"})
    data.SetRegistry(std::string(kSharedAccountsKey), name, "");
  data.SetRegistry(std::string(kSharedAccountsKey), statusValue, "0");
  data.SetRegistry(ownKey, "tavoticketid", "");
  data.SetRegistry(otherKey, "tavoticketid", "");
}

inline void ReadKeys(platform::registry::Hive hive, const std::string& prefix, const std::string& key, UserData& data) {
  namespace reg = platform::registry;
  for (const auto& name : reg::ValueNames(hive, key)) {
    reg::Value value;
    if (reg::ReadValue(hive, key, name, &value))
      data.registry[prefix + "\\" + key + "\\" + name] = std::to_string(value.type) + ":" + value.bytes;
  }
  for (const auto& sub : reg::SubKeyNames(hive, key)) ReadKeys(hive, prefix, key.empty() ? sub : key + "\\" + sub, data);
}

inline UserData SnapshotUserData() {
  UserData data;
  const std::filesystem::path drive = platform::environment::Current().root() / "drive_c";
  for (const auto& entry : std::filesystem::recursive_directory_iterator(drive)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".log") continue;
    std::string bytes = platform::files::ReadAllBytes(platform::environment::Current().WindowsPath(entry.path()));
    data.files[std::filesystem::relative(entry.path(), drive).string()] = std::move(bytes);
  }
  ReadKeys(platform::registry::HKEY_CURRENT_USER, "HKCU", "", data);
  ReadKeys(platform::registry::HKEY_LOCAL_MACHINE, "HKLM", "", data);
  return data;
}

// The differences, one a line: "+" only after, "-" only before, "~" changed.
inline std::string Differences(const std::map<std::string, std::string>& before,
                               const std::map<std::string, std::string>& after) {
  std::string out;
  auto shown = [](const std::string& bytes) {
    return bytes.size() > 200 ? bytes.substr(0, 200) + "... (" + std::to_string(bytes.size()) + " bytes)" : bytes;
  };
  for (const auto& [name, bytes] : before) {
    const auto it = after.find(name);
    if (it == after.end()) out += "- " + name + "\n";
    else if (it->second != bytes) out += "~ " + name + ": " + shown(bytes) + " -> " + shown(it->second) + "\n";
  }
  for (const auto& [name, bytes] : after)
    if (!before.count(name)) out += "+ " + name + ": " + shown(bytes) + "\n";
  return out;
}

inline void ExpectSameData(const UserData& expected, const UserData& actual) {
  EXPECT_EQ(Differences(expected.files, actual.files), "") << "files";
  EXPECT_EQ(Differences(expected.registry, actual.registry), "") << "registry";
}

// One network flow of an add-in, as a row of its matrix; F is the add-in's test fixture.
template <class F>
struct Flow {
  const char* name;
  std::string match;  // the requests the trouble hits
  void (F::*arrange)();
  void (F::*act)();
  Outcomes outcomes;
  // What the user data becomes, checked against what it is; the rest stays as it was.
  void (F::*becomes)(UserData& expected, const UserData& actual) = nullptr;
  // The next command once the service is well again (the same one when null), what the user
  // sees then, and whether it worked.
  void (F::*next)() = nullptr;
  Outcomes::Seen nextSeen = {};
  bool (F::*worked)() = nullptr;
  // The service goes away while the user looks at the list, not before the command.
  bool downAtList = false;
  // The flow saves online: a save whose answer was cut off did reach the service, so the next
  // save finds the online copy changed, and the user overwrites it.
  bool savesOnline = false;
};

template <class F>
std::string CaseName(const std::vector<Flow<F>>& flows, const std::tuple<size_t, Trouble>& param) {
  return std::string(flows[std::get<0>(param)].name) + "_" + NameOf(std::get<1>(param));
}

// The one case body of both matrices. The fixture F has the add-in's host started by the
// flow's arrangement, and offers: user_ (the scripted user), server_ (the stand-in), watcher_
// (a FormWatcher over user_), WillSee (answers for what the user is to see), WillOverwrite
// (Yes to the low-version question), LogSoFar (the add-in's log) and kUnknownCode.
template <class F>
void RunCase(std::type_identity_t<F>& f, const Flow<F>& flow, Trouble trouble) {
  const Outcomes::Outcome& expected = flow.outcomes.For(trouble);

  (f.*flow.arrange)();
  ASSERT_TRUE(SeenBy(f.user_).empty()) << f.user_.TranscriptText();
  UserData data = SnapshotUserData();
  const size_t logBefore = f.LogSoFar().size();
  f.server_->ClearRequests();

  if (trouble != Trouble::NoListener) {
    f.server_->InjectFault(FaultFor(trouble, flow.match, F::kUnknownCode));
  } else if (flow.downAtList) {
    f.watcher_.onShown = [&f](platform::forms::Form& form) {
      if (form.Name() == "frmDocList") f.server_->Stop();
    };
  } else {
    f.server_->Stop();
  }
  f.WillSee(expected.seen);
  {
    const ClientLimits limits(trouble);
    (f.*flow.act)();
  }

  EXPECT_EQ(SeenBy(f.user_), expected.seen) << f.user_.TranscriptText();
  const std::string log = f.LogSoFar().substr(logBefore);
  EXPECT_NE(log.find(expected.logLine), std::string::npos) << log.substr(0, 4000);
  const UserData after = SnapshotUserData();
  if (flow.becomes) (f.*flow.becomes)(data, after);
  ExpectSameData(data, after);

  // The service is well again: the host takes the next command.
  f.watcher_.onShown = nullptr;
  f.server_->ClearFaults();
  if (trouble == Trouble::NoListener) f.server_->Start();
  const size_t seenBefore = SeenBy(f.user_).size();
  Outcomes::Seen nextSeen = expected.nextSeen.value_or(flow.nextSeen);
  if (flow.savesOnline && trouble == Trouble::Truncated) {
    nextSeen.push_back("frmLowVersion");
    f.WillOverwrite();
  } else {
    f.WillSee(nextSeen);
  }
  (f.*(flow.next ? flow.next : flow.act))();
  const Outcomes::Seen seen = SeenBy(f.user_);
  EXPECT_EQ(Outcomes::Seen(seen.begin() + static_cast<long>(seenBefore), seen.end()), nextSeen)
      << f.user_.TranscriptText();
  EXPECT_TRUE((f.*flow.worked)()) << f.user_.TranscriptText();
}

}  // namespace tavo::reliability
