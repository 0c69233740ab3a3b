#include <gtest/gtest.h>

#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/strings.h"

using namespace corvant;

TEST(TextCp1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(text::fromQString(text::toQString(all)), all);
}

TEST(TextCp1252, MapsTheBytesThatDifferFromLatin1) {
  EXPECT_EQ(text::toQString("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(text::toQString("\xA7"), QString::fromUtf8("§"));
  EXPECT_EQ(text::toQString("n\xE3o"), QString::fromUtf8("não"));
  EXPECT_EQ(text::fromQString(QString::fromUtf8("“x”")), "\x93x\x94");
  EXPECT_EQ(text::fromQString(QString::fromUtf8("Ж")), "?");
}

TEST(TextLines, AcceptsCrLfAndCrLfEndings) {
  struct Case {
    const char* content;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(text::splitLines(c.content), c.lines) << c.content;
  EXPECT_EQ(text::joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(TextTrim, RemovesControlsAndBlanksOnly) {
  EXPECT_EQ(text::trim(" \t\x01 abc \r\n"), "abc");
  EXPECT_EQ(text::trim("\xA0x\xA0"), "\xA0x\xA0");  // a no-break space is text
  EXPECT_EQ(text::trim("   "), "");
}

TEST(TextNumbers, ReadsIntegersAsGameFilesWriteThem) {
  struct Case {
    const char* text;
    std::optional<int32_t> value;
  } cases[] = {
      {"0", 0},           {"42", 42},          {"  42", 42},           {"-7", -7},
      {"+7", 7},          {"$1F", 31},         {"$ff", 255},           {"-$10", -16},
      {"$FFFFFFFF", -1},  {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt}, {"", std::nullopt}, {" ", std::nullopt}, {"42 ", std::nullopt},
      {"4x", std::nullopt}, {"$", std::nullopt}, {"-", std::nullopt},  {"1.5", std::nullopt},
      {"$100000000", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(text::parseInt(c.text), c.value) << '"' << c.text << '"';
}
