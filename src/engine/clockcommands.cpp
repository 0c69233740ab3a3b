// The game clock and its commands: sethoje, setagora, showdate, showtime,
// diftime.
#include <QDate>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/commandtable.h"
#include "engine/gameclock.h"
#include "engine/params.h"
#include "runtime/runtime.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {
namespace {

constexpr int64_t kMsPerDay = 86'400'000;
constexpr int64_t kSecondsPerDay = 86'400;
const int64_t kOriginJulianDay = QDate(1899, 12, 30).toJulianDay();

// A clock value as a whole day and the milliseconds into it. Rounding to the
// millisecond first keeps a value like 0.99999999 (a sum that should have
// been a whole day) from showing as 23:59:59.
struct DayAndMs {
  int64_t day;
  int64_t ms;
};

DayAndMs splitDays(double days) {
  const double whole = std::floor(days);
  DayAndMs out{static_cast<int64_t>(whole), std::llround((days - whole) * kMsPerDay)};
  if (out.ms >= kMsPerDay) {
    ++out.day;
    out.ms -= kMsPerDay;
  }
  return out;
}

std::string secondsOfDayText(int64_t seconds) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                static_cast<int>(seconds % 60));
  return buf;
}

// Reads `minDigits` to `maxDigits` decimal digits from the front of `s`.
std::optional<int> takeDigits(std::string_view& s, size_t minDigits, size_t maxDigits) {
  size_t n = 0;
  int value = 0;
  while (n < s.size() && n < maxDigits && s[n] >= '0' && s[n] <= '9') value = value * 10 + (s[n++] - '0');
  if (n < minDigits) return std::nullopt;
  s.remove_prefix(n);
  return value;
}

double daysOf(const QDate& date, int64_t msOfDay) {
  return static_cast<double>(date.toJulianDay() - kOriginJulianDay) + static_cast<double>(msOfDay) / kMsPerDay;
}

bool takeChar(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

}  // namespace

double GameClock::current() const { return toClockDays(currentTime()); }

void resetGameClock(GameClock& clock) {
  clock.today = clock.now = clock.current();
  clock.offset = 0;
}

double toClockDays(const QDateTime& dt) { return daysOf(dt.date(), dt.time().msecsSinceStartOfDay()); }

std::optional<double> readClockText(std::string_view textIn) {
  const std::string trimmed = text::trim(textIn);
  std::string_view s = trimmed;
  auto day = takeDigits(s, 1, 2);
  if (!day || !takeChar(s, '/')) return std::nullopt;
  auto month = takeDigits(s, 1, 2);
  if (!month || !takeChar(s, '/')) return std::nullopt;
  auto year = takeDigits(s, 4, 4);
  if (!year) return std::nullopt;
  const QDate date(*year, *month, *day);
  if (!date.isValid()) return std::nullopt;

  int hour = 0, minute = 0, second = 0;
  if (!s.empty()) {
    if (!takeChar(s, ' ')) return std::nullopt;
    auto h = takeDigits(s, 1, 2);
    if (!h || !takeChar(s, ':')) return std::nullopt;
    auto m = takeDigits(s, 1, 2);
    if (!m) return std::nullopt;
    std::optional<int> sec = 0;
    if (takeChar(s, ':')) sec = takeDigits(s, 1, 2);
    if (!sec || !s.empty()) return std::nullopt;
    hour = *h, minute = *m, second = *sec;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  }
  // Straight from the fields: a local date-time would move a time that a
  // daylight-saving change skips.
  return daysOf(date, ((hour * 60 + minute) * 60 + second) * int64_t{1000});
}

std::string clockDateText(double days) {
  const QDate d = QDate::fromJulianDay(splitDays(days).day + kOriginJulianDay);
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day(), d.month(), d.year());
  return buf;
}

std::string clockTimeText(double days) { return secondsOfDayText(splitDays(days).ms / 1000); }

int64_t clockWholeSeconds(double days) {
  const DayAndMs t = splitDays(days);
  return t.day * kSecondsPerDay + t.ms / 1000;
}

namespace {

// Sets the reference date; the game clock then runs that far from the real
// one, so later setagora calls keep the game's calendar.
void sethoje(Runtime& rt) {
  GameClock& c = rt.clock;
  const double current = c.current();
  if (auto t = readClockText(valueParam(rt, 1))) {
    c.today = *t;
    c.offset = *t - current;
  } else {
    c.today = current;
    c.offset = 0;
  }
  c.now = c.today;
}

void setagora(Runtime& rt) {
  GameClock& c = rt.clock;
  const auto t = readClockText(valueParam(rt, 1));
  c.now = (t ? *t : c.current()) + c.offset;
}

std::optional<double> namedMoment(const GameClock& c, const std::string& which) {
  if (which == "hoje" || which == "today") return c.today;
  if (which == "agora" || which == "now") return c.now;
  return std::nullopt;
}

void showMoment(Runtime& rt, std::string (*format)(double)) {
  const int n = registerNumber(numberParam(rt, 1));
  const auto moment = namedMoment(rt.clock, valueParam(rt, 2));
  std::string& r = reg(rt, n);
  r = moment ? format(*moment) : std::string();
}

void showdate(Runtime& rt) { showMoment(rt, clockDateText); }
void showtime(Runtime& rt) { showMoment(rt, clockTimeText); }

// The distance between now and today, at the whole-second precision their
// texts show, so that the parts add up to what a player sees on the clocks.
struct Distance {
  int64_t days;
  int64_t seconds;  // into the last day
};

Distance clockDistance(const GameClock& c) {
  const int64_t d = std::llabs(clockWholeSeconds(c.now) - clockWholeSeconds(c.today));
  return {d / kSecondsPerDay, d % kSecondsPerDay};
}

// A register parameter of diftime that defaults to the one after the
// register before it.
int nextRegister(Runtime& rt, int param, int previous) {
  return text::parseIntOr(numberParam(rt, param), previous + 1);
}

int writeDays(Runtime& rt, const Distance& d) {
  const int a = registerNumber(numberParam(rt, 1));
  reg(rt, a) = std::to_string(d.days);
  return a;
}

void diftime(Runtime& rt) {
  const Distance d = clockDistance(rt.clock);
  const int a = writeDays(rt, d);
  reg(rt, nextRegister(rt, 2, a)) = secondsOfDayText(d.seconds);
}

void diftimeFields(Runtime& rt) {
  const Distance d = clockDistance(rt.clock);
  const int a = writeDays(rt, d);
  const int b = nextRegister(rt, 2, a);
  reg(rt, b) = std::to_string(d.seconds / 3600);
  const int c = nextRegister(rt, 3, b);
  reg(rt, c) = std::to_string(d.seconds / 60 % 60);
  reg(rt, nextRegister(rt, 4, c)) = std::to_string(d.seconds % 60);
}

const CommandEntry kCommands[] = {
    {"sethoje", sethoje},   {"settoday", sethoje},  {"setagora", setagora}, {"setnow", setagora},
    {"showdate", showdate}, {"showtime", showtime}, {"diftime", diftime},   {"diftime#", diftimeFields},
};

}  // namespace

void registerClockCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
