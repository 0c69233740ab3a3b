#pragma once
// The whole program in-process on a temporary game folder, started as
// `corvant path/g.ini`, offscreen.
#include <QDir>
#include <QTest>

#include <memory>

#include "app/program.h"
#include "presentation/mainwindow.h"
#include "support/gamefolder.h"

namespace corvant::test {

struct ProgramOnFolder {
  explicit ProgramOnFolder(GameFolder& f) : previous(QDir::currentPath()) {
    QDir::setCurrent(f.path());
    launch = parseLaunch({"corvant", f.path() + "g.ini"}, "/usr/bin/corvant");
    program = std::make_unique<Program>(host, launch);
  }
  ~ProgramOnFolder() { QDir::setCurrent(previous); }
  void clickOpening(Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(program->mainWindow().TelAber, Qt::LeftButton, mods, QPoint(5, 5));
  }
  TForm1& window() { return program->mainWindow(); }
  Runtime& rt() { return program->runtime(); }
  QString previous;
  LaunchOptions launch;
  TestHost host;
  std::unique_ptr<Program> program;
};

}  // namespace corvant::test
