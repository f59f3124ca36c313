#include "tests/soak/Homes.h"

#include <sys/stat.h>

#include <cctype>
#include <fstream>
#include <iterator>

namespace tavo::test::soak {
namespace fs = std::filesystem;
using std::string;

string Marker(int number) { return "mk" + std::to_string(number) + "z"; }

std::set<string> MarkersIn(const string& text) {
  std::set<string> markers;
  for (size_t at = text.find("mk"); at != string::npos; at = text.find("mk", at + 2)) {
    size_t end = at + 2;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end > at + 2 && end < text.size() && text[end] == 'z') markers.insert(text.substr(at, end + 1 - at));
  }
  return markers;
}

const std::set<Home>& Homes::Of(const string& marker) const {
  static const std::set<Home> none;
  const auto it = of.find(marker);
  return it == of.end() ? none : it->second;
}

std::set<string> Homes::In(const Home& home) const {
  std::set<string> markers;
  for (const auto& [marker, homes] : of)
    if (homes.count(home)) markers.insert(marker);
  return markers;
}

std::optional<Stamp> StampOf(const fs::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1'000'000'000L + st.st_mtim.tv_nsec,
               st.st_ctim.tv_sec * 1'000'000'000L + st.st_ctim.tv_nsec};
}

string WindowsPath(const fs::path& root, const fs::path& file) {
  string relative = fs::relative(file, root / "drive_c").string();
  for (char& c : relative)
    if (c == '/') c = '\\';
  return "C:\\" + relative;
}

Homes FindHomes(const service::Server& server, const fs::path& root) {
  Homes homes;
  const auto add = [&](const string& text, const Home& home) {
    for (const string& marker : MarkersIn(text)) homes.of[marker].insert(home);
  };
  for (const auto& d : server.Documents())
    if (!d.trashed) add(d.content, OnlineHome(d.id));
  for (const auto& w : server.Workbooks())
    if (!w.trashed) add(w.bytes, OnlineHome(w.id));
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root / "drive_c", ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::ifstream in(it->path(), std::ios::binary);
    string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.starts_with("TAVO-DOCUMENT/1\n") || bytes.starts_with("TAVO-WORKBOOK/1\n"))
      add(bytes, WindowsPath(root, it->path()));
  }
  return homes;
}

}  // namespace tavo::test::soak
