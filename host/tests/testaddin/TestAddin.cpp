// A small add-in for the host's tests: it registers itself for Word and Excel, records every
// event it hears in C:\addin-events.log and adds a toolbar with one button.
#include <memory>
#include <string>

#include "platform/files/Files.h"
#include "platform/office/AddinLibrary.h"
#include "platform/office/AddinRegistration.h"
#include "platform/office/CommandBars.h"
#include "platform/office/Word.h"

namespace {
namespace office = platform::office;

constexpr const char* kWordProgId = "tavotest.wordaddin";
constexpr const char* kExcelProgId = "tavotest.exceladdin";
constexpr const char* kLog = "C:\\addin-events.log";

void Record(const std::string& line) { platform::files::AppendText(kLog, line + "\n"); }

office::AddinRegistration Registration(const char* progId, const char* host, const char* library) {
  return {.progId = progId,
          .host = host,
          .friendlyName = "Test add-in",
          .description = "Test add-in for " + std::string(host),
          .libraryPath = library,
          .localMachineKey = std::string("SOFTWARE\\Microsoft\\Office\\") + host + "\\Addins\\" + progId};
}

class TestConnection final : public office::AddinConnection {
 public:
  explicit TestConnection(std::string progId) : progId_(std::move(progId)) {}

  void OnConnection(const office::Ref<office::Application>& application, int connectMode, office::AddIn& addIn,
                    office::Custom&) override {
    app_ = application;
    Record("OnConnection " + addIn.ProgId() + " mode=" + std::to_string(connectMode) + " host=" + app_->Name());
    auto bar = app_->CommandBars().Add({.name = "Test Bar", .temporary = true});
    auto popup = bar->Controls().Add({.type = office::control_type::Popup, .temporary = true});
    popup->SetCaption("&Test");
    auto item = popup->Controls().Add({.type = office::control_type::Button, .temporary = true});
    item->SetCaption("&Hello");
    item->SetTag("hello-tag");
    auto off = popup->Controls().Add({.type = office::control_type::Button, .temporary = true});
    off->SetCaption("&Later");
    off->SetEnabled(false);
    bar->SetPosition(office::bar_position::Top);
    bar->SetVisible(true);
    hello_ = item;
    if (auto word = office::RefCast<office::word::Application>(app_))
      quit_ = word->ConnectQuit([] { Record("Quit"); });
  }
  void OnDisconnection(int removeMode, office::Custom&) override {
    Record("OnDisconnection mode=" + std::to_string(removeMode));
    hello_.Release();
    app_.Reset();
  }
  void OnAddInsUpdate(office::Custom&) override { Record("OnAddInsUpdate"); }
  void OnStartupComplete(office::Custom&) override { Record("OnStartupComplete"); }
  void OnBeginShutdown(office::Custom&) override { Record("OnBeginShutdown"); }

 private:
  std::string progId_;
  office::Ref<office::Application> app_;
  office::ControlEvents hello_{[this](const office::Ref<office::CommandBarControl>& control, bool&) {
    Record("Click " + control->Caption());
    app_->SetStatusBar("Hello from " + progId_);
  }};
  office::EventConnection quit_;
};

}  // namespace

TAVO_ADDIN_EXPORT long DllRegisterServer(const char* libraryPath) {
  if (long rc = office::RegisterAddin(Registration(kWordProgId, "Word", libraryPath))) return rc;
  return office::RegisterAddin(Registration(kExcelProgId, "Excel", libraryPath));
}

TAVO_ADDIN_EXPORT long DllUnregisterServer(const char* libraryPath) {
  if (long rc = office::UnregisterAddin(Registration(kWordProgId, "Word", libraryPath))) return rc;
  return office::UnregisterAddin(Registration(kExcelProgId, "Excel", libraryPath));
}

TAVO_ADDIN_EXPORT office::AddinConnection* DllCreateConnection(const char* progId) {
  std::string id = progId ? progId : "";
  if (id != kWordProgId && id != kExcelProgId) return nullptr;
  return new TestConnection(id);
}

TAVO_ADDIN_EXPORT void DllDestroyConnection(office::AddinConnection* connection) { delete connection; }
