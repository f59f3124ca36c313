#include "platform/office/Excel.h"

namespace platform::office::excel {

Worksheet::~Worksheet() = default;
Window::~Window() = default;
Workbook::~Workbook() = default;
Workbooks::~Workbooks() = default;
Application::~Application() = default;

Ref<Application> RunningApplication() {
  auto app = RefCast<Application>(GetActiveObject(kClassName));
  if (!app) Raise(kCannotCreateObjectError, "Cannot create object");
  return app;
}

}  // namespace platform::office::excel
