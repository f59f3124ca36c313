#include "platform/core/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace platform;

TEST(Clock, FormatsTheAddinsTimeTexts) {
  setenv("TZ", "UTC", 1);
  tzset();
  std::tm t = LocalTime(MakeLocalTime(2009, 6, 2, 13, 5, 7));
  EXPECT_EQ(FormatLogTimestamp(t), "2009-06-02 13:05:07");
  EXPECT_EQ(FormatLogHeaderTime(t), "Tue Jun 2009 13:05:07");
  EXPECT_EQ(FormatMapLocalTime(t), "Tuesday, June 02, 2009/13:05:07");
  EXPECT_EQ(FormatHhNnSs(t), "13:05:07");
  EXPECT_EQ(FormatHhMmSs(t), "130507");
}

TEST(Clock, VirtualClockMovesOnlyWhenSlept) {
  TimePoint start = MakeLocalTime(2020, 1, 1, 0, 0, 0);
  ScopedVirtualClock scoped(start);
  EXPECT_EQ(Now(), start);
  Sleep(Milliseconds(1500));
  EXPECT_EQ(Now(), start + Milliseconds(1500));
}

TEST(Clock, FastClockRunsItsRateFaster) {
  FastClock fast(1000);
  Clock* previous = SetCurrentClock(&fast);
  const TimePoint start = Now();
  const auto realStart = std::chrono::steady_clock::now();
  Sleep(Milliseconds(2000));
  const auto real = std::chrono::steady_clock::now() - realStart;
  const auto seen = Now() - start;
  SetCurrentClock(previous);
  EXPECT_GE(seen, Milliseconds(2000));
  EXPECT_LT(real, std::chrono::seconds(1));  // far less than the two seconds slept
  // A wait for something outside the process still gets its whole limit in real time.
  EXPECT_EQ(fast.LimitForOutside(Milliseconds(30000)), Milliseconds(30000000));
  RealClock real_;
  EXPECT_EQ(real_.LimitForOutside(Milliseconds(30000)), Milliseconds(30000));
}
