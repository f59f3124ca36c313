#include "platform/office/Word.h"

namespace platform::office::word {

View::~View() = default;
Window::~Window() = default;
Document::~Document() = default;
Documents::~Documents() = default;
Selection::~Selection() = default;
Template::~Template() = default;
Application::~Application() = default;

Ref<Application> RunningApplication() {
  auto app = RefCast<Application>(GetActiveObject(kClassName));
  if (!app) Raise(kCannotCreateObjectError, "Cannot create object");
  return app;
}

}  // namespace platform::office::word
