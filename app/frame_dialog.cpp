#include "app/frame_dialog.h"

#include "common/numbers.h"
#include "settings/setting_rows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <array>
#include <cmath>

namespace orvelle {

namespace {
// What trim.ini stores of a frame.
constexpr int kLeast = setting::kPicStartX.least;
constexpr int kMost = setting::kPicStartX.most;

// The height the frame editor gives a width under a ratio.
int BoundHeight(float ratio, int width) { return ToInt32(ratio * static_cast<float>(width)).value_or(kMost); }
} // namespace

std::optional<QRect> AskFrame(QWidget *owner, const QRect &frame, float ratio) {
  QDialog dialog(owner);
  dialog.setWindowTitle(QStringLiteral("枠の数値指定"));
  auto *form = new QFormLayout(&dialog);
  std::array<QSpinBox *, 4> boxes{};
  const std::array<const char *, 4> captions = {"X：", "Y：", "幅：", "高さ："};
  const std::array<int, 4> values = {frame.x(), frame.y(), frame.width(), frame.height()};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    boxes[i] = new QSpinBox(&dialog);
    boxes[i]->setObjectName(QStringLiteral("Frame%1").arg(i));
    boxes[i]->setRange(i < 2 ? kLeast : 1, kMost);
    boxes[i]->setValue(values[i]);
    form->addRow(QString::fromUtf8(captions[i]), boxes[i]);
  }
  if (ratio != 0) {
    // The width goes only as far as the height it binds can be stored.
    boxes[2]->setMaximum(std::max(1, static_cast<int>(std::floor(kMost / std::fabs(ratio)))));
    boxes[3]->setEnabled(false);
    const auto follow = [&boxes, ratio] { boxes[3]->setValue(BoundHeight(std::fabs(ratio), boxes[2]->value())); };
    QObject::connect(boxes[2], &QSpinBox::valueChanged, &dialog, follow);
    follow();
  }
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  boxes[0]->setFocus();
  boxes[0]->selectAll();
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return QRect(boxes[0]->value(), boxes[1]->value(), boxes[2]->value(), boxes[3]->value());
}

} // namespace orvelle
