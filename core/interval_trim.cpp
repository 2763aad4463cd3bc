#include "core/interval_trim.h"

#include "capture/picture/trim_plan.h"
#include "core/trim_session.h"

namespace orvelle {

SavePixelstoJPEGFunction IntervalTrim::Ready(QString *problem) const {
  const auto save = m_session.RepeatWriter(problem);
  if (problem->isEmpty()) {
    *problem = OutputSizeProblem(*TrimOutputSize(m_session.frame.drag));
  }
  return problem->isEmpty() ? save : nullptr;
}

QString IntervalTrim::Problem(QSize desktop) const {
  QString problem;
  Ready(&problem);
  if (problem.isEmpty() && FrameMisses(desktop, m_session.frame.trim)) {
    problem = FrameOutsideProblem(desktop);
  }
  return problem;
}

Result IntervalTrim::Start(bool onlyChanged) {
  Stop();
  QString problem;
  const auto save = Ready(&problem);
  if (!problem.isEmpty()) {
    return Result::Failed(problem);
  }
  const FrameState &frame = m_session.frame;
  m_series.emplace(
      BatchFrame{frame.trim, frame.drag},
      NumberedTarget{m_session.saveFolder(), m_session.baseName, m_session.quality, save, m_session.format},
      onlyChanged);
  m_saved = 0;
  m_failedGrabs = 0;
  return Result::Done();
}

void IntervalTrim::Stop() {
  if (m_series) {
    m_saved = m_series->saved();
  }
  m_series.reset();
}

QRect IntervalTrim::Needed(QSize desktop) const { return m_series ? m_series->Needed(desktop) : QRect(); }

Result IntervalTrim::Take(const ScreenPicture &screen) {
  if (!m_series) {
    return Result::Done();
  }
  QString said;
  const ScreenSeries::Outcome outcome = m_series->Take(screen, &said);
  if (outcome == ScreenSeries::Outcome::Failed) {
    Stop();
    return Result::Failed(said);
  }
  if (outcome == ScreenSeries::Outcome::Missed) {
    GrabFailed();
  }
  m_saved = m_series->saved();
  return Result::Done();
}

QString IntervalTrim::countText() const {
  QString text = QStringLiteral("%1 枚").arg(m_saved);
  if (m_failedGrabs > 0) {
    text += QStringLiteral("\n取り込めなかった回数：%1").arg(m_failedGrabs);
  }
  return text;
}

} // namespace orvelle
