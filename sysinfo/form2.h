#pragma once

#include "common/version.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace orvelle {

inline const QString kApplicationTitle = QStringLiteral("Orvelle");

// "Orvelle　Version 1.2.0": the title, an ideographic space, "Version ", the number.
QString VersionText();

// The version window: a banner, the version text and a two-line rights notice.
// It deletes itself when closed.
class Form2 : public QWidget {
  Q_OBJECT

public:
  explicit Form2(QWidget *parent = nullptr);

  // Shows the one version window, made when there is none, in front and active.
  static void ShowOne(QPointer<Form2> &window);

private:
  void Load();
  QLabel *m_label1 = nullptr;
};

} // namespace orvelle
