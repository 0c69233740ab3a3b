#include <QApplication>
#include <QDir>

#include <cstdio>

#include "app/program.h"
#include "presentation/htmlview.h"
#include "runtime/host.h"
#include "runtime/startup.h"

int main(int argc, char** argv) {
  corvant::prepareBrowserEnvironment();
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  const corvant::LaunchOptions launch = corvant::parseLaunch(app.arguments(), QApplication::applicationFilePath());
  if (!launch.error.isEmpty()) {
    std::fprintf(stderr, "corvant: %s\nusage: corvant [--trace FILE] [--start] [path/to/game.ini] [argument]\n",
                 launch.error.toLocal8Bit().constData());
    return 2;
  }
  if (launch.changeDirectory) QDir::setCurrent(launch.gameFolder);
  QApplication::setApplicationName(launch.gameName);

  corvant::QtHost host;
  // A modal box on a screen nobody sees would hang the program.
  host.quietErrors = QGuiApplication::platformName() == QLatin1String("offscreen") ||
                     qEnvironmentVariableIsSet("CORVANT_NO_DIALOGS");

  corvant::Program program(host, launch);
  if (!program.startedOk()) return 1;
  corvant::installQuitSignals(host);
  program.show();
  if (launch.startAtOnce) program.clickOpeningPicture();
  const int code = app.exec();
  program.shutdown();
  return code;
}
