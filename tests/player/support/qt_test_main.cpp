// GoogleTest main for the window tests: one QApplication for all of them.

#include <gmock/gmock.h>

#include <QApplication>

int main(int argc, char** argv) {
  // Without a display (and while ctest lists the tests) the window runs offscreen; tests that ask
  // for the X display then find no OpenGL and skip.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
      (qgetenv("QT_QPA_PLATFORM") == "xcb" && qEnvironmentVariableIsEmpty("DISPLAY"))) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
