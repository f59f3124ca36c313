#pragma once
// A dialog window. A dialog is a subclass whose controls are members, named as the dialog's
// code names them, and whose handlers are member functions named after control and event:
//
//   namespace forms = platform::forms;
//   class frmHello : public forms::Form {
//    public:
//     frmHello() : Form("frmHello") {
//       Command1.onClick = [this] { Command1_Click(); };
//     }
//     forms::TextBox Text1{*this, "Text1"};
//     forms::CommandButton Command1{*this, "Command1", "&OK"};
//     std::string typed;
//    protected:
//     void Design() override { SetCaption("Hello"); Text1.SetFontName("Verdana"); }
//     void Form_Load() override { Text1.SetText("you"); }
//    private:
//     void Command1_Click() { typed = Text1.Text(); Unload(); }
//   };
//
// Lifecycle, as on the platform:
// - The form loads on first use: reading or changing a property of the form or of any control,
//   Load(), or Show(). Loading runs Design() the first time (the design-time properties: set
//   them there, never in the constructor), then Form_Load(). Form_Load runs once per load.
// - Unload() runs Form_QueryUnload and Form_Unload (either may cancel) and then puts every
//   property of the form and its controls back to its design-time value, so the next use loads
//   afresh. Members of the subclass itself keep their values.
// - Hide() makes the form invisible and keeps it loaded.
// - Show(ShowMode::Modal) hands the form to the current Operator, which acts as the user until
//   the form is hidden or unloaded; only then does Show return. Show() without a mode makes
//   the form visible and tells the operator (so a host can print it), then returns at once.
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/Control.h"

namespace platform::forms {

enum class ShowMode { Modeless = 0, Modal = 1 };

// Why a form is being unloaded (Form_QueryUnload).
inline constexpr int kFormControlMenu = 0;  // the window's close box
inline constexpr int kFormCode = 1;         // Unload in code

class Form {
 public:
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  virtual ~Form();

  const std::string& Name() const { return name_; }

  const std::string& Caption() const;
  void SetCaption(std::string_view caption);
  float Left() const;
  float Top() const;
  float Width() const;
  float Height() const;
  void SetLeft(float v);
  void SetTop(float v);
  void SetWidth(float v);
  void SetHeight(float v);
  void Move(float left, float top, float width, float height);
  // The background picture file (see LoadPicture), "" for none.
  const std::string& Picture() const;
  void SetPicture(std::string_view path);
  int MousePointer() const;
  void SetMousePointer(int v);
  // When true, the form's KeyPress sees every key before the control that has the focus.
  bool KeyPreview() const;
  void SetKeyPreview(bool v);

  void Load();
  void Show(ShowMode mode = ShowMode::Modeless);
  void Hide();
  // Unload in code; does nothing when the form is not loaded.
  void Unload();
  // The window's close box: Form_QueryUnload (kFormControlMenu), then Form_Unload.
  void CloseBox();

  // State, read without loading the form.
  bool IsLoaded() const { return state_ == State::Loaded; }
  bool IsVisible() const { return visible_; }
  bool IsModal() const { return modal_; }

  // Controls in declaration order, and in tab order (declaration order until a control's
  // TabIndex moves it to another place, shifting the others).
  const std::vector<Control*>& Controls() const { return controls_; }
  const std::vector<Control*>& TabOrder() const { return tabOrder_; }
  // The control with this name (case-insensitive), else one whose caption matches with "&"
  // removed (case-insensitive); nullptr when none.
  Control* FindControl(std::string_view nameOrCaption) const;
  Control* ActiveControl() const { return focused_; }

  // Moves the focus to `control` (LostFocus on the previous holder, then GotFocus); nothing
  // when it already has it.
  void FocusControl(Control& control);

  // Events of the form, raised by user actions.
  void RaiseKeyPress(int& keyAscii) { Form_KeyPress(keyAscii); }
  void RaiseMouseMove() { Form_MouseMove(); }

 protected:
  explicit Form(std::string name, std::string caption = {});

  // Design-time properties of the form and its controls; runs once, before the first load.
  virtual void Design() {}
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(bool& cancel, int unloadMode) { (void)cancel, (void)unloadMode; }
  virtual void Form_Unload(bool& cancel) { (void)cancel; }
  virtual void Form_KeyPress(int& keyAscii) { (void)keyAscii; }
  virtual void Form_MouseMove() {}

 private:
  friend class Control;
  enum class State { Fresh, Designing, Unloaded, Loading, Loaded };
  struct Props {
    std::string caption;
    float left = 0, top = 0, width = 4800, height = 3600;
    std::string picture;
    int mousePointer = kDefault;
    bool keyPreview = false;
  };
  void Touch() const;
  void EnsureLoaded();
  void ShowModal();
  bool UnloadWith(int unloadMode);
  void Register(Control* control);
  void Unregister(Control* control);
  int TabPosition(const Control* control) const;
  void MoveInTabOrder(Control* control, int position);
  void FocusFirstControl();

  std::string name_;
  Props props_, design_;
  State state_ = State::Fresh;
  bool visible_ = false;
  bool modal_ = false;
  bool unloading_ = false;
  Control* focused_ = nullptr;
  std::vector<Control*> controls_;
  std::vector<Control*> tabOrder_, designTabOrder_;
};

// Every loaded form of the process, in the order they were loaded (what a host prints).
std::vector<Form*> LoadedForms();

}  // namespace platform::forms
