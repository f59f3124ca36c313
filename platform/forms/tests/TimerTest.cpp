#include "platform/forms/Timer.h"

#include <gtest/gtest.h>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/ScreenMetrics.h"

namespace forms = platform::forms;
using platform::Milliseconds;

namespace {

// A notice that slides up from the lower right corner in 70 steps of 5 ms, stays three
// seconds, slides down again and unloads itself.
class frmNotice : public forms::Form {
 public:
  frmNotice() : Form("frmNotice", "Notice") {
    OpenTimer.onTimer = [this] {
      ++up;
      SetTop(Top() - 10);
      if (up == 70) {
        OpenTimer.SetEnabled(false);
        ShowTimer.SetInterval(3000);
        ShowTimer.SetEnabled(true);
      }
    };
    ShowTimer.onTimer = [this] {
      ShowTimer.SetEnabled(false);
      CloseTimer.SetInterval(5);
      CloseTimer.SetEnabled(true);
    };
    CloseTimer.onTimer = [this] {
      ++down;
      SetTop(Top() + 10);
      if (down == 70) {
        CloseTimer.SetEnabled(false);
        Unload();
      }
    };
  }
  forms::Label Label1{*this, "Label1", "Saved"};
  forms::Timer OpenTimer{*this, "OpenTimer"};
  forms::Timer ShowTimer{*this, "ShowTimer"};
  forms::Timer CloseTimer{*this, "CloseTimer"};
  int up = 0, down = 0;
  float start = 0, topAtUnload = 0;

 protected:
  void Design() override {
    OpenTimer.SetEnabled(false);
    ShowTimer.SetEnabled(false);
    CloseTimer.SetEnabled(false);
  }
  void Form_Load() override {
    SetLeft(forms::Screen::Width() - 3975);
    SetTop(forms::Screen::Height() - 600);
    up = down = 0;
    start = Top();
    OpenTimer.SetInterval(5);
    OpenTimer.SetEnabled(true);
  }
  void Form_Unload(bool&) override {
    SetTop(start);
    topAtUnload = Top();
    OpenTimer.SetEnabled(false);
    ShowTimer.SetEnabled(false);
    CloseTimer.SetEnabled(false);
  }
};

class TimerTest : public ::testing::Test {
 protected:
  platform::ScopedVirtualClock clock{platform::MakeLocalTime(2009, 6, 2, 13, 5, 7)};
};

TEST_F(TimerTest, FullRiseStayAndFallCycle) {
  frmNotice notice;
  notice.Load();
  EXPECT_EQ(notice.Left(), 1024 * 15 - 3975);
  EXPECT_EQ(notice.start, 768 * 15 - 600);

  forms::Wait(Milliseconds(349));
  EXPECT_EQ(notice.up, 69);
  forms::Wait(Milliseconds(1));
  EXPECT_EQ(notice.up, 70);
  EXPECT_EQ(notice.Top(), notice.start - 700);

  forms::Wait(Milliseconds(2999));
  EXPECT_EQ(notice.down, 0);  // still showing
  forms::Wait(Milliseconds(1 + 5 * 35));
  EXPECT_EQ(notice.down, 35);
  EXPECT_EQ(notice.Top(), notice.start - 350);

  forms::Wait(Milliseconds(5 * 35));
  EXPECT_EQ(notice.down, 70);
  EXPECT_FALSE(notice.IsLoaded());
  EXPECT_EQ(notice.topAtUnload, notice.start);
  EXPECT_EQ(platform::Now(), platform::MakeLocalTime(2009, 6, 2, 13, 5, 10) + Milliseconds(700));
}

TEST_F(TimerTest, UnloadingMidCycleStopsEveryTimer) {
  frmNotice notice;
  notice.Load();
  forms::Wait(Milliseconds(100));
  EXPECT_EQ(notice.up, 20);
  notice.Unload();
  EXPECT_EQ(notice.topAtUnload, notice.start);
  forms::Wait(Milliseconds(10000));
  EXPECT_EQ(notice.up, 20);
  EXPECT_EQ(notice.down, 0);
  EXPECT_FALSE(notice.IsLoaded());
  EXPECT_FALSE(notice.OpenTimer.Running());
}

TEST_F(TimerTest, TimersFireOnlyWhenMessagesAreProcessed) {
  frmNotice notice;
  notice.Load();
  platform::Sleep(Milliseconds(500));  // a blocking sleep processes nothing
  EXPECT_EQ(notice.up, 0);
  forms::DoEvents();  // overdue: fires once, not once per missed interval
  EXPECT_EQ(notice.up, 1);
  forms::DoEvents();
  EXPECT_EQ(notice.up, 1);
  clock.clock().Advance(Milliseconds(5));
  forms::DoEvents();
  EXPECT_EQ(notice.up, 2);
}

}  // namespace
