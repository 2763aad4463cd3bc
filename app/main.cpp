#include "app/form1.h"
#include "app/interface_font.h"

#include <QApplication>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvelle"));
  QApplication::setOrganizationName(QStringLiteral("Orvelle"));
  QGuiApplication::setDesktopFileName(QStringLiteral("io.orvelle.Orvelle"));
  orvelle::ApplyInterfaceFont();
  orvelle::Form1 window(orvelle::Form1Environment::ForThisProgram());
  window.Start();
  return QApplication::exec();
}
