#include "platform/core/Clock.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace platform {
namespace {
RealClock g_realClock;
std::atomic<Clock*> g_clock{&g_realClock};

const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January", "February", "March", "April", "May", "June", "July",
                                   "August", "September", "October", "November", "December"};
}  // namespace

TimePoint RealClock::Now() { return std::chrono::system_clock::now(); }
void RealClock::Sleep(Milliseconds duration) {
  if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

VirtualClock::VirtualClock(TimePoint start) : now_(start) {}
TimePoint VirtualClock::Now() { return now_; }
void VirtualClock::Sleep(Milliseconds duration) { now_ += duration; }
void VirtualClock::Advance(Milliseconds duration) { now_ += duration; }

FastClock::FastClock(int rate)
    : rate_(rate > 0 ? rate : 1), start_(std::chrono::system_clock::now()), realStart_(std::chrono::steady_clock::now()) {}
TimePoint FastClock::Now() {
  const auto passed = std::chrono::steady_clock::now() - realStart_;
  return start_ + std::chrono::duration_cast<TimePoint::duration>(passed * rate_);
}
void FastClock::Sleep(Milliseconds duration) {
  if (duration.count() > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(duration) / rate_);
}

Clock& CurrentClock() { return *g_clock.load(); }
Clock* SetCurrentClock(Clock* clock) { return g_clock.exchange(clock ? clock : &g_realClock); }

ScopedVirtualClock::ScopedVirtualClock(TimePoint start) : clock_(start), previous_(SetCurrentClock(&clock_)) {}
ScopedVirtualClock::~ScopedVirtualClock() { SetCurrentClock(previous_); }

TimePoint Now() { return CurrentClock().Now(); }
void Sleep(Milliseconds duration) { CurrentClock().Sleep(duration); }
Milliseconds LimitForOutside(Milliseconds limit) { return CurrentClock().LimitForOutside(limit); }

std::tm LocalTime(TimePoint t) {
  std::time_t tt = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  localtime_r(&tt, &tm);
  return tm;
}

TimePoint MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm));
}

std::string FormatLogTimestamp(const std::tm& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string FormatLogHeaderTime(const std::tm& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3s %.3s %04d %02d:%02d:%02d", kDayNames[t.tm_wday % 7], kMonthNames[t.tm_mon % 12],
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string FormatMapLocalTime(const std::tm& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %s %02d, %04d/%02d:%02d:%02d", kDayNames[t.tm_wday % 7],
                kMonthNames[t.tm_mon % 12], t.tm_mday, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string FormatHhNnSs(const std::tm& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string FormatHhMmSs(const std::tm& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d", t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

}  // namespace platform
