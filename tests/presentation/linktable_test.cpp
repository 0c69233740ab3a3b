#include <gtest/gtest.h>

#include <QImage>

#include "engine/commandtable.h"
#include "engine/scripterror.h"
#include "presentation/linktable.h"
#include "support/gamefolder.h"

namespace corvant {
}

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

struct GroupCase {
  const char* word;
  LinkGroup group;
  int first, last;
};

const GroupCase kGroups[] = {
    {"tel", LinkGroup::Screen, 0, 19},       {"md4", LinkGroup::Screen, 0, 19},
    {"fnc", LinkGroup::Panel, 20, 39},       {"pan", LinkGroup::Background, 40, 59},
    {"md3", LinkGroup::Scrolling, 60, 99},   {"vsr", LinkGroup::Viewer, 100, 119},
    {"jn1", LinkGroup::Window1, 120, 139},   {"jn2", LinkGroup::Window2, 140, 159},
    {"jn3", LinkGroup::Window3, 160, 179},
};

LinkRecord link(const std::string& target, int x = 0, int y = 0, int w = 0, int h = 0) {
  LinkRecord r;
  r.target = target;
  r.x = x;
  r.y = y;
  r.width = w;
  r.height = h;
  return r;
}

std::vector<int> activeIn(const LinkTable& t, int first, int last) {
  std::vector<int> on;
  for (int i = first; i <= last; ++i)
    if (t.records[static_cast<size_t>(i)].active) on.push_back(i);
  return on;
}

// Every record active and every counter moved off its group's start.
void fillAndAdvance(LinkTable& t) {
  for (auto& r : t.records) r.active = true;
  for (int g = 0; g < kLinkGroupCount; ++g) t.add(LinkGroup(g), link("x"));
}

}  // namespace

TEST(LinkTableGroups, WordsNameTheirRangesAndCountersWrapInsideTheGroup) {
  for (const auto& c : kGroups) {
    SCOPED_TRACE(c.word);
    ASSERT_EQ(linkGroupByWord(c.word), c.group);
    const LinkRange r = linkRange(c.group);
    EXPECT_EQ(r.first, c.first);
    EXPECT_EQ(r.last, c.last);

    LinkTable t;
    EXPECT_EQ(t.nextSlot(c.group), c.first);
    for (int i = c.first; i <= c.last; ++i) {
      t.add(c.group, link("t" + std::to_string(i)));
      EXPECT_TRUE(t.records[static_cast<size_t>(i)].active);
    }
    EXPECT_EQ(t.nextSlot(c.group), c.first);
    // One more than the group holds: the first record is reused, the next one kept.
    t.add(c.group, link("again"));
    EXPECT_EQ(t.records[static_cast<size_t>(c.first)].target, "again");
    EXPECT_EQ(t.records[static_cast<size_t>(c.first + 1)].target, "t" + std::to_string(c.first + 1));
    EXPECT_EQ(t.nextSlot(c.group), c.first + 1);
    // Nothing outside the group was touched.
    if (c.first > 0) {
      EXPECT_TRUE(activeIn(t, 0, c.first - 1).empty());
    }
    if (c.last < LinkTable::kRecords - 1) {
      EXPECT_TRUE(activeIn(t, c.last + 1, LinkTable::kRecords - 1).empty());
    }
  }
  for (const char* other : {"", "TEL", "jn4", "map", "tel "}) EXPECT_FALSE(linkGroupByWord(other)) << other;
}

TEST(LinkTableGroups, AddedFieldsReplaceTheWholeRecord) {
  LinkTable t;
  LinkRecord full = link("old", 1, 2, 3, 4);
  full.pressedPicture = "p.png";
  full.kind = "txt";
  t.add(LinkGroup::Panel, full);
  for (int i = 0; i < 20; ++i) t.add(LinkGroup::Panel, link("new"));
  const LinkRecord& r = t.records[20];
  EXPECT_EQ(r.target, "new");
  EXPECT_EQ(r.pressedPicture, "");
  EXPECT_EQ(r.kind, "");
  EXPECT_EQ(r.x, 0);
}

TEST(LinkTableReset, ModelSwitchKeepsBackgroundAndWindowLinks) {
  LinkTable t;
  fillAndAdvance(t);
  t.reset();
  EXPECT_TRUE(activeIn(t, 0, 39).empty());
  EXPECT_EQ(activeIn(t, 40, 59).size(), 20u);
  EXPECT_TRUE(activeIn(t, 60, 119).empty());
  EXPECT_EQ(activeIn(t, 120, 179).size(), 60u);
  for (auto g : {LinkGroup::Screen, LinkGroup::Panel, LinkGroup::Background, LinkGroup::Scrolling, LinkGroup::Viewer})
    EXPECT_EQ(t.nextSlot(g), linkRange(g).first);
  for (auto g : {LinkGroup::Window1, LinkGroup::Window2, LinkGroup::Window3})
    EXPECT_EQ(t.nextSlot(g), linkRange(g).first + 1);
}

TEST(LinkTableReset, ClearingAllStopsAtTheWindowGroupsAndOneGroupLeavesTheOthers) {
  LinkTable t;
  fillAndAdvance(t);
  t.clearAll();
  EXPECT_TRUE(activeIn(t, 0, 119).empty());
  EXPECT_EQ(activeIn(t, 120, 179).size(), 60u);
  EXPECT_EQ(t.nextSlot(LinkGroup::Background), 40);
  EXPECT_EQ(t.nextSlot(LinkGroup::Window2), 141);

  LinkTable u;
  fillAndAdvance(u);
  u.clearGroup(LinkGroup::Scrolling);
  EXPECT_TRUE(activeIn(u, 60, 99).empty());
  EXPECT_EQ(activeIn(u, 0, 59).size(), 60u);
  EXPECT_EQ(activeIn(u, 100, 179).size(), 80u);
  EXPECT_EQ(u.nextSlot(LinkGroup::Scrolling), 60);
  EXPECT_EQ(u.nextSlot(LinkGroup::Viewer), 101);
}

TEST(LinkTableHitTest, EdgesBelongToTheLinkAndLaterRecordsWin) {
  LinkTable t;
  t.add(LinkGroup::Screen, link("a", 10, 20, 30, 40));  // record 0: 10..40 x 20..60
  struct {
    int x, y, hit;
  } cases[] = {
      {10, 20, 0}, {40, 60, 0}, {40, 20, 0}, {10, 60, 0}, {25, 40, 0},
      {9, 20, -1}, {41, 60, -1}, {10, 61, -1}, {40, 19, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(t.hitTest(LinkGroup::Screen, c.x, c.y), c.hit) << c.x << "," << c.y;

  t.add(LinkGroup::Screen, link("b", 30, 50, 20, 20));  // record 1 overlaps the corner
  EXPECT_EQ(t.hitTest(LinkGroup::Screen, 35, 55), 1);
  EXPECT_EQ(t.hitTest(LinkGroup::Screen, 15, 25), 0);
  t.records[1].active = false;
  EXPECT_EQ(t.hitTest(LinkGroup::Screen, 35, 55), 0);
  // A zero-size link still covers its corner pixel.
  t.add(LinkGroup::Screen, link("c", 100, 100));
  EXPECT_EQ(t.hitTest(LinkGroup::Screen, 100, 100), 2);
  EXPECT_EQ(t.hitTest(LinkGroup::Screen, 101, 100), -1);
  // Other groups do not see the screen's links.
  EXPECT_EQ(t.hitTest(LinkGroup::Panel, 15, 25), -1);
}

namespace {

struct LinkCommandsTest : ::testing::Test {
  LinkTable& links() { return g.rt.state.links; }
  LoadedGame g;
};

}  // namespace

TEST_F(LinkCommandsTest, LinksOffAndOnCoverTheNamedRecordsAndTraceTheWord) {
  struct {
    const char* word;
    int first, last;
  } cases[] = {{"", 0, 99}, {"tel", 0, 19}, {"md4", 0, 19}, {"fnc", 20, 39}, {"pan", 40, 59}, {"md3", 60, 99},
               {"vsr", 100, 119}, {"jn1", 120, 139}, {"jn2", 140, 159}, {"jn3", 160, 179}, {"zzz", 0, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    LinkTable& t = links();
    t = LinkTable();
    t.add(LinkGroup::Panel, link("x"));
    EXPECT_EQ(g.call("linkson", {c.word}), c.word);
    std::vector<int> expected;
    for (int i = c.first; i <= c.last; ++i) expected.push_back(i);
    if (c.first > 20 || c.last < 20) expected.insert(std::lower_bound(expected.begin(), expected.end(), 20), 20);
    EXPECT_EQ(activeIn(t, 0, 179), expected);
    EXPECT_EQ(t.nextSlot(LinkGroup::Panel), 21);

    for (auto& r : t.records) r.active = true;
    EXPECT_EQ(g.call("linksoff", {c.word}), c.word);
    EXPECT_EQ(activeIn(t, 0, 179).size(), 180u - static_cast<size_t>(c.last - c.first + 1));
    if (c.last >= c.first) {
      EXPECT_TRUE(activeIn(t, c.first, c.last).empty());
    }
  }
  // A record switched on that was never filled is a zero-size link at the origin.
  links() = LinkTable();
  g.call("linkson", {"tel"});
  EXPECT_EQ(links().hitTest(LinkGroup::Screen, 0, 0), 19);
}

TEST_F(LinkCommandsTest, ZeraLinksResetsOneGroupOrAllButTheWindows) {
  struct {
    const char* word;
    int first, last;  // records cleared
  } cases[] = {{"", 0, 119}, {"tel", 0, 19}, {"fnc", 20, 39}, {"pan", 40, 59},
               {"md3", 60, 99}, {"vsr", 100, 119}, {"md4", 0, -1}, {"jn1", 0, -1}};
  for (const char* word : {"zeralinks", "zeralinks="}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(word) + " " + c.word);
      links() = LinkTable();
      fillAndAdvance(links());
      g.call(word, {c.word});
      const size_t cleared = static_cast<size_t>(c.last - c.first + 1);
      EXPECT_EQ(activeIn(links(), 0, 179).size(), 180u - cleared);
      for (int gi = 0; gi < kLinkGroupCount; ++gi) {
        const LinkRange r = linkRange(LinkGroup(gi));
        const bool inside = r.first >= c.first && r.last <= c.last;
        EXPECT_EQ(links().nextSlot(LinkGroup(gi)), inside ? r.first : r.first + 1) << gi;
      }
    }
  }
}

TEST_F(LinkCommandsTest, GetClickAndGetXYStoreIntoNumberedOrNamedRegisters) {
  g.rt.state.registerNames.at(7) = "px";
  g.rt.state.lastPressX = 10;
  g.rt.state.lastPressY = 20;
  links().insideX = 3;
  links().insideY = -4;
  for (const char* word : {"getclick", "getclick="}) {
    g.rt.state.registers.at(5).clear();
    g.call(word, {"$px", "5"});
    EXPECT_EQ(g.reg(7), "10");
    EXPECT_EQ(g.reg(5), "20");
  }
  g.call("getxy", {"8", "abc"});
  EXPECT_EQ(g.reg(8), "3");
  EXPECT_EQ(g.reg(0), "-4");  // a number that does not convert means register 0
  EXPECT_THROW(g.call("getxy", {"9999", "1"}), ScriptError);
}

TEST_F(LinkCommandsTest, MonitorAreasTraceTheirPartsAndOnlyModelFourAddsThem) {
  QImage pic(16, 8, QImage::Format_RGB32);
  pic.fill(Qt::red);
  ASSERT_TRUE(pic.save(g.folder.path() + "porta.png"));
  struct {
    const char* word;
    std::string model;
    std::vector<std::string> params;
    std::string trace;
    bool added;
  } cases[] = {
      {"click", "1", {"Entrar agora", "sala"}, "Entra,sala", false},
      {"tic", "1", {"porta.png", "sala"}, "porta.png,sala", false},
      {"click", "4", {"falta.png", "sala", "1", "2"}, "falta.png <--- arquivo n\xE3o existe", false},
      {"tic", "4", {"porta.png", "sala", "3", "4", "50", "60", "", "down.png", "clk.wav"},
       "porta.png,sala,3,4,50,60,,down.png,clk.wav", true},
      {"click", "4", {"porta.png", "", "x", "", "5", "6", "11"}, "porta.png,,0,0,5,6,11,,", true},
      {"click", "4", {"", "", "7", "8", "9", "10"}, ",,7,8,9,10,,,", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace);
    links() = LinkTable();
    g.rt.state.modelo = c.model;
    EXPECT_EQ(g.call(c.word, c.params), c.trace);
    EXPECT_EQ(links().nextSlot(LinkGroup::Screen), c.added ? 1 : 0);
    EXPECT_EQ(links().records[0].active, c.added);
  }
  // The last case: no target and no cursor type gives cursor 0, a target gives 1.
  EXPECT_EQ(links().records[0].cursor, 0);
  g.call("click", {"", "sala", "7", "8", "9", "10"});
  EXPECT_EQ(links().records[1].cursor, 1);
  EXPECT_EQ(links().records[1].target, "sala");
  EXPECT_EQ(links().records[1].x, 7);
  EXPECT_EQ(links().records[1].height, 10);
}

TEST_F(LinkCommandsTest, MonitorTextTakesItsMeasuredSize) {
  g.rt.state.modelo = "4";
  const std::string trace = g.call("click", {"Abrir", "sala", "1", "2", "0", "0", "2", "p.png", "s.wav"});
  const LinkRecord& r = links().records[0];
  EXPECT_GT(r.width, 0);
  EXPECT_GT(r.height, 0);
  EXPECT_EQ(trace, "Abrir,sala,1,2," + std::to_string(r.width) + "," + std::to_string(r.height) + ",2,p.png,s.wav");
  EXPECT_EQ(r.cursor, 2);
  EXPECT_EQ(r.pressedPicture, "p.png");
  EXPECT_EQ(r.pressSound, "s.wav");
}

TEST_F(LinkCommandsTest, LinkPainelFillsTheBackgroundGroupInRingOrder) {
  for (const char* word : {"linkpainel=", "lnkpan=", "linkpan="}) {
    SCOPED_TRACE(word);
    links() = LinkTable();
    for (int i = 0; i < 20; ++i) g.call(word, {"", "t" + std::to_string(i), "1", "2", "3", "4", "5"});
    g.call(word, {"", "", "6", "7", "8", "9", "5", "down.png", "clk.wav"});
    const LinkRecord& r = links().records[40];
    EXPECT_TRUE(r.active);
    EXPECT_EQ(r.target, "");
    EXPECT_EQ(r.cursor, 5);
    EXPECT_EQ(r.x, 6);
    EXPECT_EQ(r.y, 7);
    EXPECT_EQ(r.width, 8);
    EXPECT_EQ(r.height, 9);
    EXPECT_EQ(r.pressedPicture, "down.png");
    EXPECT_EQ(r.pressSound, "clk.wav");
    // A link with a target always shows the drag cursor.
    EXPECT_EQ(links().records[41].cursor, 1);
    EXPECT_EQ(links().records[41].target, "t1");
    EXPECT_EQ(links().nextSlot(LinkGroup::Background), 41);
  }
  // Empty numbers count as 0; text that is no number ends the run.
  g.call("linkpainel=", {"", "", "", "", "1", "1"});
  EXPECT_EQ(links().records[41].x, 0);
  EXPECT_THROW(g.call("linkpainel=", {"", "", "dez"}), ScriptError);
  // A text link without a size takes the text's.
  g.call("linkpainel=", {"Sair", "fim", "1", "1"});
  EXPECT_GT(links().records[42].width, 0);
  EXPECT_GT(links().records[42].height, 0);
}
