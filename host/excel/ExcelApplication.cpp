#include "host/excel/ExcelApplication.h"

#include "host/prompts/Notices.h"
#include "host/prompts/Prompts.h"
#include "host/files/WinPath.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace host::excel {
namespace files = platform::files;
using platform::Raise;
using platform::RuntimeError;

void Fail(const std::string& description) { Raise(oe::err::Failed, description); }

// ---- Workbooks ----

int ExcelWorkbooks::Count() const { return static_cast<int>(app_.open_.items().size()); }

std::shared_ptr<ExcelWorkbook> ExcelWorkbooks::Add() {
  return app_.NewWorkbook("Book" + std::to_string(app_.nextNumber_++));
}

Ref<oe::Workbook> ExcelWorkbooks::Item(int index) {
  if (index < 1 || index > Count()) Raise(oe::err::SubscriptOutOfRange);
  return app_.open_.items()[index - 1];
}

Ref<oe::Workbook> ExcelWorkbooks::Item(std::string_view name) {
  for (const auto& b : app_.open_.items())
    if (platform::text::EqualsText(b->name_, name)) return b;
  Raise(oe::err::SubscriptOutOfRange);
}

std::vector<Ref<oe::Workbook>> ExcelWorkbooks::List() { return {app_.open_.items().begin(), app_.open_.items().end()}; }

void ExcelWorkbooks::Close() {
  auto open = app_.open_.items();
  for (auto& b : open) {
    b->Close();
    if (!b->closed()) return;  // the user cancelled: the rest stay open too
  }
}

Ref<oe::Workbook> ExcelWorkbooks::Open(const oe::OpenOptions& options) {
  const std::string path = NormalizeWindowsPath(options.filename);
  if (auto open = app_.open_.Find(path)) {
    app_.open_.Activate(open);
    return open;
  }
  const std::string name = SplitPath(path).name;
  for (const auto& b : app_.open_.items())
    if (platform::text::EqualsText(b->name_, name))
      Fail("A workbook named '" + name + "' is already open. Two workbooks of the same name cannot be open at once.");
  std::string bytes;
  try {
    bytes = files::ReadAllBytes(path);
  } catch (const RuntimeError&) {
    Fail("'" + path + "' could not be found. Check the spelling of the file name.");
  }
  files::FileLock lock;
  if (!files::TryLockExclusive(path, &lock)) {
    NoticeFileInUse("Excel", "open", path);
    Fail("'" + path + "' is locked for editing by another user.");
  }
  auto file = ReadWorkbookFile(bytes);
  if (!file) Fail("The file format or file extension of '" + path + "' is not valid.");
  switch (CheckOpenPassword(file->passwordHash, options.password, "'" + name + "' is protected. Password:")) {
    case PasswordCheck::Accepted: break;
    case PasswordCheck::Cancelled: Fail("The password prompt for '" + path + "' was cancelled.");
    case PasswordCheck::Refused: Fail("The password you supplied is not correct.");
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
  for (auto& b : open_.items()) b->Release();
  Revoke();
}

void ExcelApplication::Revoke() { platform::office::RevokeActiveObject(oe::kClassName, this); }

Ref<oe::Workbook> ExcelApplication::ActiveWorkbook() { return open_.active(); }

Ref<oe::Worksheet> ExcelApplication::ActiveSheet() {
  auto book = open_.active();
  return book ? Ref<oe::Worksheet>(book->activeSheet()) : nullptr;
}

Ref<oe::Window> ExcelApplication::ActiveWindow() {
  auto book = open_.active();
  return book ? Ref<oe::Window>(book->window()) : nullptr;
}

std::shared_ptr<ExcelWorkbook> ExcelApplication::NewWorkbook(std::string name) {
  auto book = std::make_shared<ExcelWorkbook>(*this, std::move(name));
  open_.Add(book);
  return book;
}

bool ExcelApplication::CloseAllWorkbooks(bool discardChanges) {
  if (discardChanges) {
    for (auto& b : std::vector(open_.items())) b->Close({.saveChanges = false});
  } else {
    workbooksCollection_.Close();
  }
  return open_.items().empty();
}

}  // namespace host::excel
