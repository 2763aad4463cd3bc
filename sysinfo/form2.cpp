#include "sysinfo/form2.h"

#include "common/units.h"
#include "resources/pictures.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>

namespace orvelle {

namespace {
QRect Twips(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}
} // namespace

QString VersionText() { return kApplicationTitle + QStringLiteral("\u3000Version ") + kVersionNumber; }

Form2::Form2(QWidget *parent) : QWidget(parent) {
  InitOrvellePictures();
  setObjectName(QStringLiteral("Form2"));
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(TwipsToPixels(4695), TwipsToPixels(1875));

  auto *frame = new QGroupBox(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), this);
  frame->setObjectName(QStringLiteral("Frame1"));
  frame->setGeometry(Twips(0, 0, 4695, 1755));

  auto *banner = new QLabel(frame);
  banner->setObjectName(QStringLiteral("Picture1"));
  banner->setGeometry(Twips(60, 240, 4530, 630));
  banner->setPixmap(QPixmap(QStringLiteral(":/pictures/banner.jpg")));

  m_label1 = new QLabel(frame);
  m_label1->setObjectName(QStringLiteral("Label1"));
  m_label1->setGeometry(Twips(120, 900, 4515, 255));

  auto *label2 = new QLabel(QStringLiteral("Copyright © 2026 Orvelle の開発者"), frame);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->setGeometry(Twips(60, 1200, 2775, 255));

  auto *label3 = new QLabel(QStringLiteral("All rights reserved."), frame);
  label3->setObjectName(QStringLiteral("Label3"));
  label3->setGeometry(Twips(60, 1440, 2415, 255));

  Load();
}

void Form2::Load() {
  setWindowTitle(kApplicationTitle);
  m_label1->setText(VersionText());
}

void Form2::ShowOne(QPointer<Form2> &window) {
  if (!window) {
    window = new Form2();
  }
  window->show();
  window->raise();
  window->activateWindow();
}

} // namespace orvelle
