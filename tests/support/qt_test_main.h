#pragma once

#include "app/interface_font.h"
#include "app/interface_language.h"
#include "capture/picture/clipboard_picture.h"

#include <QApplication>
#include <QTest>

// A Qt Test main on the offscreen platform unless another one is asked for,
// with the program's interface font and language.
#define ORVELLE_QTEST_MAIN(TestClass)                                                                                  \
  int main(int argc, char **argv) {                                                                                    \
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                                                              \
      qputenv("QT_QPA_PLATFORM", "offscreen");                                                                         \
    }                                                                                                                  \
    QApplication app(argc, argv);                                                                                      \
    orvelle::SetDecoderLimit();                                                                                        \
    orvelle::ApplyInterfaceFont();                                                                                     \
    orvelle::ApplyInterfaceLanguage(app);                                                                              \
    TestClass test;                                                                                                    \
    return QTest::qExec(&test, argc, argv);                                                                            \
  }
