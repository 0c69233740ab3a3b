#include <gtest/gtest.h>

#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "support/gamefolder.h"

using namespace corvant;

TEST(ScriptFilesUnscramble, KeyRunsAcrossLines) {
  // The key begins 8, 8, 1: the same group decodes differently on each line.
  EXPECT_EQ(unscramble({"073", "073", "073"}), (std::vector<std::string>{"A ", "A ", "H "}));
  // b - d below zero wraps around modulo 256.
  EXPECT_EQ(unscramble({"000"}), std::vector<std::string>{std::string(1, static_cast<char>(248)) + " "});
  EXPECT_EQ(unscramble({""}), std::vector<std::string>{" "});
}

TEST(ScriptFilesUnscramble, RoundTripOverMoreThanOneKeyLength) {
  std::vector<std::string> plain;
  for (int i = 0; i < 40; ++i) plain.push_back("reg= " + std::to_string(i) + ",n\xE3o \xA7 text " + std::string(i, 'x'));
  auto back = unscramble(scramble(plain));
  ASSERT_EQ(back.size(), plain.size());
  for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(back[i], plain[i] + " ");
}

TEST(ScriptFilesUnscramble, LinesThatAreNotThreeDigitGroupsFail) {
  for (const char* bad : {"07", "0731", "07a", "abc", "-12"}) EXPECT_THROW(unscramble({bad}), ScriptError) << bad;
}

TEST(ScriptFilesLabels, FindListAndReferences) {
  const std::vector<std::string> lines = {
      "goto fim",      // 0
      "  :fim  ",      // 1
      ":two words",    // 2
      "goto two",      // 3
      ":fim",          // 4: never reached by a jump
      ":Fim",          // 5
  };
  EXPECT_EQ(findLabel(lines, "fim"), 1);
  EXPECT_EQ(findLabel(lines, "Fim"), 5);
  EXPECT_EQ(findLabel(lines, "two words"), 2);
  EXPECT_EQ(findLabel(lines, "two"), std::nullopt);
  EXPECT_EQ(findLabel(lines, " fim"), std::nullopt);  // "goto  fim" keeps the blank
  EXPECT_EQ(listLabels(lines), ":fim :fim :Fim ");
  EXPECT_EQ(listLabels({"a", "b"}), "Este script n\xE3o tem labels!");
  EXPECT_EQ(labelReferences(lines, "  :fim  "), "3x nas linhas: 0 1 4 ");
  EXPECT_EQ(labelReferences(lines, ":Fim"), "Refer\xEAncia na linha: 5 ");
  EXPECT_EQ(labelReferences({"x"}, ":nothere"), "N\xE3o encontrei refer\xEAncia a este label!");
}

TEST(ScriptFilesVocabulary, FirstExactWordWins) {
  const std::vector<std::string> vocab = {"/hidden|secret", " NORTE | norte1 ", "NORTE|norte2", "no bar here", "SUL|"};
  EXPECT_EQ(vocabularyLookup(vocab, "NORTE"), "norte1");
  EXPECT_EQ(vocabularyLookup(vocab, "/hidden"), "secret");
  EXPECT_EQ(vocabularyLookup(vocab, "SUL"), "");
  EXPECT_EQ(vocabularyLookup(vocab, "norte"), std::nullopt);
  EXPECT_EQ(vocabularyLookup(vocab, ""), "");  // a line without "|" is an empty word
}

TEST(ScriptFilesRead, ScrambledSwitchChoosesTheFile) {
  test::GameFolder folder;
  GameState s;
  s.paths.adventureFolder = folder.path();
  folder.write("a.scp", {"plain"});
  folder.write("a.scx", scramble({"scrambled"}));
  LineList lines = std::vector<std::string>{"previous"};

  ASSERT_TRUE(readScript(s, "a", ScriptSource::FreshRun, lines));
  EXPECT_EQ(lines.all(), std::vector<std::string>{"plain"});
  s.config.set(cfg::kScrambled, "x");
  ASSERT_TRUE(readScript(s, "a", ScriptSource::FreshRun, lines));
  EXPECT_EQ(lines.all(), std::vector<std::string>{"scrambled "});
  // The plain-only readers ignore the switch.
  ASSERT_TRUE(readScript(s, "a", ScriptSource::PlainOnly, lines));
  EXPECT_EQ(lines.all(), std::vector<std::string>{"plain"});

  // Missing: a fresh run keeps the lines it has; the others fail.
  EXPECT_FALSE(readScript(s, "missing", ScriptSource::FreshRun, lines));
  EXPECT_EQ(lines.all(), std::vector<std::string>{"plain"});
  EXPECT_THROW(readScript(s, "missing", ScriptSource::PlainOnly, lines), ScriptError);
}

TEST(ScriptFilesRead, NamesFromOtherSystemsResolveWithoutRegardToCase) {
  test::GameFolder folder;
  GameState s;
  s.paths.adventureFolder = folder.path();
  folder.write("Cenas/Sala.SCP", {"ok"});
  LineList lines;
  ASSERT_TRUE(readScript(s, "cenas\\sala", ScriptSource::FreshRun, lines));
  EXPECT_EQ(lines.all(), std::vector<std::string>{"ok"});
}
