// tavo-service: the stand-in online suite, standalone; "tavo-service --help" tells its options.
// Prints the ports it listens on, then serves until interrupted.
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>

#include "service/Seed.h"
#include "service/Server.h"

namespace {

constexpr const char* kUsage =
    "usage: tavo-service [--port N] [--tls-port M] [--tls off|trusted|untrusted-ca|wrong-host]\n"
    "                    [--ca-out FILE] [--hosts-out FILE] [--seed demo]\n"
    "       tavo-service --help\n";

int Usage() {
  std::cerr << kUsage << "(tavo-service --help tells more)\n";
  return 2;
}

int Help() {
  std::cout << kUsage << R"(
The stand-in online suite on loopback: the accounts sign-in and sign-out, the word-processor and
spreadsheet APIs, publishing and downloads, as the add-ins call them. It keeps everything in
memory and serves until Ctrl-C (SIGINT) or SIGTERM.

Options:
  --port N          The plain HTTP port (default: a free one, printed at start).
  --tls-port M      The HTTPS port (default: a free one, printed at start).
  --tls MODE        How HTTPS answers: trusted (the default: a certificate of its own authority,
                    which --ca-out writes), untrusted-ca (an authority the add-ins do not trust),
                    wrong-host (a certificate for another name), off (no HTTPS).
  --ca-out FILE     Write the certificate authority the add-ins are to trust to FILE, e.g.
                    $TAVO_ROOT/drive_c/Windows/System32/certs/tavo-ca.pem.
  --hosts-out FILE  Write a hosts file sending the suite's names under tavo.example to this
                    process, e.g. $TAVO_ROOT/drive_c/Windows/System32/drivers/etc/hosts.
  --seed demo       Start with the account demo@tavo.example / demo-pass and a few documents
                    and workbooks.

The admin endpoint, /_admin/... on the same ports and for loopback clients only, adds accounts,
documents and workbooks, changes them "online", ends sign-ins, and makes a chosen call fail (an
error code, a malformed or cut answer, a delay, a refused connection), to try the add-ins'
failure paths by hand, e.g.
  curl -d '' 'http://127.0.0.1:PORT/_admin/fault?match=saveDocument&kind=html-500'
Every call is listed at the top of service/Admin.h.
)";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavo::service;
  ServerOptions options;
  std::string seed;
  std::string hostsOut;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return Help();
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    try {
      if (arg == "--port") {
        options.port = std::stoi(value);
      } else if (arg == "--tls-port") {
        options.tlsPort = std::stoi(value);
      } else if (arg == "--ca-out") {
        options.caOut = value;
      } else if (arg == "--hosts-out") {
        hostsOut = value;
      } else if (arg == "--seed") {
        if (value != "demo") return Usage();
        seed = value;
      } else if (arg == "--tls") {
        if (value == "off") options.tls = TlsMode::Off;
        else if (value == "trusted") options.tls = TlsMode::Trusted;
        else if (value == "untrusted-ca") options.tls = TlsMode::UntrustedCa;
        else if (value == "wrong-host") options.tls = TlsMode::WrongHost;
        else return Usage();
      } else {
        return Usage();
      }
    } catch (const std::exception&) {
      return Usage();
    }
  }

  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // the server's threads inherit the mask

  // Every failure ends here with its cause and status 1: a port taken, a file that cannot be
  // written, anything else thrown.
  try {
    Server server(options);
    server.Start();
    if (seed == "demo") {
      const DemoSeed ids = SeedDemo(server);
      std::cout << "seeded " << defaults::kDemoUser << " / " << defaults::kDemoPassword << ": "
                << ids.documentIds.size() << " documents, " << ids.workbookIds.size() << " workbooks\n";
    }
    if (!hostsOut.empty()) server.WriteHostsFile(hostsOut);
    std::cout << "tavo-service listening on " << server.Url() << "\n";
    if (server.tlsPort() != 0) std::cout << "tavo-service listening on " << server.TlsUrl() << "\n";
    std::cout.flush();

    int received = 0;
    sigwait(&signals, &received);
    server.Stop();
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
