#include "common/dialogs/frmStatus.h"

#include "common/dialogs/tests/DialogTest.h"
#include "platform/forms/Operator.h"
#include "platform/forms/ScreenMetrics.h"
#include "platform/forms/Timer.h"

namespace tavo {
namespace {

using platform::Milliseconds;

// Where the window stood when it came up and when it went away.
class PositionWatcher final : public forms::Operator {
 public:
  void Act(forms::Form& form) override { throw forms::OperatorError("nothing to do on " + form.Name()); }
  void Shown(forms::Form& form, bool) override { tops.push_back(form.Top()); }
  void Closed(forms::Form& form) override { tops.push_back(form.Top()); }
  int MessageBox(const forms::MessageBoxRequest&) override { return forms::kOK; }
  std::vector<float> tops;
};

class StatusWindowTest : public test::DialogTest {
 protected:
  ~StatusWindowTest() override { forms::Screen::Reset(); }
  frmStatus& window() { return dialogs().frmStatus; }
  void Start() {
    window().Label1.SetCaption("Saved");  // loading the window starts it
    window().Show();
  }
  float start_ = forms::Screen::Height() - 600;
  PositionWatcher watcher_;
  forms::ScopedOperator scoped_{watcher_};
};

TEST_F(StatusWindowTest, RisesStaysSinksAndCloses) {
  // The usual screen, and one taller than a 16-bit count of twips reaches.
  for (const float pixelsHigh : {768.0f, 2400.0f}) {
    forms::Screen::SetSize(2560 * forms::Screen::TwipsPerPixelX(), pixelsHigh * forms::Screen::TwipsPerPixelY());
    start_ = forms::Screen::Height() - 600;
    watcher_.tops.clear();
    Start();
    EXPECT_EQ(window().Left(), forms::Screen::Width() - 3975);
    forms::Wait(Milliseconds(350));  // 70 steps of 5 ms
    EXPECT_EQ(window().Top(), start_ - 700);
    forms::Wait(Milliseconds(2999));
    EXPECT_EQ(window().Top(), start_ - 700);
    forms::Wait(Milliseconds(1 + 345));  // the three seconds are over; 69 steps down
    EXPECT_TRUE(window().IsLoaded());
    EXPECT_EQ(window().Top(), start_ - 10);
    forms::Wait(Milliseconds(5));
    EXPECT_FALSE(window().IsLoaded());
    EXPECT_EQ(watcher_.tops, (std::vector<float>{start_, start_})) << pixelsHigh << " pixels high";
  }
}

TEST_F(StatusWindowTest, UnloadingOnTheWayStopsEveryTimerAndGoesBackToTheStart) {
  Start();
  forms::Wait(Milliseconds(100));
  EXPECT_EQ(window().Top(), start_ - 200);
  window().Unload();
  forms::Wait(Milliseconds(10000));  // no timer brings it back
  EXPECT_FALSE(window().IsLoaded());
  EXPECT_EQ(watcher_.tops, (std::vector<float>{start_, start_}));
}

TEST_F(StatusWindowTest, TitleOfEachAddin) {
  EXPECT_EQ(window().Caption(), "Tavo Writer(Word Addin)");
  window().Unload();
  Use(kSheetParameters);
  EXPECT_EQ(window().Caption(), "Tavo Web Sheet(Excel Addin)");
  window().Unload();
}

}  // namespace
}  // namespace tavo
