#include <gtest/gtest.h>

#include "runtime/files.h"
#include "support/gamefolder.h"

using namespace corvant;

TEST(FilesResolve, MatchesFoldersAndNamesWithoutRegardToCase) {
  test::GameFolder f;
  f.writeRaw("Graficos/Sala.PNG", "x");
  f.writeRaw("exact.txt", "e");
  f.writeRaw("EXACT.txt", "E");
  const QString base = f.path();
  struct Case {
    const char* asked;
    const char* found;
  } cases[] = {
      {"graficos\\sala.png", "Graficos/Sala.PNG"},
      {"GRAFICOS/sala.png", "Graficos/Sala.PNG"},
      {"exact.txt", "exact.txt"},  // an exact name wins over a case variant
      {"EXACT.txt", "EXACT.txt"},
      {"graficos/missing.png", "Graficos/missing.png"},  // for creating files
      {"nofolder/x.png", "nofolder/x.png"},
  };
  for (const auto& c : cases) EXPECT_EQ(files::resolve(base + c.asked), base + c.found) << c.asked;
  EXPECT_TRUE(files::exists(base + "GRAFICOS\\SALA.png"));
  EXPECT_FALSE(files::exists(base + "graficos/other.png"));
}

TEST(FilesWrite, WritesCrLfAndReplacesWholeFiles) {
  test::GameFolder f;
  const QString p = f.path() + "save.rgs";
  ASSERT_EQ(files::writeLines(p, {"a", "", "c"}), "");
  EXPECT_EQ(f.readRaw("save.rgs"), "a\r\n\r\nc\r\n");
  ASSERT_EQ(files::writeLines(p, {"z"}), "");
  EXPECT_EQ(f.readRaw("save.rgs"), "z\r\n");
  // No temporary file is left behind.
  EXPECT_EQ(QDir(f.path()).entryList(QDir::Files), QStringList{"save.rgs"});
}

TEST(FilesWrite, AFailedWriteIsReportedAndLeavesWhatWasThere) {
  test::GameFolder f;
  f.writeRaw("afile", "content");
  EXPECT_NE(files::writeLines(f.path() + "afile/save.rgs", {"new"}), "");
  EXPECT_EQ(f.readRaw("afile"), "content");
  QDir(f.path()).mkdir("adir");
  EXPECT_NE(files::writeLines(f.path() + "adir", {"new"}), "");
  EXPECT_TRUE(QFileInfo(f.path() + "adir").isDir());
}
