#include "batch/screen_trim.h"

#include "capture/picture/same_picture.h"
#include "capture/picture/trim_plan.h"

namespace orvelle {

QRect ScreenPartNeeded(QSize desktop, const BatchFrame &frame) {
  const auto paint = PlanTrimPaint(desktop, frame.trim, frame.drag);
  return paint ? paint->source : QRect();
}

QImage TrimScreenPicture(const ScreenPicture &screen, const BatchFrame &frame) {
  const QSize size = TrimOutputSize(frame.drag).value_or(QSize());
  auto paint = PlanTrimPaint(screen.desktop, frame.trim, frame.drag);
  if (paint && !screen.area.contains(paint->source)) {
    paint.reset(); // the part needed is not at hand
  }
  return TrimRegion(screen.pixels, screen.area.topLeft(), paint, size);
}

ScreenSeries::Taken ScreenSeries::Take(const ScreenPicture &screen) {
  if (FrameMisses(screen.desktop, m_frame.trim)) {
    return {Outcome::Missed, QString(), FrameOutsideProblem(screen.desktop)};
  }
  const QImage trimmed = TrimScreenPicture(screen, m_frame);
  if (m_onlyChanged && SamePicture(trimmed, m_last)) {
    return {Outcome::Unchanged, QString(), std::nullopt};
  }
  const Expected<QString> saved = m_numbers.Save(trimmed, m_target);
  if (!saved) {
    return {Outcome::Failed, QString(), saved.problem()};
  }
  m_last = trimmed;
  ++m_saved;
  return {Outcome::Saved, *saved, std::nullopt};
}

} // namespace orvelle
