#include "app/interface_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace orvelle {

void ApplyInterfaceFont() {
  QFont font = QApplication::font();
  if (QFontDatabase::families().contains(QStringLiteral("MS UI Gothic"))) {
    font.setFamily(QStringLiteral("MS UI Gothic"));
    font.setPointSizeF(9);
  } else {
    // IPA P Gothic's Latin letters are wider: a little smaller, it takes the
    // captions' places as the Windows font does.
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(8.25);
  }
  QApplication::setFont(font);
}

} // namespace orvelle
