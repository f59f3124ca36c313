// tavo-office at a terminal, as a person runs it by hand: on a pseudo-terminal (which echoes what
// is typed, as a terminal does), and the text it prints that came from the service.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/files/Files.h"
#include "service/Seed.h"
#include "tests/EndToEnd.h"

extern char** environ;

namespace tavo::test {
namespace {

// tavo-office word|excel with a pseudo-terminal as its input and output.
class TerminalHost {
 public:
  TerminalHost(const std::filesystem::path& program, const std::string& kind, const std::filesystem::path& root) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal: " << std::strerror(errno);
      return;
    }
    const std::string terminal = ::ptsname(master_);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);  // the terminal becomes its own
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2}) posix_spawn_file_actions_addopen(&actions, fd, terminal.c_str(), O_RDWR, 0);
    std::vector<std::string> variables{"TAVO_ROOT=" + root.string()};
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "TAVO_", 5) != 0) variables.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& v : variables) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string path = program.string(), verb = kind;
    char* argv[] = {path.data(), verb.data(), nullptr};
    const int rc = ::posix_spawn(&pid_, path.c_str(), &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
      pid_ = -1;
      ADD_FAILURE() << "cannot start " << path << ": " << std::strerror(rc);
    }
  }
  ~TerminalHost() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }

  // What the host printed (and the terminal echoed) until `marker`, which ends it.
  std::string ReadUntil(const std::string& marker) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    size_t at;
    while ((at = output_.find(marker)) == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      pollfd p{master_, POLLIN, 0};
      if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      output_.append(buffer, static_cast<size_t>(n));
    }
    if (at == std::string::npos) {
      ADD_FAILURE() << "no \"" << marker << "\" in:\n" << output_;
      return std::exchange(output_, {});
    }
    std::string read = output_.substr(0, at + marker.size());
    output_.erase(0, at + marker.size());
    return read;
  }
  void Signal(int signal) { ::kill(pid_, signal); }
  void Type(const std::string& keys) {
    if (::write(master_, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size())) ADD_FAILURE() << "cannot type";
  }
  int Wait() {
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  std::string output_;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

using TerminalUse = EndToEndTest;

// Everything the host printed, the terminal's line ends as the host wrote them.
std::string Lines(std::string text) {
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}

}  // namespace

// The host shows a prompt when it waits, prints once what was typed (the terminal's echo), then
// what the command changed; Ctrl-D at the prompt quits as "quit" does, asking about unsaved changes.
TEST_F(TerminalUse, PromptsShowsEachLineOnceAndAsksBeforeQuittingAtEndOfInput) {
  TerminalHost word(bin_ / "tavo-office", "word", root_);
  const std::string start = word.ReadUntil("Word> ");
  EXPECT_NE(start.find("==== Word ===="), std::string::npos) << start;
  EXPECT_NE(start.find("Toolbar \"Tavo Writer Word Add-In\""), std::string::npos) << start;

  word.Type("new\n");
  const std::string created = word.ReadUntil("Word> ");
  EXPECT_EQ(Count(created, "new"), 1u) << created;
  EXPECT_EQ(created.find("> new"), std::string::npos) << created;
  EXPECT_NE(created.find("Documents:\r\n * Document1"), std::string::npos) << created;
  EXPECT_EQ(created.find("Toolbar"), std::string::npos) << created;  // it did not change

  word.Type("type Hello\n");
  EXPECT_NE(word.ReadUntil("Word> ").find("Text: Hello"), std::string::npos);
  word.Type("\x04");  // Ctrl-D
  const std::string question = word.ReadUntil("]> ");
  EXPECT_NE(question.find("quit"), std::string::npos) << question;
  EXPECT_NE(question.find("Do you want to save the changes"), std::string::npos) << question;
  word.Type("click No\n");
  EXPECT_NE(word.ReadUntil("Bye.").find("click No"), std::string::npos);
  EXPECT_EQ(word.Wait(), 0);
}

// A document name from the service holding terminal control sequences (a window title set by
// ESC ] ... BEL, a screen clear, the 8-bit CSI byte behind a cut UTF-8 sequence) reaches the
// screen escaped, never as the sequence itself.
TEST_F(TerminalUse, ControlCharactersFromTheServiceAreShownEscaped) {
  server_->AddAccount("ann@tavo.example", "Secret-1");
  server_->AddDocument("ann@tavo.example", "Plan\x1b]0;owned\x07\x1b[2J", "<html><body><p>x</p></body></html>");
  server_->AddDocument("ann@tavo.example", "Q3\xe0\x9b" "2J", "<html><body><p>x</p></body></html>");
  HostProcess word(bin_ / "tavo-office", "word", root_);
  word.Send("click &Login");
  word.Send("type tavoemailid ann@tavo.example");
  word.Send("type tavopassword Secret-1");
  word.Send("click Command1");
  const std::string list = word.Send("click &Open Document");
  EXPECT_NE(list.find("Plan\\x1b]0;owned\\x07\\x1b[2J"), std::string::npos) << list;
  EXPECT_NE(list.find("Q3\\xe0\\x9b2J"), std::string::npos) << list;
  word.Send("close");
  word.Quit();
  EXPECT_EQ(word.Output().find_first_of("\x1b\x07\x9b"), std::string::npos) << word.Output();
}

// A host on a root where nothing is registered for it says so, rather than starting bare in silence.
TEST_F(TerminalUse, HostWithoutAddinsSaysHowToRegisterOne) {
  const Finished bare = RunToEnd(bin_ / "tavo-office", {"excel"}, root_ / "bare");
  EXPECT_EQ(bare.status, 0) << bare.output;
  EXPECT_NE(bare.output.find("No add-in is registered for Excel (tavo-office register LIBRARY registers one).\n"),
            std::string::npos)
      << bare.output;
}

// The service's files that cannot be written end it with the cause and status 1, not an abort.
TEST_F(TerminalUse, ServiceEndsWithTheCauseWhenItCannotWriteItsFiles) {
  const std::string file = (root_ / "a-file").string();
  std::ofstream(file) << "not a folder";
  for (const char* option : {"--hosts-out", "--ca-out"}) {
    const Finished run = RunToEnd(bin_ / "tavo-service", {option, file + "/etc/out"}, root_);
    EXPECT_EQ(run.status, 1) << option << ": " << run.output;
    EXPECT_NE(run.output.find("tavo-service: cannot write the "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(file + "/etc/out: cannot make its folder"), std::string::npos) << run.output;
  }
}

// At a terminal the line is edited before it is read: cursor keys move in it, Up brings back
// the line before, and no escape sequence of a key ever reaches the document. Ctrl-C drops the
// line being typed and the host goes on.
TEST_F(TerminalUse, LinesAreEditedAndCtrlCDropsTheLineBeingTyped) {
  TerminalHost word(bin_ / "tavo-office", "word", root_);
  word.ReadUntil("Word> ");
  word.Type("new\r");
  word.ReadUntil("Word> ");
  word.Type("type abc\x1b[D\x1b[DX\r");  // Left, Left, then X
  EXPECT_TRUE(Has(word.ReadUntil("Word> "), "Text: aXbc\xc2\xb6"));
  word.Type("\x1b[A\r");  // Up: the line before, again
  EXPECT_TRUE(Has(word.ReadUntil("Word> "), "Text: aXbcaXbc\xc2\xb6"));
  word.Type("ype Y\x1b[15~Z\x1b[Ht\r");  // F5 types nothing; Home goes to the start
  EXPECT_TRUE(Has(word.ReadUntil("Word> "), "Text: aXbcaXbcYZ\xc2\xb6"));
  word.Type("type \xc3\xbc\xe6\x9d\xb1\x1b[D\x1b[DM\r");  // Left goes a character, not a byte
  EXPECT_TRUE(Has(word.ReadUntil("Word> "), "Text: aXbcaXbcYZM\xc3\xbc\xe6\x9d\xb1\xc2\xb6"));
  word.Type("type lost");
  word.Type("\x03");  // Ctrl-C
  const std::string dropped = word.ReadUntil("Word> ");
  EXPECT_TRUE(Has(dropped, "^C")) << dropped;
  word.Type("\x03");  // at an empty prompt it says how to quit
  EXPECT_TRUE(Has(word.ReadUntil("Word> "), "\"quit\" or Ctrl-D quits"));
  word.Type("paragraph\r");
  const std::string text = word.ReadUntil("Word> ");
  EXPECT_TRUE(Has(text, "Text: aXbcaXbcYZM\xc3\xbc\xe6\x9d\xb1\xc2\xb6\xc2\xb6")) << text;
  word.Type("quit\r");
  word.ReadUntil("]> ");
  word.Type("click No\r");
  const std::string end = word.ReadUntil("Bye.");
  EXPECT_EQ(word.Wait(), 0) << end;
}

// A hang-up or a termination signal quits in order, as when the system ends the session: the
// dialog shown is closed, nothing is asked, the add-in signs out and removes the temporary copy
// it downloaded, and the host says what was not saved.
TEST_F(TerminalUse, HangUpAndTerminationQuitInOrder) {
  server_->AddAccount("ann@tavo.example", "Secret-1");
  server_->AddDocument("ann@tavo.example", "Plan", "<html><body><p>x</p></body></html>");
  server_->AddWorkbook("ann@tavo.example", "Budget", service::WorkbookFile({{"Sheet1", {{"A1", "1"}}}}));
  struct Case {
    const char *kind, *open, *edit, *copy, *status;
    int signal;
  } cases[] = {
      {"word", "click &Open Document", "type more", "C:\\Users\\tavo\\Documents\\tavo\\tavowriter\\users\\ann@tavo.example\\Plan.doc",
       "wordstatus", SIGTERM},
      {"excel", "click &Open Tavo Sheet", "cell A2 2", "C:\\Users\\tavo\\Documents\\tavo\\tavosheet\\users\\ann@tavo.example\\Budget.xls",
       "excelstatus", SIGHUP},
  };
  for (const auto& c : cases) {
    auto host = Start(c.kind);
    host->Send("click &Login");
    host->Send("type tavoemailid ann@tavo.example");
    host->Send("type tavopassword Secret-1");
    host->Send("click Command1");
    host->Send(c.open);
    host->Send("click Command1");
    ASSERT_TRUE(platform::files::FileExists(c.copy)) << host->Output();
    host->Send(c.edit);
    EXPECT_EQ(Shared(c.status), "1");
    host->Send("click &Login");  // not shown while signed in: the sign-in dialog stays away
    host->Send("click Se&ttings");  // a dialog is open when the signal comes
    ::kill(host->pid(), c.signal);
    const int status = host->End();
    EXPECT_EQ(status, 128 + c.signal) << host->Output();
    const std::string out = host->Output();
    EXPECT_TRUE(Has(out, "quitting without asking; the changes to " + std::string(c.copy) + " are not saved.")) << out;
    EXPECT_TRUE(Has(out, "Closing the dialog")) << out;
    EXPECT_EQ(Shared(c.status), "0") << c.kind;
    EXPECT_FALSE(platform::files::FileExists(c.copy)) << c.kind;
  }
  EXPECT_EQ(Requests("GET", "/logout"), 2u);
}

// In a dialog at a terminal: a picture shows by its tool tip and "hover" tells it; after an
// action only what changed is printed; the numbers of a long list line up; a key without a
// control goes to the control that has the focus; and the progress window's text shows while
// the sign-in waits.
TEST_F(TerminalUse, DialogsShowWhatChangedAndTakeKeysWhereTheFocusIs) {
  server_->AddAccount("ann@tavo.example", "Secret-1");
  for (int i = 0; i < 12; ++i)
    server_->AddDocument("ann@tavo.example", "Note " + std::to_string(100 + i), "<html><body><p>x</p></body></html>");
  TerminalHost word(bin_ / "tavo-office", "word", root_);
  word.ReadUntil("Word> ");
  word.Type("click &Login\r");
  const std::string dialog = Lines(word.ReadUntil("]> "));
  EXPECT_TRUE(Has(dialog, "Image1        picture, tool tip \"Click me\"\n")) << dialog;
  word.Type("hover Image1\r");
  EXPECT_TRUE(Has(Lines(word.ReadUntil("]> ")), "Image1: tool tip \"Click me\"\n"));
  word.Type("click Image1\r");
  const std::string expanded = Lines(word.ReadUntil("]> "));
  EXPECT_TRUE(Has(expanded, "Label4        \"Keep local copy\"\n")) << expanded;
  EXPECT_FALSE(Has(expanded, "tavoemailid")) << expanded;  // it did not change
  word.Type("type tavoemailid ann@tavo.example\r");
  word.ReadUntil("]> ");
  word.Type("type tavopassword Secret-1\r");
  word.ReadUntil("]> ");
  word.Type("key enter\r");  // the password box has the focus: Enter signs in
  const std::string signedIn = Lines(word.ReadUntil("Word> "));
  EXPECT_TRUE(Has(signedIn, "&Login (disabled)")) << signedIn;
  // While the sign-in waits, the progress window's text shows.
  EXPECT_TRUE(Has(signedIn, "[frmProgress] \"\" (shown)\n  Label        Label1        \"Connecting to Tavo...\"\n"))
      << signedIn;

  word.Type("click &Open Document\r");
  const std::string list = Lines(word.ReadUntil("]> "));
  EXPECT_TRUE(Has(list, "   9  Note 109\n")) << list;
  EXPECT_TRUE(Has(list, "  10  Note 110\n")) << list;
  word.Type("select listdoc 10\r");
  const std::string selected = Lines(word.ReadUntil("]> "));
  EXPECT_TRUE(Has(selected, "> 10  Note 110\n")) << selected;
  EXPECT_FALSE(Has(selected, "Note 109")) << selected;
  EXPECT_LE(std::count(selected.begin(), selected.end(), '\n'), 6) << selected;
  word.Type("key esc\r");  // the list has the focus: Esc closes the dialog
  EXPECT_TRUE(Has(word.ReadUntil("Word> "), "is no longer shown"));
  word.Type("quit\r");
  word.ReadUntil("Bye.");
  EXPECT_EQ(word.Wait(), 0);
}

// "--help" tells each mode, option and environment variable, and where the service's admin
// endpoint is; the installer's choice of language, with the code page beside it, gives the
// Chinese interface; undoing a registration twice says that there was none the second time.
TEST_F(TerminalUse, HelpTellsWhatThereIsAndRegisteringChoosesTheLanguage) {
  const Finished office = RunToEnd(bin_ / "tavo-office", {"--help"}, root_);
  EXPECT_EQ(office.status, 0);
  for (const char* told : {"register [--language eng_us|chi_ch|jap_ja] LIBRARY", "codepage", "--script FILE",
                           "--fast-clock RATE", "TAVO_ROOT", "TAVO_OFFICE_SCREENS", "TAVO_HTTP_TIMEOUT_MS",
                           "TAVO_HTTP_CONNECT_TIMEOUT_MS", "tavo-service --help"})
    EXPECT_TRUE(Has(office.output, told)) << told << "\n--- in ---\n" << office.output;
  const Finished service = RunToEnd(bin_ / "tavo-service", {"--help"}, root_);
  EXPECT_EQ(service.status, 0);
  for (const char* told : {"--port N", "--tls MODE", "--ca-out FILE", "--hosts-out FILE", "--seed demo", "/_admin/",
                           "service/Admin.h"})
    EXPECT_TRUE(Has(service.output, told)) << told << "\n--- in ---\n" << service.output;

  const std::string library = (bin_ / "libtavowriter.so").string();
  const Finished chinese = RunToEnd(bin_ / "tavo-office", {"register", "--language", "chi_ch", library}, root_);
  EXPECT_EQ(chinese.status, 0) << chinese.output;
  EXPECT_EQ(RunToEnd(bin_ / "tavo-office", {"codepage", "936"}, root_).output, "The system code page is 936.\n");
  EXPECT_EQ(RunToEnd(bin_ / "tavo-office", {"register", "--language", "klingon", library}, root_).status, 2);
  HostProcess word(bin_ / "tavo-office", "word", root_);
  EXPECT_TRUE(Has(word.Send("screen"), "[ \xe6\x89\x93\xe5\xbc\x80(&O) ](disabled)"));  // "Open" in Chinese
  word.Quit();

  EXPECT_EQ(RunToEnd(bin_ / "tavo-office", {"unregister", library}, root_).output, "Unregistered " + library + "\n");
  EXPECT_EQ(RunToEnd(bin_ / "tavo-office", {"unregister", library}, root_).output,
            library + " was not registered: nothing to undo.\n");
}

}  // namespace tavo::test
