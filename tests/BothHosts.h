#pragma once
// Word and Excel as two tavo-office processes on one environment root, each with its add-in
// registered as its installer does, against the stand-in service (here in the test process, so
// that a test can see what reached it and change workbooks "online"): the account, the paths of
// Excel's files, and the steps the tests of both hosts share.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/files/Files.h"
#include "platform/registry/Registry.h"
#include "platform/xml/XmlDocument.h"
#include "service/Seed.h"
#include "tests/EndToEnd.h"

namespace tavo::test {
namespace both_hosts {

namespace reg = platform::registry;
namespace files = platform::files;
using std::string;

constexpr const char* kSheetKey = "Software\\tavo\\tavo sheet Excel Plugin\\reg";
inline const string kUserDocs = string("C:\\Users\\tavo\\Documents\\tavo\\tavosheet\\users\\") + kUser + "\\";
inline const string kMapFile = string("C:\\Users\\tavo\\AppData\\Roaming\\tavo\\tavosheet\\users\\") + kUser + "\\maptavoexcel.xml";

inline string Workbook(const string& a1) { return service::WorkbookFile({{"Sheet1", {{"A1", a1}}}}); }

// Cell A1 of a workbook's bytes, as the workbook file writes it.
inline string FirstCell(const string& bytes) {
  const size_t at = bytes.find("\nA1: ");
  return at == string::npos ? string() : bytes.substr(at + 5, bytes.find('\n', at + 5) - at - 5);
}

// Whether the workbook file at the Windows path has an open password.
inline bool Protected(const string& path) {
  const string bytes = files::ReadAllBytes(path);
  return bytes.find("\nopen-password: \n") == string::npos && bytes.find("\nopen-password: ") != string::npos;
}

struct Record {
  string id, filename, name;
};
inline std::vector<Record> MapRecords() {
  platform::xml::Document map;
  if (!map.load(kMapFile)) return {};
  std::vector<Record> records;
  for (const auto& r : map.documentElement().childNodes())
    records.push_back({r.getAttribute("id"), r.getAttribute("filename"), r.selectSingleNode("book_name").text()});
  return records;
}

class BothHosts : public EndToEndTest {
 protected:
  // Signs in through the host's Login and its sign-in dialog; the screen after the sign-in.
  string SignIn(HostProcess& host) {
    host.Send("click &Login");
    host.Send(string("type tavoemailid ") + kUser);
    host.Send(string("type tavopassword ") + kPassword);
    return host.Send("click Command1");
  }
  // Word signed in, for the tests of Excel that run beside it.
  std::unique_ptr<HostProcess> SignedInWord() {
    auto word = Start("word");
    EXPECT_TRUE(Has(SignIn(*word), "&Login (disabled)"));
    return word;
  }
  // Whether Excel keeps local copies (its settings key; nothing stored means it does not).
  void KeepLocalCopies(bool keep) {
    reg::WriteValue(reg::HKEY_CURRENT_USER, kSheetKey, "tavosavelocal", reg::StringValue(keep ? "1" : "0"));
  }
  size_t Calls(const string& method) const { return CallsOf(*server_, "tavosheet.userView." + method).size(); }
};

}  // namespace both_hosts
}  // namespace tavo::test
