#include "tests/soak/Homes.h"

#include <sys/stat.h>

#include <cctype>
#include <fstream>
#include <iterator>

#include "platform/xml/Base64.h"

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

namespace {

unsigned long Crc32(const string& bytes) {
  unsigned long crc = 0xFFFFFFFFul;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320ul & (0ul - (crc & 1)));
  }
  return crc ^ 0xFFFFFFFFul;
}

string BigEndian(unsigned long n) {
  return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
}

string Chunk(const string& type, const string& data) {
  return BigEndian(data.size()) + type + data + BigEndian(Crc32(type + data));
}

// The service's pictures a content shows, by their addresses ("/pictures/1017.png").
std::set<string> PictureIds(const string& content) {
  std::set<string> ids;
  for (size_t at = content.find("/pictures/"); at != string::npos; at = content.find("/pictures/", at + 1)) {
    size_t end = at + 10;
    while (end < content.size() && std::isdigit(static_cast<unsigned char>(content[end]))) ++end;
    if (end > at + 10) ids.insert(content.substr(at + 10, end - at - 10));
  }
  return ids;
}

// The markers of a document file's own pictures: each "picture:" line ends in the picture's bytes
// in Base64.
std::set<string> EmbeddedMarkers(const string& file) {
  std::set<string> markers;
  for (size_t at = file.find("\npicture: "); at != string::npos; at = file.find("\npicture: ", at + 1)) {
    const size_t end = file.find('\n', at + 1);
    const string line = file.substr(at + 1, end == string::npos ? string::npos : end - at - 1);
    string bytes;
    if (platform::xml::Base64Decode(line.substr(line.rfind(' ') + 1), &bytes)) markers.merge(MarkersIn(bytes));
  }
  return markers;
}

}  // namespace

string PictureWithMarker(const string& marker) {
  // A white pixel (IHDR 1x1, RGBA), with the marker as its comment.
  static const unsigned char header[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  static const unsigned char ihdr[] = {0, 0, 0, 1, 0, 0, 0, 1, 8, 6, 0, 0, 0};
  static const unsigned char idat[] = {0x78, 0x9C, 0x63, 0xF8, 0x0F, 0x04, 0x00, 0x09, 0xFB, 0x03, 0xFD};
  return string(reinterpret_cast<const char*>(header), sizeof header) +
         Chunk("IHDR", string(reinterpret_cast<const char*>(ihdr), sizeof ihdr)) +
         Chunk("tEXt", string("Comment") + '\0' + marker) +
         Chunk("IDAT", string(reinterpret_cast<const char*>(idat), sizeof idat)) + Chunk("IEND", "");
}

std::set<string> OnlineMarkers(const service::Server& server, const string& content) {
  std::set<string> markers = MarkersIn(content);
  const std::set<string> shown = PictureIds(content);
  if (shown.empty()) return markers;
  for (const auto& picture : server.Pictures())
    if (shown.count(picture.id)) markers.merge(MarkersIn(picture.bytes));
  return markers;
}

std::set<string> FileMarkers(const service::Server& server, const string& bytes) {
  if (!bytes.starts_with("TAVO-DOCUMENT/1\n")) return MarkersIn(bytes);
  std::set<string> markers = OnlineMarkers(server, bytes);
  markers.merge(EmbeddedMarkers(bytes));
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
  const auto add = [&](const std::set<string>& markers, const Home& home) {
    for (const string& marker : markers) homes.of[marker].insert(home);
  };
  for (const auto& d : server.Documents())
    if (!d.trashed) add(OnlineMarkers(server, d.content), OnlineHome(d.id));
  for (const auto& w : server.Workbooks())
    if (!w.trashed) add(MarkersIn(w.bytes), OnlineHome(w.id));
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root / "drive_c", ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::ifstream in(it->path(), std::ios::binary);
    string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.starts_with("TAVO-DOCUMENT/1\n") || bytes.starts_with("TAVO-WORKBOOK/1\n"))
      add(FileMarkers(server, bytes), WindowsPath(root, it->path()));
  }
  return homes;
}

}  // namespace tavo::test::soak
