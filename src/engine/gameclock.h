#pragma once
// The game clock: a reference date "today", the game's present "now", and
// the offset of today from the real clock when it was set. Values are days
// since 30/12/1899 on the local wall clock, with the time of day as the
// fraction, so that differences of dates are plain subtractions.
#include <QDateTime>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvant {

struct GameClock {
  double today = 0;
  double now = 0;
  double offset = 0;
  // Where the real date and time come from; tests put a fixed clock here.
  std::function<QDateTime()> currentTime = [] { return QDateTime::currentDateTime(); };

  // The real clock in days.
  double current() const;
};

// The start of a game session: today and now are the real date and time, and
// the game clock runs with the real one.
void resetGameClock(GameClock& clock);

// Days since 30/12/1899 for a local date and time.
double toClockDays(const QDateTime& dt);

// "dd/mm/yyyy", optionally followed by a blank and "hh:mm" or "hh:mm:ss";
// one-digit fields are accepted. Anything else gives nothing.
std::optional<double> readClockText(std::string_view text);

// The date as "dd/mm/yyyy" and the time of day as "hh:mm:ss" (24-hour). The
// value is rounded to the millisecond first, then the fraction of a second
// is dropped.
std::string clockDateText(double days);
std::string clockTimeText(double days);

// The moment as date and time texts show it: whole seconds since the origin.
int64_t clockWholeSeconds(double days);

}  // namespace corvant
