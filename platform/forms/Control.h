#pragma once
// The base of every dialog control: its name, the common properties (position and size in
// twips, enabled, visible, colours, font, mouse pointer, tool tip, tab order) and the events
// that every kind of control raises.
//
// A control is a member of its form and registers itself there when constructed, so the form,
// the operator and the renderer find it by name. Reading or changing a property of a control
// whose form is not loaded loads the form first (its Form_Load runs), as on the platform.
//
// Handlers are plain functions stored in the event members, usually bound in the form's
// constructor to member functions named after control and event:
//   Command1.onClick = [this] { Command1_Click(); };
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::forms {

class Control;
class Form;
class Frame;

// A piece of a control's state that goes back to its design-time value when the form unloads.
// Declared as a member, it registers with its control: Designed<int> value_{*this};
class DesignedState {
 public:
  virtual ~DesignedState() = default;
  virtual void SaveDesign() = 0;
  virtual void RestoreDesign() = 0;

 protected:
  explicit DesignedState(Control& owner);
};

template <class T>
class Designed final : public DesignedState {
 public:
  explicit Designed(Control& owner, T initial = T()) : DesignedState(owner), now_(std::move(initial)) {}
  T& operator*() { return now_; }
  const T& operator*() const { return now_; }
  T* operator->() { return &now_; }
  const T* operator->() const { return &now_; }
  void SaveDesign() override { design_ = now_; }
  void RestoreDesign() override { now_ = design_; }

 private:
  T now_;
  T design_;
};

// Colour values are BGR: 0x0000FF is red, 0xFF0000 blue.
using Color = long;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kBlue = 0xFF0000;
inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kButtonText = 0x80000012;  // the system colour of control text

inline constexpr int kDefault = 0;  // mouse pointers
inline constexpr int kArrow = 1;
inline constexpr int kHourglass = 11;
inline constexpr int kCustom = 99;

// Key codes of KeyPress.
inline constexpr int kKeyBack = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;

// Run-time error numbers that property assignments raise.
namespace err {
inline constexpr long InvalidPropertyValue = 380;
inline constexpr long InvalidPropertyArrayIndex = 381;
inline constexpr long FormAlreadyDisplayed = 400;
inline constexpr long CantShowNonModalWhenModal = 401;
}  // namespace err

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  // What the renderer and error messages call this kind of control ("TextBox").
  virtual std::string_view Kind() const = 0;
  // Whether the control can hold the focus (text boxes, buttons, check and option boxes, lists).
  virtual bool Focusable() const { return false; }

  const std::string& Name() const { return name_; }
  Form& Parent() const { return *form_; }
  // The frame the control sits in, or nullptr when it sits on the form itself.
  Frame* Container() const { return container_; }

  float Left() const;
  float Top() const;
  float Width() const;
  float Height() const;
  void SetLeft(float v);
  void SetTop(float v);
  void SetWidth(float v);
  void SetHeight(float v);
  void Move(float left, float top, float width, float height);

  bool Enabled() const;
  void SetEnabled(bool v);
  bool Visible() const;
  void SetVisible(bool v);

  Color ForeColor() const;
  void SetForeColor(Color v);
  const std::string& FontName() const;
  void SetFontName(std::string_view v);
  bool FontBold() const;
  void SetFontBold(bool v);
  bool FontUnderline() const;
  void SetFontUnderline(bool v);
  int MousePointer() const;
  void SetMousePointer(int v);
  const std::string& ToolTipText() const;
  void SetToolTipText(std::string_view v);
  // Position in the form's tab order, from 0. Setting it moves the control there and shifts
  // the controls after it, as on the platform.
  int TabIndex() const;
  void SetTabIndex(int v);

  bool HasFocus() const;

  // Enabled and visible, together with the frame it sits in: a user can reach it.
  bool Reachable() const;

  // Events shared by every kind (a kind raises those that make sense for it).
  std::function<void()> onClick;
  std::function<void()> onDblClick;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;
  std::function<void()> onMouseMove;
  std::function<void(int& keyAscii)> onKeyPress;

 protected:
  Control(Form& form, std::string name);
  Control(Frame& frame, std::string name);

  // Loads the parent form when it is not loaded (every property access goes through here).
  void Touch() const;
  // Raises an event when a handler is bound.
  static void Fire(const std::function<void()>& event) {
    if (event) event();
  }

  // The form keeps what the control looked like at design time and puts it back on unload
  // (every Designed member); a kind with more to reset extends RestoreDesign.
  void SaveDesign();
  virtual void RestoreDesign();
  virtual void EnabledChanged() {}
  // The form has just loaded (before its Form_Load runs).
  virtual void FormLoaded() {}
  // The values as they are, without loading the form.
  bool EnabledNow() const { return common_->enabled; }
  friend class Form;
  friend class DesignedState;

 private:
  struct Common {
    float left = 0, top = 0, width = 1215, height = 495;
    bool enabled = true, visible = true;
    Color foreColor = kButtonText;
    std::string fontName = "MS Sans Serif";
    bool fontBold = false, fontUnderline = false;
    int mousePointer = kDefault;
    std::string toolTipText;
    bool tabStop = true;
  };
  Form* form_;
  Frame* container_ = nullptr;
  std::string name_;
  std::vector<DesignedState*> designed_;
  Designed<Common> common_{*this};
};

}  // namespace platform::forms
