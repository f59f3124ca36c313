#pragma once
// The command bars of one emulated application: the built-in bars it starts with and the bars
// add-ins add, with their controls, and the delivery of Click events by tag.
#include <memory>
#include <string>
#include <vector>

#include "platform/office/CommandBars.h"

namespace host {

namespace office = platform::office;

// A built-in control: what Reset restores.
struct BuiltInControl {
  int id;
  std::string caption;
};

struct BuiltInBar {
  std::string name;
  bool visible;
  std::vector<BuiltInControl> controls;
};

class Control;
class ControlList;
struct ClickHub;

class ControlList final : public office::CommandBarControls {
 public:
  explicit ControlList(std::shared_ptr<ClickHub> hub) : hub_(std::move(hub)) {}
  int Count() const override;
  office::Ref<office::CommandBarControl> Item(int index) override;
  office::Ref<office::CommandBarControl> Item(std::string_view caption) override;
  office::Ref<office::CommandBarControl> Add(const office::ControlAddOptions& options = {}) override;

  const std::vector<std::shared_ptr<Control>>& items() const { return items_; }
  std::shared_ptr<Control> AddBuiltIn(const BuiltInControl& definition);
  void Remove(const Control* control);
  void DeleteAll();
  // The first control here (and, when recursive, in popups) meeting the criteria.
  std::shared_ptr<Control> Find(const office::FindControlOptions& options, bool recursive) const;

 private:
  std::shared_ptr<ClickHub> hub_;
  std::vector<std::shared_ptr<Control>> items_;
};

class Control final : public office::CommandBarControl, public std::enable_shared_from_this<Control> {
 public:
  Control(int type, int id, bool builtIn, ControlList* owner, std::shared_ptr<ClickHub> hub);

  int Type() const override;
  int Id() const override;
  bool BuiltIn() const override;
  std::string Caption() const override;
  void SetCaption(std::string_view caption) override;
  std::string Tag() const override;
  void SetTag(std::string_view tag) override;
  std::string TooltipText() const override;
  void SetTooltipText(std::string_view text) override;
  std::string Parameter() const override;
  void SetParameter(std::string_view parameter) override;
  int Style() const override;
  void SetStyle(int style) override;
  int FaceId() const override;
  void SetFaceId(int faceId) override;
  bool BeginGroup() const override;
  void SetBeginGroup(bool beginGroup) override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  office::CommandBarControls& Controls() override;
  void Delete() override;
  bool Deleted() const override { return deleted_; }
  office::EventConnection ConnectClick(office::ClickHandler handler) override;

  // The popup's items (empty list for a button), for the screen.
  const ControlList* items() const { return children_.get(); }
  // Marks this control and its items deleted without touching the owner's list.
  void MarkDeleted();
  void Detach() { owner_ = nullptr; }

 private:
  void Check(const char* member) const;

  int type_;
  int id_;
  bool builtIn_;
  std::string caption_, tag_, tooltip_, parameter_;
  int style_ = office::button_style::Automatic;
  int faceId_ = 0;
  bool beginGroup_ = false, enabled_ = true, visible_ = true, deleted_ = false;
  ControlList* owner_;
  std::shared_ptr<ClickHub> hub_;
  std::unique_ptr<ControlList> children_;
};

class Bar final : public office::CommandBar {
 public:
  Bar(std::string name, bool builtIn, std::vector<BuiltInControl> defaults, std::shared_ptr<ClickHub> hub);
  std::string Name() const override { return name_; }
  bool BuiltIn() const override { return builtIn_; }
  office::CommandBarControls& Controls() override { return controls_; }
  int Position() const override { return position_; }
  void SetPosition(int position) override;
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  void Reset() override;
  office::Ref<office::CommandBarControl> FindControl(const office::FindControlOptions& options = {}) override;

  const ControlList& controls() const { return controls_; }
  ControlList& controls() { return controls_; }

 private:
  std::string name_;
  bool builtIn_;
  std::vector<BuiltInControl> defaults_;
  int position_ = office::bar_position::Top;
  bool visible_ = false;
  ControlList controls_;
};

class CommandBarSet final : public office::CommandBars {
 public:
  explicit CommandBarSet(const std::vector<BuiltInBar>& builtIns);
  ~CommandBarSet() override;

  int Count() const override;
  office::Ref<office::CommandBar> Item(int index) override;
  office::Ref<office::CommandBar> Item(std::string_view name) override;
  office::Ref<office::CommandBar> Add(const office::BarAddOptions& options = {}) override;
  office::Ref<office::CommandBarControl> FindControl(const office::FindControlOptions& options = {}) override;

  const std::vector<std::shared_ptr<Bar>>& bars() const { return bars_; }

  // The user's click: raises Click for every reference bound to the control or to a control of
  // the same tag. Refused (run-time error) for a deleted, disabled or invisible control and
  // for a popup, which has no Click.
  void Click(const std::shared_ptr<Control>& control);

 private:
  std::shared_ptr<ClickHub> hub_;
  std::vector<std::shared_ptr<Bar>> bars_;
};

// The built-in bars of the emulated applications: "File" (the File menu) and "Standard".
std::vector<BuiltInBar> WordBuiltInBars();
std::vector<BuiltInBar> ExcelBuiltInBars();

}  // namespace host
