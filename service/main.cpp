// tavo-service: the stand-in online suite, standalone.
//   tavo-service [--port N] [--tls-port M] [--tls off|trusted|untrusted-ca|wrong-host]
//                [--ca-out FILE] [--hosts-out FILE] [--seed demo]
// Prints the ports it listens on, then serves until interrupted.
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>

#include "service/Seed.h"
#include "service/Server.h"

namespace {

int Usage() {
  std::cerr << "usage: tavo-service [--port N] [--tls-port M] [--tls off|trusted|untrusted-ca|wrong-host]\n"
               "                    [--ca-out FILE] [--hosts-out FILE] [--seed demo]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tavo::service;
  ServerOptions options;
  std::string seed;
  std::string hostsOut;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
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
