// A small add-in for the host's tests: it registers itself for Word and Excel, records every
// event it hears in C:\addin-events.log and adds a toolbar with one button.
#include <memory>
#include <string>

#include "platform/files/Files.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Operator.h"
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

// A dialog of the add-in: a text box and OK, which thanks the user in a message box.
class frmAsk final : public platform::forms::Form {
 public:
  frmAsk() : Form("frmAsk") { Command1.onClick = [this] { Command1_Click(); }; }
  platform::forms::Label Label1{*this, "Label1", "Your name:"};
  platform::forms::TextBox Text1{*this, "Text1"};
  platform::forms::CommandButton Command1{*this, "Command1", "OK"};

 protected:
  void Design() override { SetCaption("Ask"); }

 private:
  void Command1_Click() {
    int answer = platform::forms::MsgBox("Thanks " + Text1.Text(), platform::forms::kOKCancel, "Test");
    Record("Asked " + Text1.Text() + " answer=" + std::to_string(answer));
    Unload();
  }
};

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
    auto ask = popup->Controls().Add({.type = office::control_type::Button, .temporary = true});
    ask->SetCaption("&Ask");
    ask_ = ask;
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
    ask_.Release();
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
  frmAsk ask;
  office::ControlEvents ask_{[this](const office::Ref<office::CommandBarControl>&, bool&) {
    ask.Show(platform::forms::ShowMode::Modal);
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
