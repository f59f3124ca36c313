#pragma once
// A tavo-office screen as the driver reads it: which commands of the add-in's menu and toolbar
// are enabled, the status bar, the open files, and the dialogs shown with their controls.
#include <string>
#include <vector>

namespace tavo::test::soak {

struct ScreenControl {
  std::string kind;   // "TextBox", "ListBox", ...
  std::string name;   // "tavoemailid"
  std::string value;  // the caption or text, unquoted ("" for none), "[x]" and so on for boxes
  bool enabled = true;
  std::vector<std::string> entries;  // a list box's lines, without their numbers
  int selected = -1;                 // the list box's selected entry
};

struct ScreenDialog {
  std::string name;     // "frmConfig"
  std::string caption;  // "Tavo Credentials"
  bool modal = false;
  std::vector<ScreenControl> controls;
  const ScreenControl* Control(const std::string& name) const;
  // The value of a control ("" when it is not shown).
  std::string Value(const std::string& name) const;
};

struct OpenFile {
  std::string path;  // the full Windows path, or the name of a file never saved ("Document2")
  bool active = false;
  bool modified = false;
};

struct HostScreen {
  bool parsed = false;                // false when the text held no screen
  std::vector<std::string> commands;  // every caption of the menu and toolbar, "(disabled)" kept
  std::string status;
  std::vector<OpenFile> files;
  std::vector<ScreenDialog> dialogs;

  // Whether the command of that caption is on the screen and enabled ("&" and case ignored).
  bool Enabled(const std::string& caption) const;
  bool SignedIn() const;              // Login is disabled: the add-in holds a sign-in
  const ScreenDialog* Modal() const;  // the modal dialog on top, if any
  const OpenFile* Active() const;
};

// The last screen printed in `printed` (the output of one command).
HostScreen ParseScreen(const std::string& printed);
// The file name of a Windows path ("C:\a\b.doc" -> "b.doc").
std::string FileNameOf(const std::string& path);

}  // namespace tavo::test::soak
