#pragma once
// A day of work on one computer, chosen at random from a seed: Word and Excel as long-lived
// tavo-office processes on one environment root (now and then a second one of a kind), a user
// who signs in and out with two accounts, opens, edits, saves, adds and publishes, keeps and
// deletes local copies, quits and starts again; and a world that changes and trashes online
// items, ends tickets, fails one call, restarts the service and kills a host. After every step
// the whole state is checked (Checks.cpp); the first step that breaks a check ends the day with
// the seed, the step, the last screens and the command that replays it.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/EndToEnd.h"
#include "tests/soak/Homes.h"
#include "tests/soak/HostScreen.h"

namespace tavo::test::soak {

struct Account {
  std::string email, password;
};

// What a host is for the driver: its process, the last screen, and what the driver knows of
// the files it has open.
struct Host {
  std::string kind;  // "word" or "excel"
  int number = 0;    // the how-manieth process of its kind today
  std::unique_ptr<HostProcess> process;
  HostScreen screen;
  std::map<std::string, std::set<std::string>> markers;  // open file -> the markers in it
  std::string account;                       // the account it works under as far as the driver knows, "" none
  bool quitting = false;                     // told to quit: it may end on any answer
  bool failedCommands = false;               // the application refused a command (its exit status tells)
  bool keepLocal = false;                    // whether its downloads stay, or are temporary and go when it quits
  std::map<std::string, Stamp> temporary;    // its temporary downloads, as it last left them
  std::map<std::string, std::string> links;  // open file -> the online item it came from or went to
  bool word() const { return kind == "word"; }
  std::string Name() const;  // "Word 2"
};

// What the user does in a step, for the answers to the dialogs the step brings up.
struct Intent {
  std::string what;                  // "login", "settings", "local", "open", "save", ...
  const Account* account = nullptr;  // who signs in (online or for the local copies)
  bool keepLocal = false;            // the "Keep local copy" box, when the step touches it
  bool touchLocal = false;           // whether it does
};

// The message that refuses a sign-in of another account while the add-in is signed in.
inline bool RefusesAnotherAccount(const std::string& message) {
  return message.find("To use another Tavo ID or password, choose Logout first.") != std::string::npos;
}

// One of the things a step may do, and how likely it is beside the others.
struct Choice {
  double weight;
  std::string what;  // "Word 1" + what, or what the world does
  std::function<void()> act;
};

class DayOfWork : public EndToEndTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The day: `steps` user steps per kind of host, world steps between them.
  void Run(unsigned seed, int steps);

  // --- hosts (Day.cpp)
  Host& StartHost(const std::string& kind);
  // One line to the host; its screen after it. A host that ends or hangs fails the day.
  const HostScreen& Send(Host& host, const std::string& line);
  // Answers the dialogs open on the host until none is, as the intent wants.
  void Settle(Host& host, const Intent& intent);
  void Answer(Host& host, const ScreenDialog& dialog, const Intent& intent);
  void Quit(Host& host);
  void Kill(Host& host);
  void Forget(Host& host);  // the host is gone: off the list
  std::vector<Host*> HostsOf(const std::string& kind);
  // Brings the driver's knowledge of the host's open files up to date with its screen.
  void SyncFiles(Host& host);

  // --- the user (UserSteps.cpp)
  void UserStep(Host& host);
  void Login(Host& host);
  void Logout(Host& host);
  void Settings(Host& host);
  void LocalCopies(Host& host);
  void OpenOnline(Host& host);
  void Edit(Host& host);
  void NewFile(Host& host);
  void HostOpen(Host& host);
  void HostSave(Host& host, bool saveAs);
  void SendOnline(Host& host, const std::string& what);  // "save", "add", "publish"
  void CloseFile(Host& host);
  void ActivateOther(Host& host);
  void QuitAndStart(Host& host);
  // A Windows path for a save as: the Documents folder or an account's own folder.
  std::string SaveAsPath(Host& host);

  // --- the world (WorldSteps.cpp)
  void WorldStep();
  void ChangeItem(bool trash);
  // One call of the kinds `among` (any kind when empty) is to fail.
  void InjectFault(const std::vector<std::string>& among = {});
  void RestartService();
  void KillAHost();
  void SecondHost();

  // --- the checks (Checks.cpp)
  void CheckStep();
  void RememberItems();  // the online items as they are, for the next step's checks
  void CheckMarkers();
  void CheckClaims();
  void CheckNewItems();
  void CheckMaps();
  void CheckFlags();
  void CheckMessages();
  void CheckLeftovers(const std::string& kind);
  void CheckFileModes();
  void CheckAddQuestion();
  void CheckTemporaryCopies(const Host& host);  // after its orderly quit
  // What the step tells of the actor's files: where a download went, what a save linked.
  void FollowFiles(const std::map<std::string, std::optional<Stamp>>& before);

  // --- reporting
  void Fail(const std::string& what);
  std::string Report() const;
  std::string StateReport() const;     // the online items and every map record, for the report
  void Note(const std::string& line);  // the transcript
  bool Failed() const { return !failures_.empty() || HasFailure(); }
  bool Stopped() const { return Failed(); }

  // --- choices
  // Does one of the choices, picked by weight; `who` names the host ("" for the world).
  void Take(const std::vector<Choice>& choices, const std::string& who);
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  template <class T>
  T& Choose(std::vector<T>& from) {
    return from[Pick(static_cast<int>(from.size()))];
  }
  const Account& SomeAccount() { return Chance(0.75) ? accounts_[0] : accounts_[1]; }
  std::string NewMarker() { return Marker(++markers_); }
  std::string Win(const std::string& path) const;  // host path of a Windows path (as text)
  // The stamp of the file at a Windows path; none for no file (or the name of one never saved).
  std::optional<Stamp> StampAt(const std::string& path) const;

  std::mt19937 random_;
  unsigned seed_ = 0;
  int steps_ = 0;
  int step_ = 0;
  std::string stepWhat_;  // what the step does, for the report
  std::vector<Account> accounts_;
  std::vector<std::unique_ptr<Host>> hosts_;
  std::map<std::string, int> started_;  // processes started per kind
  int markers_ = 0;
  std::set<std::string> pictures_;  // the markers that are pictures
  bool picturesLeftOut_ = false;    // the step's save said some pictures did not go up
  int names_ = 0;                   // for file names of the day

  // The state before the step and what the step may change in it.
  Homes before_;
  Homes after_;
  std::set<std::string> excused_;           // markers the step may take out of their last home
  std::set<std::string> worldGone_;         // markers the world took from online, until saved online again
  std::set<std::string> overwriteOnline_;   // items the user chose to overwrite online
  std::set<std::string> overwriteFolders_;  // folders where the user chose to download over a copy
  std::vector<std::string> seen_;           // the messages the user saw in this step ("frmMsgInfo: ...")
  std::string statusBefore_;
  bool hostErrorsAllowed_ = false;  // the application may refuse the step's command (a declined replace)
  std::map<std::string, std::string> stampsBefore_;  // every online item as it was
  Host* actor_ = nullptr;                            // the host of a user step
  std::string command_;                              // "save", "add", "publish" for a step that sends a file online
  std::string chosenLocal_;                          // the entry chosen in the local copies list
  std::string claimedItem_;                          // the item that holds what a message of success said was sent
  std::string createdItem_;                          // the item the step created
  std::string sentFrom_;                             // the file the step sent online (the active one when it began)
  struct Injected {
    std::string match, kind;  // as the admin endpoint takes them
  };
  Injected pendingFault_;                    // the fault no call has met yet ("" none)
  Injected metFault_;                        // the fault a call of this step met
  int listsAnswered_ = 0;                    // how often the step has answered the online list
  std::string addAsked_;                     // the file the user was asked to add (or publish) as a new item
  // "kind|account" (lower case): a download failed in that account's folder, and the page it
  // wrote may stay there until a download of the kind works in that folder again.
  std::set<std::string> failedOpenFolders_;
  std::map<std::string, bool> flagTrusted_;  // per kind: the shared status flag speaks for the host

  struct {
    int world = 0, givenUp = 0, claims = 0, added = 0;
  } tally_;  // what the day did, for its summary line
  std::deque<std::string> transcript_;
  std::vector<std::string> failures_;
  int verbose_ = 0;          // TAVO_SOAK_VERBOSE: 1 prints every command, 2 every screen too
};

}  // namespace tavo::test::soak
