#pragma once
// The files the service hands its clients: a hosts file that sends the suite's names to it, and
// the certificate authority they are to trust.
#include <filesystem>
#include <string>

namespace tavo::service {

// Hosts file lines sending the suite's names to the ports: port 80 to the HTTP port, port 443
// to the TLS port (no line for it when `tlsPort` is 0).
std::string HostsFileText(int port, int tlsPort);

// Writes the text to the file, making its folder as needed; throws std::runtime_error naming
// the file (`what` it is, e.g. "hosts file") and the cause when it cannot be written.
void WriteClientFile(const std::filesystem::path& path, const std::string& text, const char* what);

}  // namespace tavo::service
