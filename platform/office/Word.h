#pragma once
// The members of the Word object model that the add-ins use. Optional arguments are option
// structs meant for designated initialisers:
//   app->Documents().Open({.fileName = path, .addToRecentFiles = false});
//   doc->SaveAs({.fileName = path, .fileFormat = word::format::Html});
//   app->Selection().MoveRight({.unit = word::unit::Character, .count = 1, .extend = 1});
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/office/Application.h"
#include "platform/office/Events.h"
#include "platform/office/Ref.h"

namespace platform::office::word {

inline constexpr std::string_view kClassName = "Word.Application";

namespace err {
inline constexpr long BadParameter = 4120;
inline constexpr long CommandFailed = 4198;     // also: the user cancelled a prompt
inline constexpr long NoDocumentOpen = 4248;
inline constexpr long FileNotFound = 5174;
inline constexpr long FileInUse = 5356;         // the file is open elsewhere (locked)
inline constexpr long WrongPassword = 5408;
inline constexpr long CannotSave = 5487;
inline constexpr long ObjectDeleted = 5825;     // a closed document
inline constexpr long NoSuchMember = 5941;      // an item of a collection that does not exist
inline constexpr long NotADocument = 5792;      // a file that is no document Word can read
}  // namespace err

namespace format {
inline constexpr int Document = 0;  // the container format
inline constexpr int Html = 8;
}  // namespace format

namespace save_changes {
inline constexpr int DoNotSave = 0;
inline constexpr int Save = -1;
inline constexpr int Prompt = -2;
}  // namespace save_changes

namespace unit {
inline constexpr int Character = 1;
inline constexpr int Line = 5;
inline constexpr int Story = 6;
}  // namespace unit

namespace collapse {
inline constexpr int End = 0;
inline constexpr int Start = 1;
}  // namespace collapse

namespace view_type {
inline constexpr int Normal = 1;
inline constexpr int PrintLayout = 3;
}  // namespace view_type

struct OpenOptions {
  std::string fileName{};
  bool addToRecentFiles = true;
  // "" (or omitted) on a protected file: Word asks the user for the password.
  std::string passwordDocument{};
};

struct AddOptions {
  bool visible = true;
};

struct SaveAsOptions {
  std::string fileName{};
  int fileFormat = format::Document;
  bool addToRecentFiles = true;
  // Omitted: the document keeps its open password; "": the saved file has none.
  std::optional<std::string> password{};
};

struct CloseOptions {
  int saveChanges = save_changes::Prompt;
};

struct MoveOptions {
  int unit = unit::Character;
  int count = 1;
  int extend = 0;  // 1: extend the selection
};

struct VerticalMoveOptions {
  int unit = unit::Line;
  int count = 1;
  int extend = 0;
};

struct DeleteOptions {
  int unit = unit::Character;
  int count = 1;
};

class View {
 public:
  virtual ~View();
  virtual int Type() const = 0;
  virtual void SetType(int type) = 0;
};

class Document;

class Window {
 public:
  virtual ~Window();
  virtual void Activate() = 0;
  virtual word::View& View() = 0;
  virtual Ref<word::Document> Document() = 0;
};

class Document {
 public:
  virtual ~Document();
  // A document never saved is "Document1" with Path "" and FullName "Document1".
  virtual std::string Name() const = 0;
  virtual std::string Path() const = 0;
  virtual std::string FullName() const = 0;
  virtual bool Saved() const = 0;
  virtual void SaveAs(const SaveAsOptions& options) = 0;
  virtual void Close(const CloseOptions& options = {}) = 0;
  virtual void Activate() = 0;
  virtual Ref<Window> ActiveWindow() = 0;
};

class Documents {
 public:
  virtual ~Documents();
  virtual int Count() const = 0;
  virtual Ref<Document> Open(const OpenOptions& options) = 0;
  virtual Ref<Document> Add(const AddOptions& options = {}) = 0;
  virtual Ref<Document> Item(int index) = 0;              // 1-based
  virtual Ref<Document> Item(std::string_view name) = 0;  // Name or FullName, ignoring case
  // The open documents, for iteration: for (auto& doc : app->Documents().List()) ...
  virtual std::vector<Ref<Document>> List() = 0;
};

// The selection of the active document; every member raises NoDocumentOpen without one.
class Selection {
 public:
  virtual ~Selection();
  virtual void WholeStory() = 0;
  virtual void Copy() = 0;
  virtual void Collapse(int direction = collapse::Start) = 0;
  virtual void Paste() = 0;
  virtual int MoveRight(const MoveOptions& options = {}) = 0;  // the number of units moved
  virtual int MoveLeft(const MoveOptions& options = {}) = 0;
  virtual int MoveUp(const VerticalMoveOptions& options = {}) = 0;
  virtual int MoveDown(const VerticalMoveOptions& options = {}) = 0;
  virtual int Delete(const DeleteOptions& options = {}) = 0;  // the number of units deleted
  virtual void TypeText(std::string_view text) = 0;
  virtual std::string Text() const = 0;  // paragraph marks as "\r"
};

class Template {
 public:
  virtual ~Template();
  virtual bool Saved() const = 0;
  virtual void SetSaved(bool saved) = 0;
};

class Application : public office::Application {
 public:
  ~Application() override;
  virtual word::Documents& Documents() = 0;
  virtual Ref<word::Document> ActiveDocument() = 0;  // NoDocumentOpen when none is open
  virtual Ref<word::Window> ActiveWindow() = 0;      // NoDocumentOpen when none is open
  virtual word::Selection& Selection() = 0;
  virtual bool ScreenUpdating() const = 0;
  virtual void SetScreenUpdating(bool on) = 0;
  virtual Template& NormalTemplate() = 0;
  // Raised when Word quits, after its documents were closed and before the add-ins are
  // disconnected.
  virtual EventConnection ConnectQuit(std::function<void()> handler) = 0;
};

// The running Word ("Word.Application"); run-time error 429 when none runs.
Ref<Application> RunningApplication();

}  // namespace platform::office::word
