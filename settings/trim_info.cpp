#include "settings/trim_info.h"

#include "common/numbers.h"
#include "settings/setting_rows.h"
#include "settings/settings_file.h"

#include <QDir>
#include <QList>
#include <array>
#include <optional>
#include <utility>

namespace orvelle {

namespace {

const QString kSection = setting::kPicStartX.Section();

QString Key(std::size_t i) { return setting::kFrameRows[i].Key(); }

} // namespace

Expected<void> SaveTrimInfo(const FrameState &frame, const QString &settingsPath) {
  const std::array<double, 8> numbers = {
      frame.trim.PicStartX,    frame.trim.PicStartY,    frame.trim.PicWidth,    double(frame.trim.PicHeight),
      frame.drag.NewPicStartX, frame.drag.NewPicStartY, frame.drag.NewPicWidth, double(frame.drag.NewPicHeight),
  };
  QList<std::pair<QString, QString>> values;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const auto stored = ToInt16(numbers[i]);
    if (!stored) {
      return MakeProblem(ProblemKind::FrameValueOutOfRange, {Key(i), SingleText(static_cast<float>(numbers[i]))});
    }
    values.push_back({Key(i), IntegerText(*stored)});
  }
  values.push_back({Key(8), SingleText(frame.FrameRatio)});
  if (!WriteSettings(values, kSection, settingsPath)) {
    return MakeProblem(ProblemKind::TrimInfoUnwritable, {settingsPath});
  }
  return {};
}

Expected<FrameState> LoadTrimInfo(const QString &settingsPath) {
  // Everything is read and converted before anything is handed back, so a bad
  // value leaves the program's frame as it was.
  const Expected<QByteArray> content = ReadSettingsFile(settingsPath);
  if (!content) {
    return MakeProblem(ProblemKind::TrimInfoUnreadable, {settingsPath}, content.problem());
  }
  std::array<double, 9> numbers{};
  for (std::size_t i = 0; i < setting::kFrameRows.size(); ++i) {
    const QString text = LookupSetting(*content, Key(i), kSection);
    if (text == kMissingSetting) {
      return MakeProblem(ProblemKind::TrimInfoKeyMissing, {Key(i)});
    }
    const bool isRatio = i + 1 == setting::kFrameRows.size();
    const auto number = ParseDecimal(text);
    const bool usable = number && (isRatio ? ToSingle(*number).has_value() : ToInt16(*number).has_value());
    if (!usable) {
      return MakeProblem(isRatio ? ProblemKind::TrimInfoNotNumber : ProblemKind::TrimInfoNotInRange, {Key(i), text});
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
