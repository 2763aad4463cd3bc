#include "app/interface_font.h"

#include <QApplication>
#include <QFont>

namespace orvelle {

void ApplyInterfaceFont() {
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("MS UI Gothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                    QStringLiteral("Noto Sans CJK JP")});
  font.setPointSizeF(9);
  QApplication::setFont(font);
}

} // namespace orvelle
