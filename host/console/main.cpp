// tavo-office: the emulated Office host.
//   tavo-office word|excel [--script FILE] [--fast-clock RATE]
//                                            run Word or Excel with the registered add-ins;
//                                            with --fast-clock its time runs RATE times faster
//                                            (the waits of a test that loops through sign-ins)
//   tavo-office register|unregister LIBRARY  call the add-in library's registration
// After each command it prints the parts of the screen that changed; with TAVO_OFFICE_SCREENS=full
// in the environment, the whole screen (what tests that read the screen after each command want).
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "host/OfficeSession.h"
#include "host/console/TerminalOperator.h"
#include "host/console/VisibleText.h"
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

int Usage() {
  Err() << "usage: tavo-office word|excel [--script FILE] [--fast-clock RATE]\n"
               "       tavo-office register|unregister LIBRARY\n";
  return 2;
}

int Registration(const std::string& verb, const std::string& library) {
  long rc = verb == "register" ? host::RegisterLibrary(library) : host::UnregisterLibrary(library);
  if (rc != 0) {
    Err() << "tavo-office: " << verb << " " << library << " failed with code " << rc << std::endl;
    return 1;
  }
  Out() << (verb == "register" ? "Registered " : "Unregistered ") << library << "\n";
  return 0;
}

int Run(host::HostKind kind, std::istream& in, bool terminal) {
  host::TerminalOptions options;
  options.terminal = terminal;
  const char* screens = std::getenv("TAVO_OFFICE_SCREENS");
  options.fullScreens = screens && std::string(screens) == "full";
  host::OfficeSession session(kind, [](const std::string& message) { Out() << message << "\n"; });
  host::TerminalOperator op(session, in, Out(), options);
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
    // The environment first: one that another user could change is refused before anything in
    // it is read or written.
    if (verb == "register" || verb == "unregister" || verb == "word" || verb == "excel")
      platform::environment::Current();
    if (verb == "register" || verb == "unregister") {
      if (argc != 3) return Usage();
      return Registration(verb, argv[2]);
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
      // Read straight from the terminal, so that it can be read again after a Ctrl-D.
      std::ios::sync_with_stdio(false);
      return Run(kind, std::cin, ::isatty(STDIN_FILENO) == 1);
    }
    std::ifstream script(scriptFile);
    if (!script) {
      Err() << "tavo-office: cannot read " << scriptFile << std::endl;
      return 1;
    }
    return Run(kind, script, false);
  } catch (const platform::RuntimeError& e) {
    Err() << "tavo-office: run-time error " << e.number() << ": " << e.description() << std::endl;
  } catch (const std::exception& e) {
    Err() << "tavo-office: " << e.what() << std::endl;
  }
  return 1;
}
