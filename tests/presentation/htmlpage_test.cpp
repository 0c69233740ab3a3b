#include <gtest/gtest.h>

#include "presentation/htmlpage.h"
#include "presentation/htmlview.h"
#include "support/gamefolder.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

struct PageTest : ::testing::Test {
  PageTest() {
    GameState& s = g.rt.state;
    s.paths.saveName = "minhaaventura";
    s.paths.fileBase = "file:///games/demo/";
    TextSettings& t = s.text;
    t.fontFace = "Verdana";
    t.fontSize = 12;
    t.textColour = "FFFFFF";
    t.backgroundColour = "000080";
    t.linkColour = "FFFF00";
    t.visitedColour = "00FF00";
  }
  std::vector<std::string>& page() { return g.rt.state.pageBuffer; }
  LoadedGame g;
};

}  // namespace

TEST_F(PageTest, HeaderCarriesTheTextSettingsAndTheTrailerClosesTheStyles) {
  GameState& s = g.rt.state;
  s.text.bold = s.text.underline = true;
  html::rebuildPage(s);
  const std::vector<std::string> header = {
      "<!DOCTYPE html>",
      "<head>",
      "<title>Corvant: minhaaventura</title>",
      "<meta http-equiv=\"X-UA-Compatible\" content=\"ie=edge\">",
      "</head>",
      "<body bgcolor=#000080 text=#FFFFFF link=#FFFF00 vlink=#00FF00 alink=#00FF00",
      " alink=#FFFF00 leftmargin=10 topmargin=0 marginwidth=0 marginheight=0 >",
      "<div style=\"margin-right:10px;\">",
      "<font face=\"Verdana\" color=#FFFFFF style=\"font-size:18px; \"><b><u>",
  };
  EXPECT_EQ(page(), header);
  html::completePage(s);
  const std::vector<std::string> trailer(page().end() - 4, page().end());
  EXPECT_EQ(trailer, (std::vector<std::string>{"</b></u>", "</font></div>", "</html>", "</body>"}));

  // Without styles there is no closer line; a second completion without a
  // rebuild follows the first trailer.
  s.text.bold = s.text.underline = false;
  s.text.fontSize = 9;
  html::rebuildPage(s);
  EXPECT_EQ(page().back(), "<font face=\"Verdana\" color=#FFFFFF style=\"font-size:13px; \">");
  html::completePage(s);
  page().push_back("second run");
  html::completePage(s);
  const std::vector<std::string> tail(page().end() - 7, page().end());
  EXPECT_EQ(tail, (std::vector<std::string>{"</font></div>", "</html>", "</body>", "second run", "</font></div>",
                                            "</html>", "</body>"}));
  EXPECT_EQ(html::pageFileText(s).substr(0, 17), "<!DOCTYPE html>\r\n");
}

TEST_F(PageTest, MessagesBecomePageLinesWithTheirLinks) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"Go @north|n| now", {"Go <a href=Scp=n>north</a> now"}},
      {"Go @north|n|", {"Go @north|n|"}},  // the last word is never converted
      {"See @map.jpg|m| here", {"See <a href=Scp=m><img src=minhaaventura/map.jpg border=0></a> here"}},
      {"Take the @old key|key&Prm=1| now", {"Take the <a href=Scp=key&Prm=1>old key</a> now"}},
      {"one two<br> three", {"one ", "two<br> three"}},
      {"one \xA7two three", {"one <br>", "two three"}},
      {"  alone  ", {"alone"}},
      {"", {""}},
  };
  for (const auto& c : cases) {
    page().clear();
    html::convertMessage(g.rt.state, c.text);
    EXPECT_EQ(page(), c.lines) << c.text;
  }
}

TEST_F(PageTest, InlineElementsOfTextBlocks) {
  GameState& s = g.rt.state;
  s.registers[3] = "ouro";
  s.registers[4] = "1234.5";
  s.registers[5] = "muito";
  struct Case {
    const char* piece;
    const char* html;
  } cases[] = {
      {"#lnk,sala,Entrar", "<a href= file:///games/demo/Scp=sala>Entrar</a>"},
      {"#shp,porta.png,40,,left", "<img src=file:///games/demo/porta.png width=40 align=left border=0>"},
      {"#fig,porta.png,sala,40,30", "<a href= file:///games/demo/Scp=sala><img src=file:///games/demo/porta.png width=40 height=30 border=0></a>"},
      {"#url,http://a.b,site", "<a href= http://a.b target=_blank>site</a>"},
      {"#web,http://a.b", "<a href= http://a.b target=_blank></a>"},
      {"#reg?,3", "ouro"},
      {"#reg?,x", ""},
      {"#reg?,9999", ""},
      {"#reg$,4", "1,234.5"},
      {"#reg$,5", ""},
      {"#3", "ouro"},
      {"#9999", ""},
      {"#other,1", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(html::inlineElement(s, c.piece), c.html) << c.piece;

  // In a text block of model "2" the element lines join the text.
  s.modelo = "2";
  page().clear();
  g.script("bloco", {"'Voce tem", "#3", "moedas.'", "/"});
  ASSERT_TRUE(g.freshRun("bloco"));
  EXPECT_NE(std::find(page().begin(), page().end(), "Voce tem ouro moedas."), page().end());
}

TEST_F(PageTest, PageAddressesStartRunsWithTheirLinkParameters) {
  EXPECT_EQ(html::scriptFromAddress("file:///C|/game/Scp=room2&Prm=5"), "room2&Prm=5");
  EXPECT_EQ(html::scriptFromAddress("file:///game/Scp=x.htm"), std::nullopt);
  EXPECT_EQ(html::scriptFromAddress("file:///game/tmp.htm"), std::nullopt);

  g.script("room2", {"/"});
  ASSERT_TRUE(followPageAddress(g.rt, "file:///games/demo/Scp=room2&Prm=5"));
  EXPECT_EQ(g.rt.state.script, "room2");
  EXPECT_EQ(g.rt.state.link.prm, "5");
  EXPECT_FALSE(followPageAddress(g.rt, "file:///games/demo/tmp.htm"));
}

TEST_F(PageTest, ARunThatAddsNothingLeavesTheCompletedPageAlone) {
  GameState& s = g.rt.state;
  html::rebuildPage(s);
  s.pageBuffer.push_back("text");
  EXPECT_TRUE(html::pageChangedSinceCompleted(s));
  html::completePage(s);
  EXPECT_FALSE(html::pageChangedSinceCompleted(s));
  s.pageBuffer.push_back("more");
  EXPECT_TRUE(html::pageChangedSinceCompleted(s));
  html::rebuildPage(s);
  EXPECT_TRUE(html::pageChangedSinceCompleted(s));
}
