#include "ExelAddin/sheetPlugin/source/TimeText.h"

#include <cctype>
#include <string>

#include "platform/core/Text.h"

namespace tavo::sheet {
namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool ValidDate(int y, int m, int d) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 100 || m < 1 || m > 12 || d < 1) return false;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

class Scanner {
 public:
  explicit Scanner(std::string_view s) : s_(s) {}
  bool Number(int& out, size_t most) {
    size_t digits = 0;
    out = 0;
    while (at_ < s_.size() && digits < most && std::isdigit(static_cast<unsigned char>(s_[at_]))) {
      out = out * 10 + (s_[at_++] - '0');
      ++digits;
    }
    return digits > 0;
  }
  bool Take(char c) {
    if (at_ >= s_.size() || s_[at_] != c) return false;
    ++at_;
    return true;
  }
  void Blanks() {
    while (at_ < s_.size() && s_[at_] == ' ') ++at_;
  }
  std::string_view Rest() const { return s_.substr(at_); }
  bool End() const { return at_ == s_.size(); }

 private:
  std::string_view s_;
  size_t at_ = 0;
};

}  // namespace

std::optional<std::int64_t> TimeValue(std::string_view text) {
  const std::string trimmed = platform::text::Trim(text);
  Scanner in(trimmed);
  int first = 0, y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
  if (!in.Number(first, 4)) return std::nullopt;
  if (in.Take('-')) {
    y = first;
    if (!in.Number(mo, 2) || !in.Take('-') || !in.Number(d, 2)) return std::nullopt;
  } else if (in.Take('/')) {
    mo = first;
    if (!in.Number(d, 2) || !in.Take('/') || !in.Number(y, 4)) return std::nullopt;
  } else {
    return std::nullopt;
  }
  in.Blanks();
  if (!in.End()) {
    if (!in.Number(h, 2) || !in.Take(':') || !in.Number(mi, 2)) return std::nullopt;
    if (in.Take(':') && !in.Number(sec, 2)) return std::nullopt;
    in.Blanks();
    if (!in.End()) {
      const std::string meridiem = platform::text::UCase(in.Rest());
      if ((meridiem != "AM" && meridiem != "PM") || h < 1 || h > 12) return std::nullopt;
      h = h % 12 + (meridiem == "PM" ? 12 : 0);
    }
  }
  if (!ValidDate(y, mo, d) || h > 23 || mi > 59 || sec > 59) return std::nullopt;
  return DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 + h * 3600 + mi * 60 + sec;
}

}  // namespace tavo::sheet
