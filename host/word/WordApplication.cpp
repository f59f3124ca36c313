#include "host/word/WordApplication.h"

#include "platform/core/RuntimeError.h"

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
  for (auto& d : open_.items()) d->Release();
  platform::office::RevokeActiveObject(ow::kClassName, this);
}

Ref<ow::Document> WordApplication::ActiveDocument() {
  auto document = open_.active();
  if (!document) Raise(ow::err::NoDocumentOpen, "This command is not available because no document is open.");
  return document;
}

Ref<ow::Window> WordApplication::ActiveWindow() { return ActiveDocument()->ActiveWindow(); }

platform::office::EventConnection WordApplication::ConnectQuit(std::function<void()> handler) {
  return quit_.Connect(std::move(handler));
}

std::shared_ptr<WordDocument> WordApplication::NewDocument(std::string name) {
  auto document = std::make_shared<WordDocument>(*this, std::move(name));
  open_.Add(document);
  return document;
}

bool WordApplication::CloseAllDocuments(bool discardChanges) {
  auto open = open_.items();
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
