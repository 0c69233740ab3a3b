#include <gtest/gtest.h>

#include "app/program.h"
#include "presentation/mainwindow.h"
#include "support/gamefolder.h"

using namespace corvant;

namespace {

bool hasAncestor(const QObject* o, const QString& name) {
  for (const QObject* p = o->parent(); p; p = p->parent())
    if (p->objectName() == name) return true;
  return false;
}

}  // namespace

// Scripts, tests and debuggers find components by the game's own names.
TEST(MainWindowComponents, EveryComponentIsFoundByNameWhereTheLayoutExpectsIt) {
  test::GameFolder f;
  f.writeConfig("g");
  test::TestHost host;
  Program program(host, parseLaunch({"corvant", f.path() + "g.ini"}, "/usr/bin/corvant"));
  TForm1& w = program.mainWindow();
  struct Case {
    const char* name;
    const char* inside;
  } cases[] = {
      {"Abok0", "TForm1"},   {"Imp", "Default"},     {"btFim", "Default"},   {"lbFim", "Default"},
      {"Abok1", "Default"},  {"PanTel", "1"},        {"Tela", "PanTel"},     {"Legda", "PanTel"},
      {"Sombra", "PanTel"},  {"Palco", "PanTel"},    {"Cine", "Palco"},      {"moSbx", "1"},
      {"BarraTop", "0"},     {"MsgMd0", "0"},        {"WebB", "2"},          {"Sbc1", "Mapa"},
      {"MapJog", "Sbc1"},    {"Voce", "MapJog"},     {"Sbox2", "3"},         {"Tela3", "Sbox2"},
      {"Abok2", "Default"},  {"TelCmd", "Abok2"},    {"Msg", "Default"},     {"Input", "Default"},
      {"InputReg", "Default"}, {"TelMod3", "Imagens"}, {"BufShp", "Imagens"}, {"GrpTmp", "Imagens"},
      {"BkTel", "Imagens"},  {"Hud", "Imagens"},     {"VzrBuf", "Imagens"},  {"Memo3", "Imagens"},
      {"Memo1", "Imagens"},  {"Objs", "Imagens"},    {"TelAber", "Abertura"}, {"RunTimer", "TForm1"},
  };
  for (const auto& c : cases) {
    const QObject* o = w.findChild<QObject*>(QString::fromLatin1(c.name));
    ASSERT_NE(o, nullptr) << c.name;
    EXPECT_TRUE(hasAncestor(o, QString::fromLatin1(c.inside))) << c.name << " is not inside " << c.inside;
  }
  QStringList viewportPages;
  for (int i = 0; i < w.Abok1->count(); ++i) viewportPages << w.Abok1->widget(i)->objectName();
  EXPECT_EQ(viewportPages, (QStringList{"1", "0", "2", "Mapa", "3", "Down"}));
  QStringList outerPages;
  for (int i = 0; i < w.Abok0->count(); ++i) outerPages << w.Abok0->widget(i)->objectName();
  EXPECT_EQ(outerPages, (QStringList{"Default", "Imagens", "Abertura"}));
}
