#pragma once
// The emulated Word: documents held in memory as stories, saved as document files or HTML,
// each open document holding an exclusive lock on its file; the selection operations on the
// active document; the command bars; the status bar; the Quit event.
#include <memory>
#include <string>
#include <vector>

#include "host/commandbars/CommandBarSet.h"
#include "host/files/OpenList.h"
#include "host/word/Story.h"
#include "platform/files/Files.h"
#include "platform/office/Word.h"

namespace host::word {

namespace ow = platform::office::word;
using platform::office::Ref;

class WordApplication;
class WordDocument;

// The clipboard format of a copied story (the Story.h serialisation).
inline constexpr std::string_view kStoryFormat = "Tavo Word Story";

class WordView final : public ow::View {
 public:
  int Type() const override { return type_; }
  void SetType(int type) override;

 private:
  int type_ = ow::view_type::PrintLayout;
};

class WordWindow final : public ow::Window {
 public:
  explicit WordWindow(WordDocument& document) : document_(&document) {}
  void Activate() override;
  ow::View& View() override;
  Ref<ow::Document> Document() override;
  void Detach() { document_ = nullptr; }

 private:
  WordDocument& Checked() const;
  WordDocument* document_;
  WordView view_;
};

class WordDocument final : public ow::Document, public std::enable_shared_from_this<WordDocument> {
 public:
  WordDocument(WordApplication& app, std::string name);
  ~WordDocument() override;

  std::string Name() const override;
  std::string Path() const override;
  std::string FullName() const override;
  bool Saved() const override;
  void SaveAs(const ow::SaveAsOptions& options) override;
  void Close(const ow::CloseOptions& options = {}) override;
  void Activate() override;
  Ref<ow::Window> ActiveWindow() override;

  // Saves under the document's own file and format ("save" of the user); a document never saved
  // asks for a file name.
  void Save();
  bool closed() const { return closed_; }
  bool protectedByPassword() const { return !passwordHash_.empty(); }
  const std::string& fileName() const { return fullName_; }

  // The story and its selection (anchor and active end, as positions).
  const Items& items() const { return items_; }
  size_t anchor() const { return anchor_; }
  size_t active() const { return active_; }
  size_t selectionStart() const { return std::min(anchor_, active_); }
  size_t selectionEnd() const { return std::max(anchor_, active_); }
  void Select(size_t anchor, size_t active);
  // Replaces the selection by `items`; the insertion point ends after them.
  void ReplaceSelection(const Items& items);
  // Removes [begin, end); the final paragraph mark stays (removing the last mark of the story
  // makes the mark before it the final one).
  void RemoveRange(size_t begin, size_t end);
  void InsertPicture(std::string_view windowsPath);

 private:
  friend class WordApplication;
  friend class WordDocuments;
  void Check() const;
  void LoadFrom(const std::string& fullName, Items items, std::string passwordHash, int format,
                platform::files::FileLock lock);
  void WriteTo(const std::string& fullName, int format);
  void Release();

  WordApplication& app_;
  std::string name_;
  std::string fullName_;  // "" while never saved
  int format_ = ow::format::Document;
  std::string passwordHash_;
  Items items_{Item::Mark()};
  size_t anchor_ = 0, active_ = 0;
  bool saved_ = true;
  bool closed_ = false;
  platform::files::FileLock lock_;
  std::shared_ptr<WordWindow> window_;
};

class WordDocuments final : public ow::Documents {
 public:
  explicit WordDocuments(WordApplication& app) : app_(app) {}
  int Count() const override;
  Ref<ow::Document> Open(const ow::OpenOptions& options) override;
  Ref<ow::Document> Add(const ow::AddOptions& options = {}) override;
  Ref<ow::Document> Item(int index) override;
  Ref<ow::Document> Item(std::string_view name) override;
  std::vector<Ref<ow::Document>> List() override;

 private:
  WordApplication& app_;
};

class WordSelection final : public ow::Selection {
 public:
  explicit WordSelection(WordApplication& app) : app_(app) {}
  void WholeStory() override;
  void Copy() override;
  void Collapse(int direction = ow::collapse::Start) override;
  void Paste() override;
  int MoveRight(const ow::MoveOptions& options = {}) override;
  int MoveLeft(const ow::MoveOptions& options = {}) override;
  int MoveUp(const ow::VerticalMoveOptions& options = {}) override;
  int MoveDown(const ow::VerticalMoveOptions& options = {}) override;
  int Delete(const ow::DeleteOptions& options = {}) override;
  void TypeText(std::string_view text) override;
  std::string Text() const override;

 private:
  int MoveHorizontally(int delta, const ow::MoveOptions& options);
  int MoveVertically(int delta, const ow::VerticalMoveOptions& options);
  WordDocument& Document() const;
  WordApplication& app_;
};

class WordTemplate final : public ow::Template {
 public:
  bool Saved() const override { return saved_; }
  void SetSaved(bool saved) override { saved_ = saved; }

 private:
  bool saved_ = true;
};

class WordApplication final : public ow::Application, public std::enable_shared_from_this<WordApplication> {
 public:
  // A new Word, registered as the running "Word.Application".
  static std::shared_ptr<WordApplication> Create();
  ~WordApplication() override;

  std::string Name() const override { return "Word"; }
  platform::office::CommandBars& CommandBars() override { return bars_; }
  std::string StatusBar() const override { return statusBar_; }
  void SetStatusBar(std::string_view text) override { statusBar_ = text; }
  ow::Documents& Documents() override { return documentsCollection_; }
  Ref<ow::Document> ActiveDocument() override;
  Ref<ow::Window> ActiveWindow() override;
  ow::Selection& Selection() override { return selection_; }
  bool ScreenUpdating() const override { return screenUpdating_; }
  void SetScreenUpdating(bool on) override { screenUpdating_ = on; }
  ow::Template& NormalTemplate() override { return normalTemplate_; }
  platform::office::EventConnection ConnectQuit(std::function<void()> handler) override;

  CommandBarSet& bars() { return bars_; }
  const std::vector<std::shared_ptr<WordDocument>>& documents() const { return open_.items(); }
  std::shared_ptr<WordDocument> activeDocument() const { return open_.active(); }

  // The first half of quitting: every document is closed, a modified one after asking whether
  // to save it (unless discardChanges). False (nothing more closed) when the user cancels.
  bool CloseAllDocuments(bool discardChanges = false);
  // The second half: raises Quit and leaves the running object table.
  void RaiseQuit();

 private:
  friend class WordDocument;
  friend class WordDocuments;
  WordApplication();
  std::shared_ptr<WordDocument> NewDocument(std::string name);

  CommandBarSet bars_;
  std::string statusBar_;
  bool screenUpdating_ = true;
  WordTemplate normalTemplate_;
  WordDocuments documentsCollection_{*this};
  WordSelection selection_{*this};
  OpenList<WordDocument> open_;
  int nextNumber_ = 1;
  platform::office::EventSource<> quit_;
};

}  // namespace host::word
