// The Qt suites need one application object for the whole run; without a display they draw on
// Qt's offscreen platform. They run in a home of their own, made before Qt reads any of it.
#include <gtest/gtest.h>

#include <QApplication>

#include "own_home.h"

int main(int argc, char** argv) {
  const milka::testing::OwnHome home;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
