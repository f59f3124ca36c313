#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "host/files/PasswordHash.h"
#include "host/prompts/Notices.h"
#include "host/prompts/Prompts.h"
#include "host/files/UserPaths.h"
#include "host/files/WinPath.h"
#include "host/excel/ExcelApplication.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace host::excel {
namespace files = platform::files;
using platform::Raise;
using platform::RuntimeError;

namespace {

// Where each write of a workbook file appends how long it took, in microseconds, one a line:
// the file named by TAVO_EXCEL_WRITE_TIMES, when set. Benchmarks tell the host's own file writes
// from the time of the add-in that asks for them with it.
class WriteTimer {
 public:
  WriteTimer() : start_(std::chrono::steady_clock::now()) {}
  ~WriteTimer() {
    static const char* const log = std::getenv("TAVO_EXCEL_WRITE_TIMES");
    if (!log || !*log) return;
    const auto taken = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
    if (std::FILE* f = std::fopen(log, "a")) {
      std::fprintf(f, "%lld\n", static_cast<long long>(taken.count()));
      std::fclose(f);
    }
  }
  WriteTimer(const WriteTimer&) = delete;
  WriteTimer& operator=(const WriteTimer&) = delete;

 private:
  std::chrono::steady_clock::time_point start_;
};

}  // namespace

std::string ExcelWorksheet::Name() const {
  Checked();
  return data_.name;
}

void ExcelWorksheet::Activate() {
  Checked().ActivateSheet(this);
  Checked().Activate();
}

ExcelWorkbook& ExcelWorksheet::Checked() const {
  if (!book_) Raise(platform::err::Automation, "Automation error: the sheet belongs to a closed workbook");
  return *book_;
}

void ExcelWindow::SetView(int view) {
  if (view < oe::window_view::Normal || view > oe::window_view::PageLayout) Fail("Unable to set the View property");
  view_ = view;
}

ExcelWorkbook::ExcelWorkbook(ExcelApplication& app, std::string name) : app_(app), name_(std::move(name)) {
  sheets_.push_back(std::make_shared<ExcelWorksheet>(*this, "Sheet1"));
}

ExcelWorkbook::~ExcelWorkbook() {
  for (auto& s : sheets_) s->Detach();
}

void ExcelWorkbook::Check() const {
  if (closed_) Raise(platform::err::Automation, "Automation error: the workbook has been closed");
}

std::string ExcelWorkbook::Name() const {
  Check();
  return name_;
}
std::string ExcelWorkbook::Path() const {
  Check();
  return fullName_.empty() ? std::string() : SplitPath(fullName_).folder;
}
std::string ExcelWorkbook::FullName() const {
  Check();
  return fullName_.empty() ? name_ : fullName_;
}
bool ExcelWorkbook::Saved() const {
  Check();
  return saved_;
}

void ExcelWorkbook::Activate() {
  Check();
  app_.open_.Activate(shared_from_this());
}

void ExcelWorkbook::ActivateSheet(const ExcelWorksheet* sheet) {
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i].get() == sheet) activeSheet_ = i;
}

std::pair<ExcelWorksheet*, CellPosition> ExcelWorkbook::Locate(std::string_view ref) const {
  ExcelWorksheet* sheet = sheets_[activeSheet_].get();
  if (auto bang = ref.find('!'); bang != std::string_view::npos) {
    sheet = nullptr;
    for (const auto& s : sheets_)
      if (platform::text::EqualsText(s->data().name, ref.substr(0, bang))) sheet = s.get();
    if (!sheet) Raise(oe::err::SubscriptOutOfRange, "Subscript out of range: no sheet " + std::string(ref.substr(0, bang)));
    ref = ref.substr(bang + 1);
  }
  auto position = ParseCellRef(ref);
  if (!position) Fail("Not a cell reference: " + std::string(ref));
  return {sheet, *position};
}

void ExcelWorkbook::SetCell(std::string_view ref, std::string value) {
  Check();
  auto [sheet, position] = Locate(ref);
  if (value.empty()) sheet->data().cells.erase(position);
  else sheet->data().cells[position] = std::move(value);
  saved_ = false;
}

std::string ExcelWorkbook::Cell(std::string_view ref) const {
  Check();
  auto [sheet, position] = Locate(ref);
  auto it = sheet->data().cells.find(position);
  return it == sheet->data().cells.end() ? std::string() : it->second;
}

void ExcelWorkbook::LoadFrom(const std::string& fullName, WorkbookFile file, files::FileLock lock) {
  fullName_ = fullName;
  name_ = SplitPath(fullName).name;
  passwordHash_ = std::move(file.passwordHash);
  for (auto& s : sheets_) s->Detach();
  sheets_.clear();
  for (auto& data : file.sheets) {
    auto sheet = std::make_shared<ExcelWorksheet>(*this, "");
    sheet->data() = std::move(data);
    sheets_.push_back(sheet);
  }
  if (sheets_.empty()) sheets_.push_back(std::make_shared<ExcelWorksheet>(*this, "Sheet1"));
  activeSheet_ = 0;
  lock_ = std::move(lock);
  saved_ = true;
}

void ExcelWorkbook::WriteTo(const std::string& fullName) {
  const WriteTimer timer;
  std::vector<const SheetData*> sheets;
  for (const auto& s : sheets_) sheets.push_back(&s->data());
  const PathParts parts = SplitPath(fullName);
  if (parts.folder.empty() || !files::FolderExists(parts.folder)) Fail("'" + fullName + "' cannot be saved: the folder does not exist.");
  const bool same = !fullName_.empty() && platform::text::EqualsText(fullName, fullName_);
  if (same) lock_.Release();  // our own lock would stand in the way of replacing our own file
  try {
    // Made and written a piece at a time: the file is never built whole in memory. It replaces
    // the old one only once all of it is written and synced.
    files::AtomicFileWriter file(fullName);
    WriteWorkbookFile(passwordHash_, sheets, [&](std::string_view piece) { file.Write(piece); });
    file.Commit();
  } catch (const RuntimeError& e) {
    if (same) files::TryLockExclusive(fullName_, &lock_);
    Fail("Cannot access '" + fullName + "': " + e.description());
  }
  lock_ = files::LockExclusive(fullName);
  fullName_ = fullName;
  name_ = parts.name;
  saved_ = true;
}

void ExcelWorkbook::Save() {
  Check();
  if (fullName_.empty()) {
    auto name = CurrentPrompter().AskText("Save As", "File name for " + name_ + ":", false);
    if (!name || name->empty()) Fail("The workbook was not saved.");
    SaveAs({.filename = UserFilePath(*name)});
    return;
  }
  WriteTo(fullName_);
}

void ExcelWorkbook::SaveAs(const oe::SaveAsOptions& options) {
  Check();
  if (options.accessMode < oe::access_mode::NoChange || options.accessMode > oe::access_mode::Exclusive)
    Fail("SaveAs failed: access mode " + std::to_string(options.accessMode) + " is not valid.");
  const std::string path = NormalizeWindowsPath(options.filename);
  const bool same = !fullName_.empty() && platform::text::EqualsText(path, fullName_);
  if (!same) {
    if (auto other = app_.open_.Find(path))
      Fail("Cannot save '" + path + "' with the same name as another open workbook.");
    files::FileLock probe;
    if (files::FileExists(path) && !files::TryLockExclusive(path, &probe)) {
      NoticeFileInUse("Excel", "save", path);
      Fail("Cannot access '" + path + "'.");
    }
  }
  if (files::FileExists(path) && app_.DisplayAlerts()) {
    auto answer = CurrentPrompter().AskYesNoCancel(
        "Excel", "A file named '" + path + "' already exists in this location. Do you want to replace it?");
    if (answer != Answer::Yes) Fail("The workbook was not saved: replacing '" + path + "' was declined.");
  }
  std::string previousHash = passwordHash_;
  if (options.password) passwordHash_ = options.password->empty() ? std::string() : HashPassword(*options.password);
  try {
    WriteTo(path);
  } catch (...) {
    passwordHash_ = previousHash;
    throw;
  }
}

void ExcelWorkbook::Close(const oe::CloseOptions& options) {
  Check();
  bool save = options.saveChanges.value_or(false);
  if (!options.saveChanges && !saved_ && app_.DisplayAlerts()) {
    switch (CurrentPrompter().AskYesNoCancel("Excel", "Do you want to save the changes you made to '" + name_ + "'?")) {
      case Answer::Yes: save = true; break;
      case Answer::No: break;
      case Answer::Cancel: return;  // the workbook stays open
    }
  }
  if (save && !saved_) Save();
  auto self = shared_from_this();
  Release();
  app_.open_.Remove(this);
}

void ExcelWorkbook::Release() {
  closed_ = true;
  lock_.Release();
}

}  // namespace host::excel
