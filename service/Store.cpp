#include "service/Store.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "service/Defaults.h"

namespace tavo::service {
namespace {

std::optional<TimePoint> ParseTime(const std::string& text) {
  std::tm tm{};
  std::istringstream in(text);
  in >> std::get_time(&tm, "%Y-%m-%d %H:%M:%S");
  if (in.fail()) return std::nullopt;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

}  // namespace

Store::Store(Clock clock) : clock_(std::move(clock)), random_(std::random_device{}()) {}

std::optional<std::string> Store::AccountOf(std::string_view ticket) const {
  const auto it = tickets.find(std::string(ticket));
  if (it == tickets.end()) return std::nullopt;
  return it->second;
}

std::string Store::TicketFor(const std::string& account) {
  const std::string key = LowerAscii(account);
  for (const auto& [ticket, owner] : tickets)
    if (owner == key) return ticket;
  std::string ticket = NewToken(32);
  tickets[ticket] = key;
  issuedTickets.insert(ticket);
  return ticket;
}

std::string Store::NewId() { return std::to_string(nextId_++); }

std::string Store::NewToken(size_t hexDigits) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string token;
  while (token.size() < hexDigits) {
    const auto value = random_();
    for (int shift = 0; shift < 64 && token.size() < hexDigits; shift += 4) token += kHex[(value >> shift) & 0xF];
  }
  return token;
}

std::string Store::UniqueNameUrl(const std::string& account, const std::string& name,
                                 const std::string& exceptId) const {
  std::string base = name;
  for (char& c : base)
    if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '_';
  const std::string owner = LowerAscii(account);
  auto taken = [&](const std::string& candidate) {
    const std::string lower = LowerAscii(candidate);
    // Compared letter by letter: lowering every stored name for every candidate made seeding
    // thousands of documents take seconds.
    auto same = [&lower](const std::string& nameUrl) {
      return nameUrl.size() == lower.size() &&
             std::equal(nameUrl.begin(), nameUrl.end(), lower.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
             });
    };
    for (const auto& [id, doc] : documents)
      if (id != exceptId && doc.owner == owner && same(doc.nameUrl)) return true;
    return false;
  };
  std::string candidate = base;
  for (int n = 2; taken(candidate); ++n) candidate = base + "_" + std::to_string(n);
  return candidate;
}

std::string Store::FormatTime(TimePoint t) {
  const std::time_t tt = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &tm);
  return buffer;
}

std::string Store::NextModifiedTime(const Workbook& workbook) const {
  TimePoint next = std::chrono::time_point_cast<std::chrono::seconds>(Now());
  if (const auto last = ParseTime(workbook.modifiedTime); last && next <= *last)
    next = *last + std::chrono::seconds(1);
  return FormatTime(next);
}

Document& Store::CreateDocument(const std::string& owner, const std::string& name, const std::string& html,
                                double version) {
  Document d;
  d.id = NewId();
  d.owner = LowerAscii(owner);
  d.name = name;
  d.nameUrl = UniqueNameUrl(d.owner, name);
  d.content = html;
  d.version = version;
  d.author = d.owner;
  d.createdOn = FormatTime(Now());
  return documents[d.id] = std::move(d);
}

Workbook& Store::CreateWorkbook(const std::string& owner, const std::string& name, std::string bytes) {
  Workbook wb;
  wb.id = NewId();
  wb.owner = LowerAscii(owner);
  wb.name = name;
  wb.modifiedBy = wb.owner;
  Revise(wb, std::move(bytes));
  wb.createdTime = wb.modifiedTime;
  return workbooks[wb.id] = std::move(wb);
}

void Store::Revise(Workbook& workbook, std::string bytes) {
  workbook.bytes = std::move(bytes);
  workbook.modifiedTime = NextModifiedTime(workbook);
  workbook.updateLock = NewToken(16);
}

// ---- seeding, changes and inspection, each under the lock

namespace {

template <class Item>
std::optional<Item> Find(const std::map<std::string, Item>& items, const std::string& id) {
  const auto it = items.find(id);
  if (it == items.end()) return std::nullopt;
  return it->second;
}

template <class Item>
std::vector<Item> All(const std::map<std::string, Item>& items) {
  std::vector<Item> all;
  for (const auto& [id, item] : items) all.push_back(item);
  return all;
}

// Sets a flag of the document or workbook with the id; false when there is neither.
template <class Set>
bool SetOnItem(std::map<std::string, Document>& documents, std::map<std::string, Workbook>& workbooks,
               const std::string& id, Set set) {
  if (auto it = documents.find(id); it != documents.end()) return set(it->second), true;
  if (auto it = workbooks.find(id); it != workbooks.end()) return set(it->second), true;
  return false;
}

}  // namespace

void Store::AddAccount(const std::string& email, const std::string& password) {
  std::lock_guard lock(mutex);
  passwords[LowerAscii(email)] = password;
}

std::string Store::AddDocument(const std::string& owner, const std::string& name, const std::string& html,
                               double version) {
  std::lock_guard lock(mutex);
  return CreateDocument(owner, name, html, version).id;
}

std::string Store::AddWorkbook(const std::string& owner, const std::string& name, const std::string& bytes) {
  std::lock_guard lock(mutex);
  return CreateWorkbook(owner, name, bytes).id;
}

std::string Store::AddPicture(const std::string& owner, const std::string& type, const std::string& bytes) {
  std::lock_guard lock(mutex);
  Picture p{NewId(), LowerAscii(owner), type, bytes};
  pictures[p.id] = p;
  return std::string(defaults::kPicturesPath) + p.id + "." + type;
}

std::string Store::SignIn(const std::string& email) {
  std::lock_guard lock(mutex);
  return TicketFor(email);
}

void Store::EndTicket(const std::string& ticket) {
  std::lock_guard lock(mutex);
  tickets.erase(ticket);
}

void Store::EndAllTickets() {
  std::lock_guard lock(mutex);
  tickets.clear();
}

bool Store::ChangeDocument(const std::string& id, const std::string& html) {
  std::lock_guard lock(mutex);
  const auto it = documents.find(id);
  if (it == documents.end()) return false;
  it->second.content = html;
  it->second.version = NextVersion(it->second.version);
  return true;
}

bool Store::ChangeWorkbook(const std::string& id, const std::string& bytes) {
  std::lock_guard lock(mutex);
  const auto it = workbooks.find(id);
  if (it == workbooks.end()) return false;
  Revise(it->second, bytes);
  return true;
}

bool Store::Trash(const std::string& id, bool trashed) {
  std::lock_guard lock(mutex);
  return SetOnItem(documents, workbooks, id, [trashed](auto& item) { item.trashed = trashed; });
}

bool Store::ShareReadOnly(const std::string& id, bool shared) {
  std::lock_guard lock(mutex);
  return SetOnItem(documents, workbooks, id, [shared](auto& item) { item.sharedReadOnly = shared; });
}

bool Store::MarkInUse(const std::string& id, const std::string& editor) {
  std::lock_guard lock(mutex);
  const auto it = workbooks.find(id);
  if (it == workbooks.end()) return false;
  it->second.inUseBy = editor;
  return true;
}

std::optional<Document> Store::FindDocument(const std::string& id) const {
  std::lock_guard lock(mutex);
  return Find(documents, id);
}

std::optional<Workbook> Store::FindWorkbook(const std::string& id) const {
  std::lock_guard lock(mutex);
  return Find(workbooks, id);
}

bool Store::HoldsWorkbook(const std::string& id) const {
  std::lock_guard lock(mutex);
  return workbooks.count(id) != 0;
}

std::vector<Document> Store::Documents() const {
  std::lock_guard lock(mutex);
  return All(documents);
}

std::vector<Workbook> Store::Workbooks() const {
  std::lock_guard lock(mutex);
  return All(workbooks);
}

std::vector<Picture> Store::Pictures() const {
  std::lock_guard lock(mutex);
  return All(pictures);
}

bool Store::TicketValid(const std::string& ticket) const {
  std::lock_guard lock(mutex);
  return tickets.count(ticket) != 0;
}

std::vector<std::string> Store::Secrets() const {
  std::lock_guard lock(mutex);
  std::vector<std::string> secrets;
  for (const auto& [account, password] : passwords) secrets.push_back(password);
  secrets.insert(secrets.end(), issuedTickets.begin(), issuedTickets.end());
  return secrets;
}

// ---- text helpers

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

double NextVersion(double version) { return std::floor(std::fabs(version)) + 1; }

std::string FormatVersion(double version) {
  std::ostringstream out;
  out << std::setprecision(15) << version;
  return out.str();
}

}  // namespace tavo::service
