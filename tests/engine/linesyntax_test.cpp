#include <gtest/gtest.h>

#include "engine/linesyntax.h"
#include "engine/scripterror.h"

using namespace corvant;

TEST(LineSyntaxClassify, ByFirstCharacterOfTheTrimmedLine) {
  struct Case {
    const char* line;
    LineKind kind;
    const char* text;
  } cases[] = {
      {"", LineKind::Empty, ""},
      {" \t ", LineKind::Empty, ""},
      {"  :inicio  ", LineKind::Label, ":inicio"},
      {"/ comment", LineKind::Comment, "/ comment"},
      {"; comment", LineKind::Comment, "; comment"},
      {"'Hello'", LineKind::TextBlock, "'Hello'"},
      {"|  'Hello'", LineKind::TextBlock, "'Hello'"},
      {"|:label", LineKind::Command, ":label"},  // "|" never makes a label
      {"|/x", LineKind::Command, "/x"},
      {"||x", LineKind::Command, "|x"},
      {"reg= 1,2", LineKind::Command, "reg= 1,2"},
  };
  for (const auto& c : cases) {
    auto got = classifyLine(c.line);
    EXPECT_EQ(got.kind, c.kind) << c.line;
    EXPECT_EQ(got.text, c.text) << c.line;
  }
}

namespace {
std::vector<std::string> registers() {
  std::vector<std::string> r(11);
  r[0] = "zero";
  r[3] = "three";
  r[10] = "ten";
  return r;
}
}  // namespace

TEST(LineSyntaxSplit, WordAndParameters) {
  struct Case {
    const char* line;
    const char* word;
    std::vector<std::string> params;
  } cases[] = {
      {"pausa=", "pausa=", {}},
      {"pausa=5", "pausa=5", {}},                  // no blank: one unknown word
      {"pausa\t5", "pausa\t5", {}},                // a tab does not separate
      {"reg= 1,abc,def", "reg=", {"1", "abc", "def"}},
      {"goto  fim", "goto", {" fim"}},             // parameters are not trimmed
      {"x a,,c", "x", {"a", "", "c"}},
      {"x a,", "x", {"a"}},
      {"x 1,2,3,4,5,6,7,8,9,10,11", "x", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},  // the rest after P9 is ignored,
      {"x #3,#,#abc,#10,#11,#-1", "x", {"three", "zero", "zero", "10", "11", "-1"}},
      {"msg= a, b, c", "msg=", {"a, b, c"}},
      {"msg+ #3", "msg+", {"three"}},
      {"msg= #10", "msg=", {"ten"}},               // the highest register is allowed here
      {"x $name", "x", {"$name"}},                // names are replaced by each command
  };
  for (const auto& c : cases) {
    auto split = splitCommand(c.line, registers(), 10);
    EXPECT_EQ(split.word, c.word) << c.line;
    std::vector<std::string> params(split.params.begin(), split.params.end());
    std::vector<std::string> expected = c.params;
    expected.resize(9);
    EXPECT_EQ(params, expected) << c.line;
  }
}

TEST(LineSyntaxSplit, MessageRegisterOutsideTheRangeFailsTheRun) {
  EXPECT_THROW(splitCommand("msg= #11", registers(), 10), ScriptError);
  EXPECT_THROW(splitCommand("msg+ #-1", registers(), 10), ScriptError);
}

TEST(LineSyntaxSplit, ReferenceToARegisterTheFileDidNotHoldFailsInsteadOfReadingPastTheList) {
  std::vector<std::string> shortList(3);
  EXPECT_THROW(splitCommand("x #5", shortList, 10), ScriptError);
}

TEST(LineSyntaxMarkers, ByScreenModel) {
  struct Case {
    char marker;
    const char* model;
    const char* expected;
  } cases[] = {
      {'\xA7', "0", "a\r\nb"}, {'\xA7', "1", "a\r\nb"}, {'\xA7', "2", "a<br>b"}, {'\xA7', "3", "a\xA7" "b"},
      {'\xA7', "4", "a\xA7" "b"}, {'\xA7', "9", "ab"},   {'~', "0", "a b"},      {'~', "2", "a&nbsp;b"},
      {'~', "4", "a b"},         {'^', "2", "a,b"},      {'^', "x", "a,b"},
  };
  for (const auto& c : cases) {
    std::string in = std::string("a") + c.marker + "b";
    EXPECT_EQ(substituteMarker(c.marker, in, c.model), c.expected) << c.marker << " model " << c.model;
  }
  EXPECT_EQ(substituteAllMarkers("a\xA7~^", "2"), "a<br>&nbsp;,");
}

TEST(LineSyntaxLinkAddress, PartsInAnyOrderFirstOccurrenceWins) {
  struct Case {
    const char* address;
    const char* script;
    LinkParams expected;
  } cases[] = {
      {"sala", "sala", {"old", "", "", "", ""}},
      {"sala&Prm=abc", "sala", {"abc", "", "", "", ""}},
      {"sala&Pty=5&Prm=x y&Ptx=4", "sala", {"x y", "", "", "4", "5"}},
      {"s&Prx=1&Prx=2", "s", {"old", "1", "", "", ""}},
      {":lbl&Pry=&Prm=q", ":lbl", {"q", "", "", "", ""}},
      {"a&b&Prm=z", "a", {"z", "", "", "", ""}},
      {"s&prm=lower", "s", {"old", "", "", "", ""}},  // exact case
  };
  for (const auto& c : cases) {
    LinkParams link;
    link.prm = "old";
    EXPECT_EQ(readLinkAddress(c.address, link), c.script) << c.address;
    EXPECT_EQ(link.prm, c.expected.prm) << c.address;
    EXPECT_EQ(link.prx, c.expected.prx) << c.address;
    EXPECT_EQ(link.pry, c.expected.pry) << c.address;
    EXPECT_EQ(link.ptx, c.expected.ptx) << c.address;
    EXPECT_EQ(link.pty, c.expected.pty) << c.address;
  }
}

TEST(LineSyntaxColour, BlueInTheHighByte) {
  struct Case {
    const char* text;
    uint32_t value;
  } cases[] = {
      {"FF8000", 0x0080FF}, {"000000", 0}, {"0000ff", 0xFF0000}, {"123456789", 0x563412}, {"FF80", 0x80FF},
      {"A", 0xA},
  };
  for (const auto& c : cases) EXPECT_EQ(colourValue(c.text), c.value) << c.text;
  EXPECT_EQ(colourToRgb(colourValue("FF8000")), 0xFFFF8000u);
  for (const char* bad : {"", "GG0000", "12 456", "-12345"}) EXPECT_THROW(colourValue(bad), ScriptError) << bad;
}
