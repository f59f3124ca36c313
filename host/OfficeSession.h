#pragma once
// One run of an emulated Office application with its add-ins: what `tavo-office word|excel`
// drives, and what tests of the add-ins create in-process:
//
//   host::OfficeSession word(host::HostKind::Word);
//   word.addins().Load("tavowriterwordaddin.service", libraryPath);  // or word.Start()
//   word.Click("&Login");                                          // as the user would
//   word.Quit();
//
// Start loads the registered add-ins (LoadBehavior 3) and completes the start-up. Quit closes
// the documents (asking about modified ones; the user may cancel), then for Word raises Quit
// and calls OnBeginShutdown, and for both calls OnDisconnection.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/addins/AddinLoader.h"
#include "host/commandbars/CommandBarSet.h"
#include "host/excel/ExcelApplication.h"
#include "host/word/WordApplication.h"

namespace host {

enum class HostKind { Word, Excel };

class OfficeSession {
 public:
  explicit OfficeSession(HostKind kind, LoadReport report = {});
  ~OfficeSession();
  OfficeSession(const OfficeSession&) = delete;
  OfficeSession& operator=(const OfficeSession&) = delete;

  HostKind kind() const { return kind_; }
  // The application, as an add-in receives it.
  office::Ref<office::Application> application() const { return application_; }
  std::shared_ptr<word::WordApplication> word() const { return word_; }    // null in Excel
  std::shared_ptr<excel::ExcelApplication> excel() const { return excel_; }  // null in Word
  CommandBarSet& bars();
  AddinLoader& addins() { return *loader_; }

  // Loads the registered add-ins and completes the start-up; returns the number loaded.
  int Start();
  // False when the user cancelled closing a modified document (the session goes on). With
  // discardChanges nobody is asked and unsaved changes are lost (the end of a script).
  bool Quit(bool discardChanges = false);
  bool quit() const { return quit_; }

  // Clicks the control whose caption is `caption` (ignoring case, "&" and surrounding blanks)
  // among those the screen shows, popup items included. Raises RuntimeError when there is none, more than
  // one, or it cannot be clicked; errors of the add-in's handler propagate.
  void Click(std::string_view caption);

 private:
  HostKind kind_;
  std::shared_ptr<word::WordApplication> word_;
  std::shared_ptr<excel::ExcelApplication> excel_;
  office::Ref<office::Application> application_;
  std::unique_ptr<AddinLoader> loader_;
  LoadReport report_;
  bool quit_ = false;
};

// Whether the screen shows a control of the bar, and so whether a click can reach it: any
// visible control of a visible bar of an add-in; of a built-in bar (the File menu, the
// Standard toolbar), which the screen leaves out, only the controls add-ins put there.
bool ShownOnScreen(const Bar& bar, const Control& control);
// The controls the screen shows whose caption matches, popup items included.
std::vector<std::shared_ptr<Control>> FindByCaption(const CommandBarSet& bars, std::string_view caption);
// The captions of the buttons and menu items the screen shows (not of the popups that hold them).
std::vector<std::string> ShownCaptions(const CommandBarSet& bars);

}  // namespace host
