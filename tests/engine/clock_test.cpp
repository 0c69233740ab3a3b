#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/gameclock.h"
#include "support/gamefolder.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

// A game whose real clock stands still unless a test moves it.
struct ClockTest : ::testing::Test {
  ClockTest() {
    g.rt.clock.currentTime = [this] { return real; };
    resetGameClock(g.rt.clock);
  }
  std::string call(const std::string& word, const std::vector<std::string>& params) { return g.call(word, params); }
  // The game clock's today or now as "dd/mm/yyyy hh:mm:ss".
  static std::string shown(double days) { return clockDateText(days) + " " + clockTimeText(days); }
  std::string today() const { return shown(g.rt.clock.today); }
  std::string now() const { return shown(g.rt.clock.now); }
  void advance(qint64 seconds) { real = real.addSecs(seconds); }

  QDateTime real{QDate(2024, 3, 10), QTime(9, 0, 0)};
  LoadedGame g;
};

TEST_F(ClockTest, StartsWithTodayAndNowAtTheRealTime) {
  EXPECT_EQ(today(), "10/03/2024 09:00:00");
  EXPECT_EQ(now(), "10/03/2024 09:00:00");
  EXPECT_EQ(g.rt.clock.offset, 0);
}

TEST_F(ClockTest, CountsDaysFromTheEndOf1899WithTheTimeAsFraction) {
  EXPECT_EQ(readClockText("30/12/1899"), 0.0);
  EXPECT_EQ(readClockText("31/12/1899 12:00"), 1.5);
  EXPECT_EQ(toClockDays(QDateTime(QDate(1899, 12, 29), QTime(18, 0))), -0.25);
}

TEST_F(ClockTest, ReadsDayMonthYearWithAnOptionalTime) {
  const std::pair<std::string, std::string> readable[] = {
      {"05/11/1987", "05/11/1987 00:00:00"},
      {"5/1/1987", "05/01/1987 00:00:00"},
      {"29/02/2024 7:05", "29/02/2024 07:05:00"},
      {"31/12/1999 23:59:59", "31/12/1999 23:59:59"},
      {"01/01/2000 0:0:7", "01/01/2000 00:00:07"},
  };
  for (const auto& [in, out] : readable) {
    SCOPED_TRACE(in);
    const auto days = readClockText(in);
    ASSERT_TRUE(days.has_value());
    EXPECT_EQ(shown(*days), out);
  }
  for (const std::string in :
       {"", "amanh\xE3", "31/02/2024", "29/02/2023", "00/01/2024", "05/13/1987", "1987-11-05", "05/11/87",
        "005/11/1987", "05/11/19870", "05/11/1987 24:00", "05/11/1987 10:60", "05/11/1987 10:00:60",
        "05/11/1987 10", "05/11/1987 10:", "05/11/1987 10:00:00 x", "05/11/1987T10:00", "05/11/1987  10:00"}) {
    SCOPED_TRACE(in);
    EXPECT_FALSE(readClockText(in).has_value());
  }
}

TEST_F(ClockTest, TimesDropTheFractionOfASecond) {
  EXPECT_EQ(shown(toClockDays(QDateTime(QDate(2024, 3, 10), QTime(9, 0, 0, 999)))), "10/03/2024 09:00:00");
  EXPECT_EQ(shown(toClockDays(QDateTime(QDate(2024, 3, 10), QTime(23, 59, 59, 999)))), "10/03/2024 23:59:59");
}

TEST_F(ClockTest, SethojeMovesTheGameCalendarAndSetagoraKeepsItRunning) {
  call("sethoje", {"05/11/1987 09:00"});
  EXPECT_EQ(today(), "05/11/1987 09:00:00");
  EXPECT_EQ(now(), "05/11/1987 09:00:00");

  advance(90 * 60);
  call("setagora", {});
  EXPECT_EQ(now(), "05/11/1987 10:30:00");
  EXPECT_EQ(today(), "05/11/1987 09:00:00");

  // An explicit real date-time is moved by the same offset, as is one that
  // does not read (the real clock is used then).
  call("setagora", {"10/03/2024 12:00"});
  EXPECT_EQ(now(), "05/11/1987 12:00:00");
  advance(24 * 3600);
  call("setnow", {"no dia seguinte"});
  EXPECT_EQ(now(), "06/11/1987 10:30:00");
}

TEST_F(ClockTest, SethojeWithoutAReadableDateFollowsTheRealClockAgain) {
  for (const std::string param : {"", "32/01/2000", "ontem"}) {
    SCOPED_TRACE(param);
    call("sethoje", {"05/11/1987"});
    advance(3600);
    call("settoday", {param});
    EXPECT_EQ(today(), shown(toClockDays(real)));
    EXPECT_EQ(now(), today());
    EXPECT_EQ(g.rt.clock.offset, 0);
    advance(60);
    call("setagora", {});
    EXPECT_EQ(now(), shown(toClockDays(real)));
  }
}

TEST_F(ClockTest, SethojeReadsANamedRegister) {
  g.rt.state.registerNames.at(9) = "data";
  g.rt.state.registers.at(9) = "24/12/2001 20:15";
  call("sethoje", {"$data"});
  EXPECT_EQ(today(), "24/12/2001 20:15:00");
}

struct ShowCase {
  std::string word;
  std::vector<std::string> params;
  int reg;
  std::string value;
};

TEST_F(ClockTest, ShowdateAndShowtimeWriteTodayOrNowIntoTheRegister) {
  g.rt.state.registerNames.at(40) = "quando";
  call("sethoje", {"05/01/1987 07:08:09"});
  advance(((24 + 2) * 60 + 3) * 60 + 4);
  call("setagora", {});
  ASSERT_EQ(now(), "06/01/1987 09:11:13");

  const ShowCase cases[] = {
      {"showdate", {"3", "hoje"}, 3, "05/01/1987"},
      {"showdate", {"3", "today"}, 3, "05/01/1987"},
      {"showdate", {"3", "agora"}, 3, "06/01/1987"},
      {"showdate", {"3", "now"}, 3, "06/01/1987"},
      {"showtime", {"3", "hoje"}, 3, "07:08:09"},
      {"showtime", {"3", "today"}, 3, "07:08:09"},
      {"showtime", {"3", "agora"}, 3, "09:11:13"},
      {"showtime", {"3", "now"}, 3, "09:11:13"},
      {"showdate", {"", "hoje"}, 0, "05/01/1987"},
      {"showtime", {"x", "agora"}, 0, "09:11:13"},
      {"showtime", {"$quando", "hoje"}, 40, "07:08:09"},
      {"showdate", {"3", "HOJE"}, 3, ""},
      {"showdate", {"3", "ontem"}, 3, ""},
      {"showtime", {"3", ""}, 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word + " " + c.params[0] + "," + c.params[1]);
    g.rt.state.registers.assign(g.rt.state.registers.size(), "old");
    call(c.word, c.params);
    EXPECT_EQ(g.reg(c.reg), c.value);
    EXPECT_EQ(std::count(g.rt.state.registers.begin(), g.rt.state.registers.end(), "old"),
              static_cast<long>(g.rt.state.registers.size()) - 1);
  }
}

struct Distance {
  QDateTime today, now;
  std::string days, time, hours, minutes, seconds;
};

QDateTime at(int d, int m, int y, int hh, int mm, int ss, int ms = 0) {
  return QDateTime(QDate(y, m, d), QTime(hh, mm, ss, ms));
}

TEST_F(ClockTest, DiftimeSplitsTheDistanceBetweenNowAndToday) {
  const Distance cases[] = {
      {at(5, 11, 1987, 9, 0, 0), at(6, 11, 1987, 11, 0, 0), "1", "02:00:00", "2", "0", "0"},
      {at(10, 3, 2024, 12, 0, 0), at(8, 3, 2024, 9, 30, 15), "2", "02:29:45", "2", "29", "45"},
      {at(31, 12, 1999, 23, 59, 59), at(1, 1, 2000, 0, 0, 1), "0", "00:00:02", "0", "0", "2"},
      {at(1, 1, 2000, 8, 0, 0), at(1, 1, 2000, 8, 0, 0), "0", "00:00:00", "0", "0", "0"},
      {at(28, 2, 2024, 10, 0, 0), at(1, 3, 2024, 10, 0, 0), "2", "00:00:00", "0", "0", "0"},
      // Each moment counts in whole seconds, as its clock shows it.
      {at(1, 1, 2000, 10, 0, 0, 900), at(1, 1, 2000, 10, 0, 1, 100), "0", "00:00:01", "0", "0", "1"},
      {at(1, 1, 2000, 10, 0, 0, 100), at(1, 1, 2000, 10, 0, 0, 900), "0", "00:00:00", "0", "0", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.today.toString() + " / " + c.now.toString()).toStdString());
    g.rt.clock.today = toClockDays(c.today);
    g.rt.clock.now = toClockDays(c.now);
    g.rt.state.registers.assign(g.rt.state.registers.size(), "old");
    call("diftime", {"5"});
    EXPECT_EQ(g.reg(5), c.days);
    EXPECT_EQ(g.reg(6), c.time);
    EXPECT_EQ(g.reg(7), "old");
    call("diftime#", {"5"});
    EXPECT_EQ(g.reg(5), c.days);
    EXPECT_EQ(g.reg(6), c.hours);
    EXPECT_EQ(g.reg(7), c.minutes);
    EXPECT_EQ(g.reg(8), c.seconds);
  }
}

struct DiftimeRegisters {
  std::vector<std::string> params;
  std::vector<int> regs;  // days, hours, minutes, seconds
};

TEST_F(ClockTest, DiftimeRegistersFollowTheOneBeforeWhenNotGiven) {
  g.rt.state.registerNames.at(20) = "dias";
  g.rt.state.registerNames.at(30) = "horas";
  g.rt.clock.today = toClockDays(at(1, 1, 2000, 0, 0, 0));
  g.rt.clock.now = toClockDays(at(4, 1, 2000, 5, 6, 7));
  const DiftimeRegisters cases[] = {
      {{"5"}, {5, 6, 7, 8}},
      {{""}, {0, 1, 2, 3}},
      {{"x", "y"}, {0, 1, 2, 3}},
      {{"5", "9"}, {5, 9, 10, 11}},
      {{"5", "", "12"}, {5, 6, 12, 13}},
      {{"5", "9", "2", "40"}, {5, 9, 2, 40}},
      {{"$dias", "$horas"}, {20, 30, 31, 32}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.params));
    g.rt.state.registers.assign(g.rt.state.registers.size(), "old");
    call("diftime#", c.params);
    EXPECT_EQ(g.reg(c.regs[0]), "3");
    EXPECT_EQ(g.reg(c.regs[1]), "5");
    EXPECT_EQ(g.reg(c.regs[2]), "6");
    EXPECT_EQ(g.reg(c.regs[3]), "7");

    g.rt.state.registers.assign(g.rt.state.registers.size(), "old");
    call("diftime", c.params);
    EXPECT_EQ(g.reg(c.regs[0]), "3");
    EXPECT_EQ(g.reg(c.regs[1]), "05:06:07");
    EXPECT_EQ(std::count(g.rt.state.registers.begin(), g.rt.state.registers.end(), "old"),
              static_cast<long>(g.rt.state.registers.size()) - 2);
  }
}

TEST_F(ClockTest, ClockCommandsFromAScriptAndRegistersOutsideTheList) {
  g.script("a", {"sethoje 24/12/2001 20:15", "showdate 1,hoje", "showtime 2,agora", "diftime 3"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "24/12/2001");
  EXPECT_EQ(g.reg(2), "20:15:00");
  EXPECT_EQ(g.reg(3), "0");
  EXPECT_EQ(g.reg(4), "00:00:00");

  for (const std::string line : {"showdate 251,hoje", "showtime -1,agora", "diftime 250", "diftime# 248"}) {
    SCOPED_TRACE(line);
    g.host.errors.clear();
    g.script("b", {line});
    EXPECT_FALSE(g.freshRun("b"));
    EXPECT_EQ(g.host.errors.size(), 1u);
  }
}

}  // namespace
