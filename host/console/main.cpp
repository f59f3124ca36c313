// tavo-office: the emulated Office host; "tavo-office --help" tells its modes, options and
// environment variables.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "host/OfficeSession.h"
#include "host/addins/Installer.h"
#include "host/console/LineInput.h"
#include "host/console/Signals.h"
#include "host/console/TerminalOperator.h"
#include "host/console/VisibleText.h"
#include "platform/codepage/CodePage.h"
#include "platform/core/Clock.h"
#include "platform/core/RuntimeError.h"
#include "platform/environment/Environment.h"

namespace {

// Everything printed passes through the filter of VisibleText.h.
host::VisibleStream& Out() {
  static host::VisibleStream out(std::cout);
  return out;
}
host::VisibleStream& Err() {
  static host::VisibleStream err(std::cerr);
  return err;
}

constexpr const char* kUsage =
    "usage: tavo-office word|excel [--script FILE] [--fast-clock RATE]\n"
    "       tavo-office register [--language eng_us|chi_ch|jap_ja] LIBRARY\n"
    "       tavo-office unregister LIBRARY\n"
    "       tavo-office codepage [1252|936|932|...]\n"
    "       tavo-office --help\n";

int Usage() {
  Err() << kUsage << "(tavo-office --help tells more)\n";
  return 2;
}

int Help() {
  Out() << kUsage << R"(
An emulated Word or Excel that loads the add-ins registered for it and is driven from the
terminal, a script or a pipe.

Modes:
  word, excel       Start Word or Excel with its registered add-ins. Each shows its screen
                    (toolbars, menus, status bar, open files, dialogs) and reads commands at its
                    prompt; "help" there lists them. At a terminal the line can be edited (cursor
                    keys, Up and Down for the lines before), Ctrl-C drops the line being typed and
                    Ctrl-D or "quit" quits, asking about unsaved changes. A hang-up or SIGTERM
                    quits without asking, in order: the add-ins sign out and clean up.
    --script FILE   Read the commands from FILE instead (each line is echoed after "> ").
    --fast-clock RATE
                    Let the host's time run RATE times faster (the add-ins' waits go faster).
  register LIBRARY  Register an add-in library for its application, as its installer does.
    --language CODE The interface language the add-ins use: eng_us (English, the default),
                    chi_ch (Chinese) or jap_ja (Japanese). Chinese and Japanese want the matching
                    system code page as well (see codepage).
  unregister LIBRARY
                    Remove the library's registration.
  codepage [N]      Show the environment's system ANSI code page, or set it to N: 1252 (Western,
                    the default), 936 (Simplified Chinese), 932 (Japanese), ...

Environment:
  TAVO_ROOT         The environment's folder, holding drive C: and the registry (default ~/.tavo).
                    Drive Z: is this machine's own /.
  TAVO_USER         The Windows user name in the environment (default tavo).
  TAVO_OFFICE_SCREENS
                    "full": print the whole screen after every command, not only what changed.
  TAVO_HTTP_CONNECT_TIMEOUT_MS, TAVO_HTTP_TIMEOUT_MS
                    How long a request of the add-ins may take to connect and in all (default
                    15000 and 120000).
  TAVO_HTTP_MAX_RESPONSE_BYTES
                    The largest answer the add-ins take from the service (default 128 MiB).

The stand-in online service is tavo-service (tavo-service --help); the README tells how to run
the two together by hand.
)";
  return 0;
}

int Registration(const std::string& verb, const std::string& library, const std::string& language) {
  const bool registering = verb == "register";
  const bool wasRegistered = host::IsRegisteredLibrary(library);
  long rc = registering ? host::RegisterLibrary(library) : host::UnregisterLibrary(library);
  if (rc != 0) {
    Err() << "tavo-office: " << verb << " " << library << " failed with code " << rc << std::endl;
    return 1;
  }
  if (!registering) {
    Out() << (wasRegistered ? "Unregistered " + library : library + " was not registered: nothing to undo.") << "\n";
    return 0;
  }
  if (!language.empty()) host::SetInstallLanguage(language);
  Out() << (wasRegistered ? "Registered again " : "Registered ") << library;
  if (!language.empty()) Out() << " (interface language " << language << ")";
  Out() << "\n";
  return 0;
}

int CodePage(int argc, char** argv) {
  if (argc > 3) return Usage();
  if (argc == 3) {
    unsigned long page = 0;
    const std::string value = argv[2];
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), page);
    if (ec != std::errc() || end != value.data() + value.size() || page == 0 || page > 65535) return Usage();
    try {
      platform::codepage::SetACP(static_cast<std::uint32_t>(page));
    } catch (const platform::RuntimeError& e) {
      Err() << "tavo-office: " << e.description() << " (1252, 936 and 932 are known, among others)\n";
      return 2;
    }
  }
  Out() << "The system code page is " << platform::codepage::GetACP() << ".\n";
  return 0;
}

int Run(host::HostKind kind, std::unique_ptr<host::LineInput> input) {
  host::TerminalOptions options;
  options.terminal = input->terminal();
  host::signals::Install(options.terminal);
  const char* screens = std::getenv("TAVO_OFFICE_SCREENS");
  options.fullScreens = screens && std::string(screens) == "full";
  host::OfficeSession session(kind, [](const std::string& message) { Out() << message << "\n"; });
  host::TerminalOperator op(session, std::move(input), Out(), options);
  if (session.Start() == 0)
    Out() << "No add-in is registered for " << session.application()->Name()
          << " (tavo-office register LIBRARY registers one).\n";
  const int status = op.Run();
  Out() << std::flush;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // Buffers of a megabyte or more (a workbook's file, its Base64 text, a request body) are
  // mapped on their own and go back to the system when freed. Left to itself the allocator
  // raises that bound after the first such buffer is freed and keeps later ones in its heap,
  // so a host that once saved a large workbook would hold that memory from then on.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  if (argc < 2) return Usage();
  const std::string verb = argv[1];
  try {
    if (verb == "--help" || verb == "-h" || verb == "help") return Help();
    // The environment first: one that another user could change is refused before anything in
    // it is read or written.
    if (verb == "codepage" || verb == "register" || verb == "unregister" || verb == "word" || verb == "excel")
      platform::environment::Current();
    if (verb == "codepage") return CodePage(argc, argv);
    if (verb == "register" || verb == "unregister") {
      std::string language;
      int at = 2;
      if (verb == "register" && argc == 5 && std::string(argv[2]) == "--language") {
        language = argv[3];
        if (!host::IsLanguageCode(language)) {
          Err() << "tavo-office: the language is eng_us, chi_ch or jap_ja, not \"" << language << "\"\n";
          return 2;
        }
        at = 4;
      }
      if (argc != at + 1) return Usage();
      return Registration(verb, argv[at], language);
    }
    if (verb != "word" && verb != "excel") return Usage();
    const host::HostKind kind = verb == "word" ? host::HostKind::Word : host::HostKind::Excel;
    std::string scriptFile;
    int rate = 0;
    for (int i = 2; i < argc; i += 2) {
      const std::string option = argv[i];
      if (i + 1 >= argc) return Usage();
      if (option == "--script" && scriptFile.empty()) {
        scriptFile = argv[i + 1];
      } else if (option == "--fast-clock" && rate == 0) {
        rate = std::atoi(argv[i + 1]);
        if (rate < 1) return Usage();
      } else {
        return Usage();
      }
    }
    // Never deleted: threads and static destructors may read the clock until the very end.
    if (rate > 1) platform::SetCurrentClock(new platform::FastClock(rate));
    if (scriptFile.empty()) {
      // At a terminal, the line editor; a pipe or a file, plain lines.
      if (::isatty(STDIN_FILENO) == 1) return Run(kind, host::TerminalInput(stdin, stdout));
      return Run(kind, host::DescriptorInput(STDIN_FILENO));
    }
    const int script = ::open(scriptFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (script < 0) {
      Err() << "tavo-office: cannot read " << scriptFile << ": " << std::strerror(errno) << std::endl;
      return 1;
    }
    return Run(kind, host::DescriptorInput(script));
  } catch (const platform::RuntimeError& e) {
    Err() << "tavo-office: run-time error " << e.number() << ": " << e.description() << std::endl;
  } catch (const std::exception& e) {
    Err() << "tavo-office: " << e.what() << std::endl;
  }
  return 1;
}
