#include "host/commandbars/CommandBarSet.h"

#include <gtest/gtest.h>

#include "platform/core/RuntimeError.h"

using namespace host;
using platform::RuntimeError;
using platform::office::ControlEvents;
using platform::office::Ref;
namespace office = platform::office;

namespace {

class CommandBarsTest : public ::testing::Test {
 protected:
  CommandBarSet bars{WordBuiltInBars()};

  Ref<office::CommandBarControl> AddButton(office::CommandBarControls& controls, const std::string& caption,
                                           const std::string& tag) {
    auto c = controls.Add({.type = office::control_type::Button, .temporary = true});
    c->SetCaption(caption);
    c->SetTag(tag);
    return c;
  }

  void Click(const Ref<office::CommandBarControl>& c) {
    bars.Click(std::static_pointer_cast<Control>(c.shared()));
  }
};

long ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace

TEST_F(CommandBarsTest, BarsAndControlsAreFoundIgnoringCaseAndAmpersand) {
  auto bar = bars.Add({.name = "Tavo Writer Word Add-In", .temporary = true});
  auto& popup = *bar->Controls().Add({.type = office::control_type::Popup, .temporary = true});
  popup.SetCaption("&Tavo Writer");
  EXPECT_EQ(bars.Item("tavo writer word add-in")->Name(), "Tavo Writer Word Add-In");
  EXPECT_EQ(bar->Controls().Item("TAVO WRITER")->Caption(), "&Tavo Writer");
  EXPECT_EQ(bars.Item("FILE")->Controls().Item("save &as...")->Caption(), "Save &As...");
  EXPECT_EQ(ErrorOf([&] { bars.Item("Nope"); }), platform::err::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { bars.Add({.name = "tavo writer word add-in"}); }), platform::err::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { bar->Controls().Item(5); }), platform::err::SubscriptOutOfRange);
}

TEST_F(CommandBarsTest, AddBeforePositionsTheControl) {
  auto& file = bars.Item("File")->Controls();
  int before = file.Count();
  auto added = file.Add({.type = 1, .before = 3, .temporary = true});
  added->SetCaption("Open from &Tavo");
  EXPECT_EQ(file.Count(), before + 1);
  EXPECT_TRUE(file.Item(3).Is(added));
  EXPECT_EQ(ErrorOf([&] { file.Add({.type = 1, .before = 99}); }), platform::err::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { file.Add({.type = 4}); }), platform::err::InvalidProcedureCall);
}

TEST_F(CommandBarsTest, FindControlByTagSearchesEveryBarAndPopup) {
  auto bar = bars.Add({.name = "Toolbar"});
  auto popup = bar->Controls().Add({.type = office::control_type::Popup});
  auto item = AddButton(popup->Controls(), "&Login", "login 10:00:00");
  auto button = AddButton(bar->Controls(), " &Open ", "openbtn 10:00:00");
  EXPECT_TRUE(bars.FindControl({.tag = "login 10:00:00"}).Is(item));
  EXPECT_TRUE(bars.FindControl({.type = 1, .tag = "openbtn 10:00:00"}).Is(button));
  EXPECT_TRUE(bars.FindControl({.type = 10, .tag = "openbtn 10:00:00"}).IsNothing());
  EXPECT_TRUE(bars.FindControl({.tag = "missing"}).IsNothing());
  // A bar searches its popups only when asked to.
  EXPECT_TRUE(bar->FindControl({.tag = "login 10:00:00"}).IsNothing());
  EXPECT_TRUE(bar->FindControl({.tag = "login 10:00:00", .recursive = true}).Is(item));
}

TEST_F(CommandBarsTest, ClickReachesEveryReferenceBoundToTheSameTag) {
  auto bar = bars.Add({.name = "Toolbar"});
  auto first = AddButton(bar->Controls(), "A", "same");
  auto second = AddButton(bar->Controls(), "B", "same");
  auto other = AddButton(bar->Controls(), "C", "");
  auto untagged = AddButton(bar->Controls(), "D", "");
  std::vector<std::string> calls;
  ControlEvents onFirst([&](const Ref<office::CommandBarControl>& c, bool&) { calls.push_back("first:" + c->Caption()); });
  ControlEvents onSecond([&](const Ref<office::CommandBarControl>& c, bool&) { calls.push_back("second:" + c->Caption()); });
  ControlEvents onOther([&](const Ref<office::CommandBarControl>&, bool&) { calls.push_back("other"); });
  onFirst = first;
  onSecond = second;
  onOther = other;

  Click(first);
  EXPECT_EQ(calls, (std::vector<std::string>{"first:A", "second:A"}));
  calls.clear();
  // Controls without a tag reach only their own references.
  Click(untagged);
  EXPECT_TRUE(calls.empty());
  Click(other);
  EXPECT_EQ(calls, std::vector<std::string>{"other"});
  calls.clear();

  // A released reference, and one rebound elsewhere, hear nothing more from the tag.
  onSecond.Release();
  onFirst = other;
  Click(first);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(ErrorOf([&] { (void)onSecond->Caption(); }), platform::err::ObjectNotSet);
}

TEST_F(CommandBarsTest, DisabledPopupAndDeletedControlsRefuseClicks) {
  auto bar = bars.Add({.name = "Toolbar"});
  auto popup = bar->Controls().Add({.type = office::control_type::Popup});
  auto item = AddButton(popup->Controls(), "&Save", "save");
  item->SetEnabled(false);
  EXPECT_NE(ErrorOf([&] { Click(item); }), 0);
  EXPECT_NE(ErrorOf([&] { Click(popup); }), 0);
  EXPECT_EQ(ErrorOf([&] { item->Controls(); }), 438);

  popup->Delete();
  EXPECT_EQ(bar->Controls().Count(), 0);
  EXPECT_TRUE(item->Deleted());
  EXPECT_EQ(ErrorOf([&] { (void)item->Caption(); }), office::kControlDeletedError);
  EXPECT_EQ(ErrorOf([&] { popup->SetEnabled(true); }), office::kControlDeletedError);
  EXPECT_TRUE(bars.FindControl({.tag = "save"}).IsNothing());
}

TEST_F(CommandBarsTest, ResetRestoresTheBuiltInFileMenu) {
  auto file = bars.Item("File");
  int count = file->Controls().Count();
  auto added = AddButton(file->Controls(), "Open from &Tavo", "Open from Tavo");
  file->Controls().Item(1)->Delete();
  file->Reset();
  EXPECT_EQ(file->Controls().Count(), count);
  EXPECT_TRUE(added->Deleted());
  EXPECT_EQ(file->Controls().Item(1)->Caption(), "&New...");
  EXPECT_TRUE(file->FindControl({.type = 1, .tag = "Open from Tavo"}).IsNothing());
  // Deleting by name, as the add-ins remove their File-menu item.
  auto again = AddButton(file->Controls(), "Open from &Tavo", "Open from Tavo");
  bars.Item("FILE")->Controls().Item("open from tavo")->Delete();
  EXPECT_TRUE(again->Deleted());
}

TEST(ExcelCommandBars, FileMenuItemIsFoundByTagThenDeletedByName) {
  CommandBarSet bars(ExcelBuiltInBars());
  auto& file = bars.Item("File")->Controls();
  bool found = false;
  for (int i = 1; i <= file.Count(); ++i) found = found || file.Item(i)->Tag() == "Open from Tavo";
  EXPECT_FALSE(found);
  auto item = file.Add({.type = office::control_type::Button, .before = 3, .temporary = true});
  item->SetStyle(office::button_style::IconAndCaption);
  item->SetCaption("Open from &Tavo");
  item->SetTag("Open from Tavo");
  EXPECT_TRUE(bars.Item("File")->FindControl({.type = 1, .tag = "Open from Tavo"}).Is(item));
  int clicks = 0;
  ControlEvents onOpen([&](const Ref<office::CommandBarControl>&, bool&) { ++clicks; });
  onOpen = item;
  bars.Item("FILE")->Controls().Item("open from tavo")->Delete();
  // The reference still holds the deleted control: using it is a run-time error.
  EXPECT_EQ(ErrorOf([&] { onOpen->SetEnabled(true); }), office::kControlDeletedError);
  EXPECT_EQ(ErrorOf([&] { bars.Click(std::static_pointer_cast<Control>(onOpen.control().shared())); }),
            office::kControlDeletedError);
  EXPECT_EQ(clicks, 0);
}
