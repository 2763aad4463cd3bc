#include "common/message_box.h"

#include <QMessageBox>

namespace orvelle {

void ShowMessage(QWidget *parent, const QString &text) {
  QMessageBox box(QMessageBox::NoIcon, kMessageCaption, text, QMessageBox::Ok, parent);
  box.exec();
}

} // namespace orvelle
