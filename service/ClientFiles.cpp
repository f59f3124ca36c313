#include "service/ClientFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "service/Defaults.h"

namespace tavo::service {

std::string HostsFileText(int port, int tlsPort) {
  const std::string names[] = {std::string(defaults::kWriterHost), std::string(defaults::kSheetHost),
                               std::string(defaults::kAccountsHost), std::string(defaults::kMainHost),
                               std::string(defaults::kShareHost)};
  std::string text = "# The Tavo suite's names, served by tavo-service on this machine.\n";
  text += "127.0.0.1:" + std::to_string(port);
  for (const auto& name : names) text += " " + name;
  text += "\n";
  if (tlsPort != 0) {
    text += "127.0.0.1:" + std::to_string(tlsPort);
    for (const auto& name : names) text += " " + name + ":443";
    text += "\n";
  }
  return text;
}

void WriteClientFile(const std::filesystem::path& path, const std::string& text, const char* what) {
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  if (ec)
    throw std::runtime_error("tavo-service: cannot write the " + std::string(what) + " " + path.string() +
                             ": cannot make its folder (" + ec.message() + ")");
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out)
    throw std::runtime_error("tavo-service: cannot write the " + std::string(what) + " " + path.string() + ": " +
                             std::strerror(errno));
}

}  // namespace tavo::service
