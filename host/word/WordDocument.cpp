#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <system_error>

#include "host/files/PasswordHash.h"
#include "host/prompts/Notices.h"
#include "host/prompts/Prompts.h"
#include "host/files/UserPaths.h"
#include "host/files/WinPath.h"
#include "host/word/DocumentFile.h"
#include "host/word/Html.h"
#include "host/word/WordApplication.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/environment/Environment.h"

namespace host::word {
namespace files = platform::files;
using platform::Raise;
using platform::RuntimeError;

namespace {
constexpr int kTextFormat = 2;  // plain text, for files that are neither documents nor HTML

std::string CRLF(std::string text) { return platform::text::Replace(text, "\r", "\r\n"); }

// Whether the host path lies in the folder or below it, symbolic links and ".." resolved.
bool InsideFolder(const std::filesystem::path& folder, const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::weakly_canonical(folder, ec);
  if (ec) return false;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
  if (ec) return false;
  const auto end = std::mismatch(base.begin(), base.end(), resolved.begin(), resolved.end()).first;
  return end == base.end() || (std::next(end) == base.end() && end->empty());
}

// The bytes of a picture of a page opened from `folder`. As a browser does for a page opened
// from disk, only pictures in the page's own folder or below it are read: a page may name any
// file, and a picture read into the document goes with it wherever it is saved or sent.
std::optional<std::string> ReadPictureOfPage(const std::string& folder, std::string_view src) {
  std::string relative(src);
  if (platform::text::StartsWith(platform::text::LCase(relative), "file:///")) relative = relative.substr(8);
  std::string picture = NormalizeWindowsPath(relative);
  if (picture.size() < 2 || picture[1] != ':') {
    if (platform::text::StartsWith(picture, ".\\")) picture = picture.substr(2);
    picture = JoinPath(folder, picture);
  }
  try {
    if (!InsideFolder(platform::environment::HostPath(folder), platform::environment::HostPath(picture)))
      return std::nullopt;
    return files::ReadAllBytes(picture);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}
}  // namespace

void WordView::SetType(int type) {
  if (type < 1 || type > 7) Raise(ow::err::BadParameter, "Bad parameter");
  type_ = type;
}

WordDocument& WordWindow::Checked() const {
  if (!document_) Raise(ow::err::ObjectDeleted, "The object has been deleted.");
  return *document_;
}
void WordWindow::Activate() { Checked().Activate(); }
ow::View& WordWindow::View() {
  Checked();
  return view_;
}
Ref<ow::Document> WordWindow::Document() { return Ref<ow::Document>(Checked().shared_from_this()); }

WordDocument::WordDocument(WordApplication& app, std::string name)
    : app_(app), name_(std::move(name)), window_(std::make_shared<WordWindow>(*this)) {}

WordDocument::~WordDocument() { window_->Detach(); }

void WordDocument::Check() const {
  if (closed_) Raise(ow::err::ObjectDeleted, "The object has been deleted.");
}

std::string WordDocument::Name() const {
  Check();
  return name_;
}
std::string WordDocument::Path() const {
  Check();
  return fullName_.empty() ? std::string() : SplitPath(fullName_).folder;
}
std::string WordDocument::FullName() const {
  Check();
  return fullName_.empty() ? name_ : fullName_;
}
bool WordDocument::Saved() const {
  Check();
  return saved_;
}

void WordDocument::Activate() {
  Check();
  app_.open_.Activate(shared_from_this());
}

Ref<ow::Window> WordDocument::ActiveWindow() {
  Check();
  return Ref<ow::Window>(window_);
}

void WordDocument::LoadFrom(const std::string& fullName, Items items, std::string passwordHash, int format,
                            files::FileLock lock) {
  fullName_ = fullName;
  name_ = SplitPath(fullName).name;
  items_ = std::move(items);
  passwordHash_ = std::move(passwordHash);
  format_ = format;
  lock_ = std::move(lock);
  anchor_ = active_ = 0;
  saved_ = true;
}

void WordDocument::WriteTo(const std::string& fullName, int format) {
  const PathParts parts = SplitPath(fullName);
  std::string bytes;
  HtmlExport html;
  if (format == ow::format::Document) {
    bytes = WriteDocumentFile({passwordHash_, items_});
  } else if (format == ow::format::Html) {
    html = ExportHtml(items_, StemOf(parts.name));
    bytes = html.html;
    // Each picture's file goes into the pictures folder and nowhere else.
    for (const auto& file : html.files)
      if (file.first.find_first_of("\\/:") != std::string::npos || file.first == "." || file.first == "..")
        Raise(ow::err::CannotSave,
              "The document cannot be saved: a picture's file would lie outside its folder.\n(" + fullName + ")");
  } else if (format == kTextFormat) {
    bytes = CRLF(TextOfItems(items_, 0, items_.size()));
  } else {
    Raise(ow::err::BadParameter, "Bad parameter: file format " + std::to_string(format));
  }

  const bool same = !fullName_.empty() && platform::text::EqualsText(fullName, fullName_);
  if (!same) {
    if (app_.open_.Find(fullName)) Raise(ow::err::FileInUse, "The file is open in another window.\n(" + fullName + ")");
    files::FileLock probe;
    if (files::FileExists(fullName) && !files::TryLockExclusive(fullName, &probe)) {
      NoticeFileInUse("Word", "save", fullName);
      Raise(ow::err::FileInUse, "The file is in use by another application or user.\n(" + fullName + ")");
    }
  }
  if (parts.folder.empty() || !files::FolderExists(parts.folder))
    Raise(ow::err::CannotSave, "The document cannot be saved: the folder does not exist.\n(" + fullName + ")");

  // Our own lock would stand in the way of replacing our own file.
  if (same) lock_.Release();
  try {
    files::WriteAllBytes(fullName, bytes);
    if (!html.files.empty()) {
      std::string folder = JoinPath(parts.folder, StemOf(parts.name) + "_files");
      if (!files::FolderExists(folder)) files::CreateFolder(folder);
      for (const auto& [name, data] : html.files) files::WriteAllBytes(JoinPath(folder, name), data);
    }
  } catch (const RuntimeError& e) {
    if (same) files::TryLockExclusive(fullName_, &lock_);
    Raise(ow::err::CannotSave, "The document cannot be saved: " + e.description() + "\n(" + fullName + ")");
  }
  lock_ = files::LockExclusive(fullName);
  fullName_ = fullName;
  name_ = parts.name;
  format_ = format;
  saved_ = true;
}

void WordDocument::SaveAs(const ow::SaveAsOptions& options) {
  Check();
  if (options.password) passwordHash_ = options.password->empty() ? std::string() : HashPassword(*options.password);
  WriteTo(NormalizeWindowsPath(options.fileName), options.fileFormat);
}

void WordDocument::Save() {
  Check();
  if (fullName_.empty()) {
    auto name = CurrentPrompter().AskText("Save As", "File name for " + name_ + ":", false);
    if (!name || name->empty()) Raise(ow::err::CommandFailed, "Command failed");
    SaveAs({.fileName = UserFilePath(*name)});
    return;
  }
  WriteTo(fullName_, format_);
}

void WordDocument::Close(const ow::CloseOptions& options) {
  Check();
  int mode = options.saveChanges;
  if (mode == ow::save_changes::Prompt) {
    mode = ow::save_changes::DoNotSave;
    if (!saved_) {
      switch (CurrentPrompter().AskYesNoCancel("Word", "Do you want to save the changes you made to " + name_ + "?")) {
        case Answer::Yes: mode = ow::save_changes::Save; break;
        case Answer::No: break;
        case Answer::Cancel: Raise(ow::err::CommandFailed, "Command failed");
      }
    }
  }
  if (mode == ow::save_changes::Save && !saved_) Save();
  auto self = shared_from_this();
  Release();
  app_.open_.Remove(this);
}

void WordDocument::Release() {
  closed_ = true;
  lock_.Release();
  window_->Detach();
}

void WordDocument::Select(size_t anchor, size_t active) {
  const size_t len = items_.size();
  anchor_ = std::min(anchor, len);
  active_ = std::min(active, len);
}

void WordDocument::ReplaceSelection(const Items& items) {
  const size_t start = selectionStart();
  items_.erase(items_.begin() + start, items_.begin() + selectionEnd());
  items_.insert(items_.begin() + start, items.begin(), items.end());
  if (items_.empty() || items_.back().kind != Item::Kind::ParagraphMark) items_.push_back(Item::Mark());
  anchor_ = active_ = std::min(start + items.size(), items_.size() - 1);
  saved_ = false;
}

void WordDocument::RemoveRange(size_t begin, size_t end) {
  end = std::min(end, items_.size());
  if (begin >= end) return;
  items_.erase(items_.begin() + begin, items_.begin() + end);
  if (items_.empty() || items_.back().kind != Item::Kind::ParagraphMark) items_.push_back(Item::Mark());
  anchor_ = active_ = std::min(begin, items_.size() - 1);
  saved_ = false;
}

void WordDocument::InsertPicture(std::string_view windowsPath) {
  Check();
  std::string path = NormalizeWindowsPath(windowsPath);
  std::string bytes;
  try {
    bytes = files::ReadAllBytes(path);
  } catch (const RuntimeError&) {
    Raise(ow::err::FileNotFound, "This file could not be found.\n(" + path + ")");
  }
  auto picture = PictureFromFile(ExtensionOf(SplitPath(path).name), std::move(bytes));
  if (!picture) Raise(ow::err::BadParameter, "This is not a picture Word can insert.\n(" + path + ")");
  ReplaceSelection({Item::Pic(std::move(picture))});
}

// ---- the collection ----

int WordDocuments::Count() const { return static_cast<int>(app_.open_.items().size()); }

Ref<ow::Document> WordDocuments::Add(const ow::AddOptions&) {
  auto document = app_.NewDocument("Document" + std::to_string(app_.nextNumber_++));
  return document;
}

Ref<ow::Document> WordDocuments::Item(int index) {
  if (index < 1 || index > Count()) Raise(ow::err::NoSuchMember, "The requested member of the collection does not exist.");
  return app_.open_.items()[index - 1];
}

Ref<ow::Document> WordDocuments::Item(std::string_view name) {
  for (const auto& d : app_.open_.items())
    if (platform::text::EqualsText(d->Name(), name) || platform::text::EqualsText(d->FullName(), name)) return d;
  Raise(ow::err::NoSuchMember, "The requested member of the collection does not exist.");
}

std::vector<Ref<ow::Document>> WordDocuments::List() {
  return {app_.open_.items().begin(), app_.open_.items().end()};
}

Ref<ow::Document> WordDocuments::Open(const ow::OpenOptions& options) {
  const std::string path = NormalizeWindowsPath(options.fileName);
  if (auto open = app_.open_.Find(path)) {
    app_.open_.Activate(open);
    return open;
  }
  std::string bytes;
  try {
    bytes = files::ReadAllBytes(path);
  } catch (const RuntimeError&) {
    Raise(ow::err::FileNotFound, "This file could not be found.\n(" + path + ")");
  }
  files::FileLock lock;
  if (!files::TryLockExclusive(path, &lock)) {
    NoticeFileInUse("Word", "open", path);
    Raise(ow::err::FileInUse, "The file is in use by another application or user.\n(" + path + ")");
  }

  const PathParts parts = SplitPath(path);
  const std::string extension = platform::text::LCase(ExtensionOf(parts.name));
  Items items;
  std::string passwordHash;
  int format = ow::format::Document;
  if (LooksLikeDocumentFile(bytes)) {
    auto file = ReadDocumentFile(bytes);
    if (!file) Raise(ow::err::NotADocument, "The file is damaged and cannot be opened.\n(" + path + ")");
    switch (CheckOpenPassword(file->passwordHash, options.passwordDocument, "Enter password to open file\n" + path)) {
      case PasswordCheck::Accepted: break;
      case PasswordCheck::Cancelled: Raise(ow::err::CommandFailed, "The password prompt was cancelled.");
      case PasswordCheck::Refused:
        Raise(ow::err::WrongPassword, "The password is incorrect. Word cannot open the document.\n(" + path + ")");
    }
    items = std::move(file->items);
    passwordHash = std::move(file->passwordHash);
  } else if (extension == "htm" || extension == "html" ||
             platform::text::LTrim(bytes.substr(0, 64)).starts_with("<")) {
    const std::string folder = parts.folder;
    items = ImportHtml(bytes, [&folder](std::string_view src) { return ReadPictureOfPage(folder, src); });
    format = ow::format::Html;
  } else if (bytes.find('\0') == std::string::npos) {
    items = ItemsOfText(bytes);
    if (items.empty() || items.back().kind != Item::Kind::ParagraphMark) items.push_back(Item::Mark());
    format = kTextFormat;
  } else {
    Raise(ow::err::NotADocument, "The file is not a document Word can read.\n(" + path + ")");
  }
  auto document = app_.NewDocument(parts.name);
  document->LoadFrom(path, std::move(items), std::move(passwordHash), format, std::move(lock));
  return document;
}

}  // namespace host::word
