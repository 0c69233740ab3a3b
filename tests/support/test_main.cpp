#include <QApplication>
#include <gtest/gtest.h>

#include "presentation/htmlview.h"

// Widgets need an application object; tests run on the offscreen platform.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  corvant::prepareBrowserEnvironment();
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
