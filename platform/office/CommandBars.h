#pragma once
// The command bars of an Office application: toolbars and menus holding buttons and popups.
// Bars and controls are found by name or caption ignoring case and "&" (so "open from tavo"
// finds "Open from &Tavo"). A deleted control raises a run-time error when any member is used.
//
// Click events reach handlers through event-receiving references (ControlEvents), one per
// handler, bound to a control. When a control is clicked, every reference bound to a control
// with the same non-empty Tag receives the event, not only the ones bound to the clicked control:
// code that keeps its references across a rebuild of its controls finds them again by tag.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/office/Events.h"
#include "platform/office/Ref.h"

namespace platform::office {

namespace control_type {
inline constexpr int Button = 1;
inline constexpr int Popup = 10;
}  // namespace control_type

namespace bar_position {
inline constexpr int Left = 0;
inline constexpr int Top = 1;
inline constexpr int Right = 2;
inline constexpr int Bottom = 3;
inline constexpr int Floating = 4;
}  // namespace bar_position

namespace button_style {
inline constexpr int Automatic = 0;
inline constexpr int Icon = 1;
inline constexpr int Caption = 2;
inline constexpr int IconAndCaption = 3;
}  // namespace button_style

// Error raised by any member of a deleted control: "Method '<member>' of object ... failed".
inline constexpr long kControlDeletedError = err::Automation;

// The key under which names and captions are compared: "&" removed, case folded.
std::string CaptionKey(std::string_view caption);

class CommandBarControl;
class CommandBarControls;

using ClickHandler = std::function<void(const Ref<CommandBarControl>& control, bool& cancelDefault)>;

struct ControlAddOptions {
  int type = control_type::Button;
  std::optional<int> id{};  // a built-in control's id; custom controls have 1
  std::optional<std::string> parameter{};
  std::optional<int> before{};  // 1-based position; appended when omitted
  bool temporary = false;
};

struct FindControlOptions {
  std::optional<int> type{};
  std::optional<int> id{};
  std::optional<std::string> tag{};
  std::optional<bool> visible{};
  bool recursive = false;  // CommandBar::FindControl only; CommandBars::FindControl searches all
};

struct BarAddOptions {
  std::optional<std::string> name{};
  std::optional<int> position{};
  bool menuBar = false;
  bool temporary = false;
};

class CommandBarControl {
 public:
  virtual ~CommandBarControl();

  virtual int Type() const = 0;
  virtual int Id() const = 0;
  virtual bool BuiltIn() const = 0;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual std::string Tag() const = 0;
  virtual void SetTag(std::string_view tag) = 0;
  virtual std::string TooltipText() const = 0;
  virtual void SetTooltipText(std::string_view text) = 0;
  virtual std::string Parameter() const = 0;
  virtual void SetParameter(std::string_view parameter) = 0;
  virtual int Style() const = 0;
  virtual void SetStyle(int style) = 0;
  virtual int FaceId() const = 0;
  virtual void SetFaceId(int faceId) = 0;
  virtual bool BeginGroup() const = 0;
  virtual void SetBeginGroup(bool beginGroup) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // The items of a popup; a button has none (run-time error 438).
  virtual CommandBarControls& Controls() = 0;
  virtual void Delete() = 0;
  virtual bool Deleted() const = 0;

  // Connects a Click handler under the tag rule above. Add-ins use ControlEvents instead.
  virtual EventConnection ConnectClick(ClickHandler handler) = 0;
};

class CommandBarControls {
 public:
  virtual ~CommandBarControls();
  virtual int Count() const = 0;
  virtual Ref<CommandBarControl> Item(int index) = 0;              // 1-based; 9 when out of range
  virtual Ref<CommandBarControl> Item(std::string_view caption) = 0;  // 5 when none matches
  virtual Ref<CommandBarControl> Add(const ControlAddOptions& options = {}) = 0;
};

class CommandBar {
 public:
  virtual ~CommandBar();
  virtual std::string Name() const = 0;
  virtual bool BuiltIn() const = 0;
  virtual CommandBarControls& Controls() = 0;
  virtual int Position() const = 0;
  virtual void SetPosition(int position) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // A built-in bar gets its default controls back (added controls are deleted); a custom bar
  // keeps its controls.
  virtual void Reset() = 0;
  virtual Ref<CommandBarControl> FindControl(const FindControlOptions& options = {}) = 0;
};

class CommandBars {
 public:
  virtual ~CommandBars();
  virtual int Count() const = 0;
  virtual Ref<CommandBar> Item(int index) = 0;              // 1-based; 9 when out of range
  virtual Ref<CommandBar> Item(std::string_view name) = 0;  // 5 when none matches
  // 5 when a bar of that name exists already.
  virtual Ref<CommandBar> Add(const BarAddOptions& options = {}) = 0;
  // The first control on any bar, popups included, that meets every given criterion;
  // Nothing when none does.
  virtual Ref<CommandBarControl> FindControl(const FindControlOptions& options = {}) = 0;
};

// An event-receiving reference to a control ("WithEvents"): while bound, the handler receives
// the Click events of the control under the tag rule. Assigning another control rebinds it;
// assigning Nothing releases it. Using a released reference raises run-time error 91.
class ControlEvents {
 public:
  explicit ControlEvents(ClickHandler handler);
  ControlEvents(const ControlEvents&) = delete;
  ControlEvents& operator=(const ControlEvents&) = delete;

  ControlEvents& operator=(const Ref<CommandBarControl>& control);
  void Set(const Ref<CommandBarControl>& control);
  void Release();

  CommandBarControl* operator->() const { return control_.operator->(); }
  CommandBarControl& operator*() const { return *control_; }
  explicit operator bool() const { return static_cast<bool>(control_); }
  bool IsNothing() const { return control_.IsNothing(); }
  const Ref<CommandBarControl>& control() const { return control_; }

 private:
  ClickHandler handler_;
  Ref<CommandBarControl> control_;
  EventConnection connection_;
};

}  // namespace platform::office
