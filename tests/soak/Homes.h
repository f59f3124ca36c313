#pragma once
// Where the user's edits are. Every edit of the day types a marker of its own ("mk17z") into a
// document or a cell; a marker is at home wherever a copy of it lasts: in an online item that is
// not in the trash, or in a document or workbook file anywhere on drive C:. Logs, the add-ins'
// temporary pages and the registry are no homes. A picture carries its marker inside: it is at
// home in a document holding it, or showing the service's copy of it.
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "service/Server.h"

namespace tavo::test::soak {

std::string Marker(int number);
// The markers in a text, in any order.
std::set<std::string> MarkersIn(const std::string& text);
// A picture of its own: a PNG whose text chunk holds the marker.
std::string PictureWithMarker(const std::string& marker);
// The markers of an online item: in its content, and in the pictures of the service it shows.
std::set<std::string> OnlineMarkers(const service::Server& server, const std::string& content);
// The markers of a document or workbook file's bytes: its text and its pictures, its own or the
// service's it links to.
std::set<std::string> FileMarkers(const service::Server& server, const std::string& bytes);

// "online 1012" or a Windows path ("C:\Users\tavo\Documents\Memo.doc").
using Home = std::string;
inline Home OnlineHome(const std::string& id) { return "online " + id; }

struct Homes {
  std::map<std::string, std::set<Home>> of;  // marker -> its homes
  const std::set<Home>& Of(const std::string& marker) const;
  // The markers at home in `home`.
  std::set<std::string> In(const Home& home) const;
};

Homes FindHomes(const service::Server& server, const std::filesystem::path& root);

// A file as it is on disk: equal stamps mean nobody has written, replaced or re-created it.
struct Stamp {
  unsigned long device = 0, inode = 0;
  long size = 0, modifiedNs = 0, changedNs = 0;
  bool operator==(const Stamp&) const = default;
};
std::optional<Stamp> StampOf(const std::filesystem::path& file);

// The Windows path of a file under the root's drive C: ("<root>/drive_c/a/b" -> "C:\a\b").
std::string WindowsPath(const std::filesystem::path& root, const std::filesystem::path& file);

}  // namespace tavo::test::soak
