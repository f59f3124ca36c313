// Local files that someone other than the user wrote, fed to the programs as a user runs them:
// a document whose pictures name files outside the export's folder, an environment root that
// another user made, a hosts file with entries that only look like this machine's. Nothing of the
// user's may reach an address such a file names, and nothing outside the folders the programs
// write may change.
#include <netinet/in.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "platform/files/Files.h"
#include "platform/environment/Environment.h"
#include "platform/http/Http.h"
#include "platform/xml/Base64.h"
#include "service/Defaults.h"
#include "tests/BothHosts.h"

namespace tavo::test {
namespace {


using namespace both_hosts;

constexpr int kFastClock = 20;  // the sign-in's waits of several seconds, shortened

// A port on this machine that stands for an attacker's listener: it counts the connections made
// to it, whatever they carry.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd_, 64) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      ADD_FAILURE() << "no listener";
    port_ = ntohs(address.sin_port);
  }
  ~Listener() { ::close(fd_); }
  int port() const { return port_; }
  // The connections made so far (each is closed once counted).
  int Connections() {
    for (int client; (client = ::accept(fd_, nullptr, nullptr)) >= 0;) {
      ::close(client);
      ++connections_;
    }
    return connections_;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
  int connections_ = 0;
};

using HostileLocalFiles = BothHosts;

// The files of drive C: and what they hold, but for the add-ins' own folders (their logs, maps and
// copies, the export they run): what no hostile input may change.
std::map<string, string> FilesOutsideTheAddinsFolders() {
  namespace fs = std::filesystem;
  const string own[] = {platform::environment::HostPath("C:\\Users\\tavo\\AppData\\Roaming\\tavo").string() + "/",
                        platform::environment::HostPath("C:\\Users\\tavo\\Documents\\tavo").string() + "/"};
  std::map<string, string> files;
  for (const auto& entry : fs::recursive_directory_iterator(platform::environment::HostPath("C:\\"))) {
    const string path = entry.path().string();
    if (!entry.is_regular_file() || path.starts_with(own[0]) || path.starts_with(own[1])) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[path] = string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

}  // namespace

// A document whose pictures' types are paths (to the hosts file, to the trusted CA file) would
// have the export that Add runs write the pictures there, and the next sign-in go where the
// pictures say. Word refuses to open it as damaged: the Add finds no document, nothing changes
// outside the add-ins' folders, and the next sign-in reaches the service.
TEST_F(HostileLocalFiles, ADocumentWhosePictureTypesArePathsDoesNotOpen) {
  Listener attacker;
  const string elsewhere = "127.0.0.1:" + std::to_string(attacker.port()) +
                           " writer.tavo.example accounts.tavo.example accounts.tavo.example:443 www.tavo.example"
                           " sheet.tavo.example\n";
  const string up = "..\\..\\..\\..\\..\\..\\..\\..\\..\\..\\..\\..\\";
  platform::files::WriteAllBytes(
      "C:\\Users\\tavo\\Documents\\Report.doc",
      "TAVO-DOCUMENT/1\nopen-password: \ntext: Q3 figures\nparagraph\n"
      "picture: png\\" + up + "Windows\\System32\\drivers\\etc\\hosts 1px 1px " +
          platform::xml::Base64Encode(elsewhere) + "\n"
      "picture: png\\" + up + "Windows\\System32\\certs\\tavo-ca.pem 1px 1px " +
          platform::xml::Base64Encode("-----BEGIN CERTIFICATE-----\n") + "\nparagraph\n");
  const std::map<string, string> before = FilesOutsideTheAddinsFolders();

  auto word = Start("word", kFastClock);
  ASSERT_TRUE(Has(SignIn(*word), "&Login (disabled)"));
  const string opened = word->Send("open Report.doc");
  EXPECT_TRUE(Has(opened, "The file is damaged and cannot be opened.")) << opened;
  word->Send("click &Add to Tavo Writer");
  word->Send("click Lo&gout");
  EXPECT_EQ(word->Quit(), 1);  // a command failed: the open
  EXPECT_EQ(FilesOutsideTheAddinsFolders(), before);
  EXPECT_TRUE(server_->Documents().empty());

  word = Start("word", kFastClock);
  const size_t signIns = Requests("POST", "/login");
  EXPECT_TRUE(Has(SignIn(*word), "&Login (disabled)"));
  EXPECT_GT(Requests("POST", "/login"), signIns);
  EXPECT_EQ(word->Quit(), 0);
  EXPECT_EQ(attacker.Connections(), 0);
}

// Everything under a folder: each path with its type, mode, owner and bytes.
std::map<string, string> Tree(const std::filesystem::path& folder) {
  std::map<string, string> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    struct stat st {};
    ::lstat(entry.path().c_str(), &st);
    string& about = tree[entry.path().string()];
    about = std::to_string(st.st_mode) + " " + std::to_string(st.st_uid) + " ";
    std::ifstream in(entry.path(), std::ios::binary);
    if (entry.is_regular_file()) about += string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return tree;
}

// A root at a name another user chose first (in the folder for temporary files, say), or one whose
// drive another user made, holding a hosts file of theirs: the hosts refuse it before anything in
// it is read or written, naming the folder and its owner; nothing reaches the address that file
// names, and nothing in the root changes.
TEST_F(HostileLocalFiles, ARootAnotherUserMadeIsRefused) {
  const passwd* other = ::getpwnam("nobody");
  if (::geteuid() != 0 || other == nullptr || other->pw_uid == 0)
    GTEST_SKIP() << "making a folder another user's (nobody's) needs root and that user";
  namespace fs = std::filesystem;
  Listener attacker;
  const struct {
    const char* what;
    const char* theirs;  // the folder the other user made, relative to the root ("" the root)
  } cases[] = {{"the root", ""}, {"its drive", "drive_c"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    string pattern = (fs::temp_directory_path() / "tavo-shared-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    const fs::path etc = root / "drive_c/Windows/System32/drivers/etc";
    fs::create_directories(etc);
    std::ofstream(etc / "hosts") << "127.0.0.1:" << attacker.port()
                                 << " accounts.tavo.example accounts.tavo.example:443 www.tavo.example\n";
    const fs::path theirs = *c.theirs ? root / c.theirs : root;
    ::chmod(theirs.c_str(), 0755);
    ::chown(theirs.c_str(), other->pw_uid, other->pw_gid);
    for (const auto& entry : fs::recursive_directory_iterator(theirs))
      ::chown(entry.path().c_str(), other->pw_uid, other->pw_gid);
    const std::map<string, string> before = Tree(root);

    const string refused = (*c.theirs ? "The folder " + theirs.string() + " of the environment root "
                                      : string("The environment root ")) +
                           root.string() + " belongs to nobody";
    for (const std::vector<string>& arguments :
         {std::vector<string>{"word"}, {"excel"}, {"register", (bin_ / "libtavowriter.so").string()}}) {
      const Finished run = RunToEnd(bin_ / "tavo-office", arguments, root);
      EXPECT_EQ(run.status, 1) << run.output;
      EXPECT_TRUE(Has(run.output, refused)) << run.output;
    }
    EXPECT_EQ(Tree(root), before);
    EXPECT_EQ(attacker.Connections(), 0);
    fs::remove_all(root);
  }
}

// Entries whose address is a name beginning "127." (which resolves where its owner likes) or
// any other form that is not a loopback IP literal send no sign-in anywhere: the names stay
// unmapped, and the sign-in fails as for a service it cannot reach.
TEST_F(HostileLocalFiles, AHostsEntryThatIsNoLoopbackAddressIsIgnored) {
  Listener attacker;
  const string port = std::to_string(attacker.port());
  namespace names = service::defaults;
  string hosts;
  for (const char* address : {"127.attacker.localhost", "127.0.0.1.attacker.localhost", "localhost", "127.1"}) {
    hosts += string(address) + ":" + port;
    for (const std::string_view name :
         {names::kWriterHost, names::kSheetHost, names::kAccountsHost, names::kMainHost, names::kShareHost})
      hosts += " " + string(name) + " " + string(name) + ":443";
    hosts += "\n";
  }
  platform::files::WriteAllBytes(platform::http::kHostsFile, hosts);
  for (const auto& h : kUnreachableMessages) {
    SCOPED_TRACE(h.kind);
    auto host = Start(h.kind, kFastClock);
    const string screen = SignIn(*host);
    EXPECT_TRUE(Has(screen, h.message)) << screen;
    host->Send("click Command1");
    EXPECT_EQ(host->Quit(), 0);
    EXPECT_EQ(attacker.Connections(), 0);
  }
  EXPECT_TRUE(server_->Requests().empty());
}

}  // namespace tavo::test
