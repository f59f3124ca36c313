#pragma once
// What the stand-in suite knows: accounts and their tickets, word-processor documents,
// spreadsheet workbooks, uploaded pictures and the publishing calls made for each item.
// Plain data behind one mutex: the API handlers lock it for each request they serve and use
// the data and helpers directly; the seeding, the changes made "online" and the inspection at
// the end of the class are for everyone else and lock it themselves.
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tavo::service {

using TimePoint = std::chrono::system_clock::time_point;

struct PublishRecord {
  bool isPublic = false;
  std::string publicQuery;  // the query of the last make-public call
  std::string licenseName;
  std::string licenseUrl;
  std::string licenseImage;
  int makePublicCalls = 0;
  int licenseCalls = 0;
};

struct Document {
  std::string id;
  std::string owner;  // account e-mail
  std::string name;
  std::string nameUrl;  // the name as the add-in uses it for file names
  std::string content;  // HTML
  double version = 1;   // negative: an automatic save of version -version
  std::string author;
  std::string createdOn;
  bool trashed = false;
  bool sharedReadOnly = false;  // shared to its account by someone else: readable, not savable
  PublishRecord publish;
};

struct Workbook {
  std::string id;
  std::string owner;
  std::string name;
  std::string bytes;  // opaque to the service
  std::string createdTime;
  std::string modifiedTime;
  std::string modifiedBy;
  std::string updateLock;
  std::string inUseBy;  // another editor holds it open: saves are refused
  bool trashed = false;
  bool sharedReadOnly = false;
  PublishRecord publish;
};

struct Picture {
  std::string id;
  std::string owner;
  std::string type;  // "png", "gif", "jpg"
  std::string bytes;
};

class Store {
 public:
  using Clock = std::function<TimePoint()>;
  explicit Store(Clock clock);

  mutable std::mutex mutex;  // held by whoever reads or changes the data below

  std::map<std::string, std::string> passwords;  // e-mail (lower case) -> password
  std::map<std::string, std::string> tickets;    // ticket -> e-mail (lower case)
  std::set<std::string> issuedTickets;           // every ticket given, ended ones too
  std::map<std::string, Document> documents;     // by id
  std::map<std::string, Workbook> workbooks;     // by id
  std::map<std::string, Picture> pictures;       // by id

  // The account a ticket stands for; nullopt for an unknown or ended ticket.
  std::optional<std::string> AccountOf(std::string_view ticket) const;
  // The live ticket of the account, or a new one.
  std::string TicketFor(const std::string& account);

  // Ids are numbers, unique across documents, workbooks and pictures, so a path that does
  // not say which service it is for still names one item.
  std::string NewId();
  std::string NewToken(size_t hexDigits);

  // The name with the characters Windows forbids in file names (\ / : * ? " < > |) replaced
  // by "_", made unique among the account's other documents (case-insensitively, as file
  // names are) by a "_2", "_3", ... suffix.
  std::string UniqueNameUrl(const std::string& account, const std::string& name,
                            const std::string& exceptId = {}) const;

  // New items, with fresh ids (and, for a workbook, times and an update lock).
  Document& CreateDocument(const std::string& owner, const std::string& name, const std::string& html,
                           double version);
  Workbook& CreateWorkbook(const std::string& owner, const std::string& name, std::string bytes);
  // New content for a workbook: a later modification time and a new update lock.
  void Revise(Workbook& workbook, std::string bytes);

  TimePoint Now() const { return clock_(); }
  // "YYYY-MM-DD HH:MM:SS", local time.
  static std::string FormatTime(TimePoint t);
  // A modification time for the workbook: now, but always later than its last one, so that
  // a client comparing times to the second sees every change.
  std::string NextModifiedTime(const Workbook& workbook) const;

  // --- seeding (ids are returned; they are unique across documents and workbooks); each of
  // these and the calls below locks the mutex itself
  void AddAccount(const std::string& email, const std::string& password);
  std::string AddDocument(const std::string& owner, const std::string& name, const std::string& html, double version);
  std::string AddWorkbook(const std::string& owner, const std::string& name, const std::string& bytes);
  // Stores a picture and returns its path ("/pictures/<id>.<type>").
  std::string AddPicture(const std::string& owner, const std::string& type, const std::string& bytes);
  // A signed-in ticket for the account, as a sign-in would give it.
  std::string SignIn(const std::string& email);
  void EndTicket(const std::string& ticket);  // the ticket has expired
  void EndAllTickets();

  // --- changes made "online" by someone else; false for an unknown id
  bool ChangeDocument(const std::string& id, const std::string& html);   // next version
  bool ChangeWorkbook(const std::string& id, const std::string& bytes);  // new lock and time
  bool Trash(const std::string& id, bool trashed);
  bool ShareReadOnly(const std::string& id, bool shared);
  bool MarkInUse(const std::string& id, const std::string& editor);  // "" frees it

  // --- inspection
  std::optional<Document> FindDocument(const std::string& id) const;
  std::optional<Workbook> FindWorkbook(const std::string& id) const;
  bool HoldsWorkbook(const std::string& id) const;  // without copying it
  std::vector<Document> Documents() const;
  std::vector<Workbook> Workbooks() const;
  std::vector<Picture> Pictures() const;
  bool TicketValid(const std::string& ticket) const;
  // The accounts' passwords and every ticket given so far (ended ones too).
  std::vector<std::string> Secrets() const;

 private:
  Clock clock_;
  std::mt19937_64 random_;
  long long nextId_ = 1001;
};

// ASCII letters in lower case (e-mail addresses, host names).
std::string LowerAscii(std::string_view s);

// The version after a save: one more. A negative version is an automatic save of version
// -v, so the save after it is -v + 1.
double NextVersion(double version);

// Text of a version as the answers carry it: "3", "-2", "2.5".
std::string FormatVersion(double version);

}  // namespace tavo::service
