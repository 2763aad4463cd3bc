#include "settings/trim_info.h"

#include "common/numbers.h"
#include "settings/settings_file.h"

#include <QDir>
#include <QList>
#include <array>
#include <optional>
#include <utility>

namespace orvelle {

namespace {

const QString kSection = QStringLiteral("Data");

// The keys in the order the file holds them.
const std::array<QString, 9> kKeys = {
    QStringLiteral("PicStartX"),   QStringLiteral("PicStartY"),    QStringLiteral("PicWidth"),
    QStringLiteral("PicHeight"),   QStringLiteral("NewPicStartX"), QStringLiteral("NewPicStartY"),
    QStringLiteral("NewPicWidth"), QStringLiteral("NewPicHeight"), QStringLiteral("PicRatio"),
};

QString OutOfRange(const QString &key, const QString &value) {
  return QStringLiteral("「%1」の値 %2 は -32768～32767 の範囲を超えるため保存できません。\n"
                        "トリミング情報は何も保存しませんでした。")
      .arg(key, value);
}

} // namespace

QString SaveTrimInfo(const FrameState &frame, const QString &settingsPath) {
  const std::array<double, 8> numbers = {
      frame.trim.PicStartX,    frame.trim.PicStartY,    frame.trim.PicWidth,    double(frame.trim.PicHeight),
      frame.drag.NewPicStartX, frame.drag.NewPicStartY, frame.drag.NewPicWidth, double(frame.drag.NewPicHeight),
  };
  QList<std::pair<QString, QString>> values;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const auto stored = ToInt16(numbers[i]);
    if (!stored) {
      return OutOfRange(kKeys[i], SingleText(static_cast<float>(numbers[i])));
    }
    values.push_back({kKeys[i], IntegerText(*stored)});
  }
  values.push_back({kKeys[8], SingleText(frame.FrameRatio)});
  if (!WriteSettings(values, kSection, settingsPath)) {
    return QStringLiteral("設定ファイル「%1」に書き込めませんでした。\nトリミング情報は保存されていません。")
        .arg(QDir::toNativeSeparators(settingsPath));
  }
  return QString();
}

std::variant<FrameState, QString> LoadTrimInfo(const QString &settingsPath) {
  // Everything is read and converted before anything is handed back, so a bad
  // value leaves the program's frame as it was.
  const auto content = ReadSettingsFile(settingsPath);
  if (const QString *problem = std::get_if<QString>(&content)) {
    return QStringLiteral("設定ファイル「%1」を読み込めません（%2）。\nトリミング情報は読み込みませんでした。")
        .arg(QDir::toNativeSeparators(settingsPath), *problem);
  }
  std::array<double, 9> numbers{};
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const QString text = LookupSetting(std::get<QByteArray>(content), kKeys[i], kSection);
    if (text == kMissingSetting) {
      return QStringLiteral("設定ファイルに「%1」がありません。\nトリミング情報は読み込みませんでした。").arg(kKeys[i]);
    }
    const bool isRatio = i + 1 == kKeys.size();
    const auto number = ParseDecimal(text);
    const bool usable = number && (isRatio ? ToSingle(*number).has_value() : ToInt16(*number).has_value());
    if (!usable) {
      return QStringLiteral(
                 "設定ファイルの「%1」の値「%2」は%3ではありません。\nトリミング情報は読み込みませんでした。")
          .arg(kKeys[i], text, isRatio ? QStringLiteral("数値") : QStringLiteral(" -32768～32767 の数値"));
    }
    numbers[i] = isRatio ? *number : *ToInt16(*number);
  }
  const auto value = [&numbers](std::size_t i) { return static_cast<float>(numbers[i]); };
  FrameState frame;
  frame.trim = {value(0), value(1), value(2), static_cast<std::int32_t>(numbers[3])};
  frame.drag = {value(4), value(5), value(6), static_cast<std::int16_t>(numbers[7])};
  frame.FrameRatio = value(8);
  return frame;
}

} // namespace orvelle
