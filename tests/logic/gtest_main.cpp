// GoogleTest with a Qt application, on the offscreen platform unless another
// one is asked for.
#include "capture/picture/clipboard_picture.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  orvelle::SetDecoderLimit(); // as the programs do
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
