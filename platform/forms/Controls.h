#pragma once
// The simple dialog controls: labels, text boxes, check boxes, option buttons, command buttons,
// frames, pictures and progress bars. Changing a value in code raises the same events as the
// user's change would (Change for text, Click for check and option boxes), as on the platform.
#include <functional>
#include <string>
#include <string_view>

#include "platform/forms/Control.h"

namespace platform::forms {

// A control with a caption ("&" marks the access key and is not shown).
class CaptionedControl : public Control {
 public:
  const std::string& Caption() const;
  void SetCaption(std::string_view caption);

 protected:
  CaptionedControl(Form& form, std::string name, std::string caption);
  CaptionedControl(Frame& frame, std::string name, std::string caption);

 private:
  Designed<std::string> caption_{*this};
};

class Label final : public CaptionedControl {
 public:
  Label(Form& form, std::string name, std::string caption = {});
  Label(Frame& frame, std::string name, std::string caption = {});
  std::string_view Kind() const override { return "Label"; }
};

class CommandButton final : public CaptionedControl {
 public:
  CommandButton(Form& form, std::string name, std::string caption = {});
  CommandButton(Frame& frame, std::string name, std::string caption = {});
  std::string_view Kind() const override { return "CommandButton"; }
  bool Focusable() const override { return true; }
};

// A container: option buttons inside one frame exclude each other, not those outside it.
class Frame final : public CaptionedControl {
 public:
  Frame(Form& form, std::string name, std::string caption = {});
  std::string_view Kind() const override { return "Frame"; }
};

// Value 0 unticked, 1 ticked, 2 greyed. A change of Value raises Change, then Click.
class CheckBox final : public CaptionedControl {
 public:
  CheckBox(Form& form, std::string name, std::string caption = {});
  CheckBox(Frame& frame, std::string name, std::string caption = {});
  std::string_view Kind() const override { return "CheckBox"; }
  bool Focusable() const override { return true; }

  int Value() const;
  // RuntimeError 380 for a value other than 0, 1, 2.
  void SetValue(int value);

  std::function<void()> onChange;


 private:
  Designed<int> value_{*this};
};

// Selecting an option clears every other option of its container (the form or its frame) and
// raises Click on the selected one.
class OptionButton final : public CaptionedControl {
 public:
  OptionButton(Form& form, std::string name, std::string caption = {});
  OptionButton(Frame& frame, std::string name, std::string caption = {});
  std::string_view Kind() const override { return "OptionButton"; }
  bool Focusable() const override { return true; }

  bool Value() const;
  void SetValue(bool value);

  std::function<void()> onChange;


 private:
  Designed<bool> value_{*this};
};

// A single-line text box. Positions (SelStart, SelLength) count characters. Every change of
// Text raises Change, so a user typing "bud" raises it three times.
class TextBox final : public Control {
 public:
  TextBox(Form& form, std::string name, std::string text = {});
  TextBox(Frame& frame, std::string name, std::string text = {});
  std::string_view Kind() const override { return "TextBox"; }
  bool Focusable() const override { return true; }

  const std::string& Text() const;
  // Puts the caret at the start (SelStart 0, SelLength 0).
  void SetText(std::string_view text);
  // The character shown for each character typed ("" shows the text itself).
  const std::string& PasswordChar() const;
  void SetPasswordChar(std::string_view c);
  int MaxLength() const;  // 0: no limit
  void SetMaxLength(int n);
  bool Locked() const;  // the user cannot change the text
  void SetLocked(bool v);

  int SelStart() const;
  int SelLength() const;
  std::string SelText() const;
  // Past the end goes to the end; RuntimeError 380 when negative.
  void SetSelStart(int start);
  // Clamped to the text after SelStart; RuntimeError 380 when negative.
  void SetSelLength(int length);
  // Replaces the selection (raises Change when that changes the text); the caret follows it.
  void SetSelText(std::string_view text);

  // What a window shows for the text: the password character per character, or the text.
  std::string DisplayText() const;
  int LengthInCharacters() const;

  std::function<void()> onChange;


 private:
  struct State {
    std::string text, passwordChar;
    int maxLength = 0;
    bool locked = false;
    int selStart = 0, selLength = 0;
  };
  void Replace(int start, int length, std::string_view with);
  Designed<State> state_{*this};
};

// A picture: the file it shows (a Windows path, "" for none).
class Image final : public Control {
 public:
  Image(Form& form, std::string name);
  Image(Frame& frame, std::string name);
  std::string_view Kind() const override { return "Image"; }

  const std::string& Picture() const;
  // Use LoadPicture to check that the file exists; "" removes the picture.
  void SetPicture(std::string_view path);


 private:
  Designed<std::string> picture_{*this};
};

// Integer Min, Max and Value with Min <= Value <= Max. A Value outside the range, or a Min not
// below Max, raises RuntimeError 380; moving Min or Max past Value brings Value along.
class ProgressBar final : public Control {
 public:
  ProgressBar(Form& form, std::string name);
  ProgressBar(Frame& frame, std::string name);
  std::string_view Kind() const override { return "ProgressBar"; }

  long Min() const;
  long Max() const;
  long Value() const;
  void SetMin(long v);
  void SetMax(long v);
  void SetValue(long v);


 private:
  struct State {
    long min = 0, max = 100, value = 0;
  };
  Designed<State> state_{*this};
};

// The picture file `path` for a Picture property: the path itself when the file exists in the
// environment, "" for an empty path; RuntimeError 53 when the file is missing.
std::string LoadPicture(std::string_view path);

}  // namespace platform::forms
