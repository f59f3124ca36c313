#include "host/word/WordApplication.h"

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"

namespace host::word {
using platform::Raise;
using platform::RuntimeError;

WordApplication::WordApplication() : bars_(WordBuiltInBars()) {}

std::shared_ptr<WordApplication> WordApplication::Create() {
  std::shared_ptr<WordApplication> app(new WordApplication());
  platform::office::RegisterActiveObject(ow::kClassName, Ref<platform::office::Application>(app));
  return app;
}

WordApplication::~WordApplication() {
  for (auto& d : documents_) d->Release();
  platform::office::RevokeActiveObject(ow::kClassName, this);
}

Ref<ow::Document> WordApplication::ActiveDocument() {
  auto document = active_.lock();
  if (!document) Raise(ow::err::NoDocumentOpen, "This command is not available because no document is open.");
  return document;
}

Ref<ow::Window> WordApplication::ActiveWindow() { return ActiveDocument()->ActiveWindow(); }

platform::office::EventConnection WordApplication::ConnectQuit(std::function<void()> handler) {
  return quit_.Connect(std::move(handler));
}

std::shared_ptr<WordDocument> WordApplication::NewDocument(std::string name) {
  auto document = std::make_shared<WordDocument>(*this, std::move(name));
  documents_.push_back(document);
  active_ = document;
  return document;
}

std::shared_ptr<WordDocument> WordApplication::FindOpen(std::string_view fullName) const {
  for (const auto& d : documents_)
    if (!d->fullName_.empty() && platform::text::EqualsText(d->fullName_, fullName)) return d;
  return nullptr;
}

void WordApplication::Activate(const std::shared_ptr<WordDocument>& document) { active_ = document; }

void WordApplication::Remove(WordDocument* document) {
  std::erase_if(documents_, [document](const auto& d) { return d.get() == document; });
  if (active_.expired() || active_.lock().get() == document)
    active_ = documents_.empty() ? std::weak_ptr<WordDocument>() : documents_.back();
}

bool WordApplication::CloseAllDocuments(bool discardChanges) {
  auto open = documents_;
  for (auto& d : open) {
    try {
      d->Close({.saveChanges = discardChanges ? ow::save_changes::DoNotSave : ow::save_changes::Prompt});
    } catch (const RuntimeError& e) {
      if (e.number() == ow::err::CommandFailed) return false;
      throw;
    }
  }
  return true;
}

void WordApplication::RaiseQuit() {
  struct Revoke {
    WordApplication* app;
    ~Revoke() { platform::office::RevokeActiveObject(ow::kClassName, app); }
  } revoke{this};
  quit_.Raise();
}

}  // namespace host::word
