#include "host/excel/ExcelApplication.h"

#include "host/common/PasswordHash.h"
#include "host/common/Prompts.h"
#include "host/common/WinPath.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace host::excel {
namespace files = platform::files;
using platform::Raise;
using platform::RuntimeError;

namespace {
[[noreturn]] void Fail(const std::string& description) { Raise(oe::err::Failed, description); }
}  // namespace

// ---- Workbooks ----

int ExcelWorkbooks::Count() const { return static_cast<int>(app_.workbooks_.size()); }

std::shared_ptr<ExcelWorkbook> ExcelWorkbooks::Add() {
  return app_.NewWorkbook("Book" + std::to_string(app_.nextNumber_++));
}

Ref<oe::Workbook> ExcelWorkbooks::Item(int index) {
  if (index < 1 || index > Count()) Raise(oe::err::SubscriptOutOfRange);
  return app_.workbooks_[index - 1];
}

Ref<oe::Workbook> ExcelWorkbooks::Item(std::string_view name) {
  for (const auto& b : app_.workbooks_)
    if (platform::text::EqualsText(b->name_, name)) return b;
  Raise(oe::err::SubscriptOutOfRange);
}

std::vector<Ref<oe::Workbook>> ExcelWorkbooks::List() { return {app_.workbooks_.begin(), app_.workbooks_.end()}; }

void ExcelWorkbooks::Close() {
  auto open = app_.workbooks_;
  for (auto& b : open) {
    b->Close();
    if (!b->closed()) return;  // the user cancelled: the rest stay open too
  }
}

Ref<oe::Workbook> ExcelWorkbooks::Open(const oe::OpenOptions& options) {
  const std::string path = NormalizeWindowsPath(options.filename);
  if (auto open = app_.FindOpen(path)) {
    app_.Activate(open);
    return open;
  }
  const std::string name = SplitPath(path).name;
  for (const auto& b : app_.workbooks_)
    if (platform::text::EqualsText(b->name_, name))
      Fail("A workbook named '" + name + "' is already open. Two workbooks of the same name cannot be open at once.");
  std::string bytes;
  try {
    bytes = files::ReadAllBytes(path);
  } catch (const RuntimeError&) {
    Fail("'" + path + "' could not be found. Check the spelling of the file name.");
  }
  files::FileLock lock;
  if (!files::TryLockExclusive(path, &lock)) Fail("'" + path + "' is locked for editing by another user.");
  auto file = ReadWorkbookFile(bytes);
  if (!file) Fail("The file format or file extension of '" + path + "' is not valid.");
  if (!file->passwordHash.empty()) {
    std::string password = options.password;
    if (password.empty()) {
      auto typed = CurrentPrompter().AskText("Password", "'" + name + "' is protected. Password:", true);
      if (!typed) Fail("The password prompt for '" + path + "' was cancelled.");
      password = *typed;
    }
    if (!PasswordMatches(file->passwordHash, password)) Fail("The password you supplied is not correct.");
  }
  auto book = app_.NewWorkbook(name);
  book->LoadFrom(path, std::move(*file), std::move(lock));
  return book;
}

// ---- Application ----

ExcelApplication::ExcelApplication() : bars_(ExcelBuiltInBars()) {}

std::shared_ptr<ExcelApplication> ExcelApplication::Create() {
  std::shared_ptr<ExcelApplication> app(new ExcelApplication());
  platform::office::RegisterActiveObject(oe::kClassName, Ref<platform::office::Application>(app));
  return app;
}

ExcelApplication::~ExcelApplication() {
  for (auto& b : workbooks_) b->Release();
  Revoke();
}

void ExcelApplication::Revoke() { platform::office::RevokeActiveObject(oe::kClassName, this); }

Ref<oe::Workbook> ExcelApplication::ActiveWorkbook() { return active_.lock(); }

Ref<oe::Worksheet> ExcelApplication::ActiveSheet() {
  auto book = active_.lock();
  return book ? Ref<oe::Worksheet>(book->activeSheet()) : nullptr;
}

Ref<oe::Window> ExcelApplication::ActiveWindow() {
  auto book = active_.lock();
  return book ? Ref<oe::Window>(book->window()) : nullptr;
}

std::shared_ptr<ExcelWorkbook> ExcelApplication::NewWorkbook(std::string name) {
  auto book = std::make_shared<ExcelWorkbook>(*this, std::move(name));
  workbooks_.push_back(book);
  active_ = book;
  return book;
}

std::shared_ptr<ExcelWorkbook> ExcelApplication::FindOpen(std::string_view fullName) const {
  for (const auto& b : workbooks_)
    if (!b->fullName_.empty() && platform::text::EqualsText(b->fullName_, fullName)) return b;
  return nullptr;
}

void ExcelApplication::Activate(const std::shared_ptr<ExcelWorkbook>& book) { active_ = book; }

void ExcelApplication::Remove(ExcelWorkbook* book) {
  std::erase_if(workbooks_, [book](const auto& b) { return b.get() == book; });
  if (active_.expired() || active_.lock().get() == book)
    active_ = workbooks_.empty() ? std::weak_ptr<ExcelWorkbook>() : workbooks_.back();
}

bool ExcelApplication::CloseAllWorkbooks(bool discardChanges) {
  if (discardChanges) {
    for (auto& b : std::vector(workbooks_)) b->Close({.saveChanges = false});
  } else {
    workbooksCollection_.Close();
  }
  return workbooks_.empty();
}

}  // namespace host::excel
