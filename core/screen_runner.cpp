#include "core/screen_runner.h"

#include "capture/picture/trim_plan.h"
#include "core/trim_session.h"

namespace orvelle {

ScreenRunner::ScreenRunner(ScreenSource &source, ScreenPlan plan, QObject *parent)
    : QObject(parent), m_source(source), m_plan(std::move(plan)),
      m_series(m_plan.frame, m_plan.target, m_plan.onlyChanged) {
  m_tick.setInterval(m_plan.everyMs);
  connect(&m_tick, &QTimer::timeout, this, &ScreenRunner::Grab);
  connect(&m_source, &ScreenSource::grabbed, this, &ScreenRunner::Took);
  connect(&m_source, &ScreenSource::failed, this, &ScreenRunner::Failed);
  connect(&m_source, &ScreenSource::ended, this, &ScreenRunner::Ended);
}

void ScreenRunner::Start() {
  if (m_running) {
    return;
  }
  m_running = true;
  if (m_plan.everyMs > 0) {
    m_tick.start();
  }
  Grab();
}

void ScreenRunner::Stop() {
  m_waiting.clear();
  if (!m_running) {
    return;
  }
  if (m_grabbing) {
    m_source.Cancel();
    m_grabbing = false;
    m_running = false;
    m_tick.stop();
    ScreenStep cancelled;
    cancelled.outcome = ScreenStep::Outcome::Cancelled;
    cancelled.last = true;
    emit stepped(cancelled);
    emit finished();
    return;
  }
  m_running = false;
  m_tick.stop();
  emit finished();
}

bool ScreenRunner::Press(const ScreenPlan &plan) {
  if (m_running) {
    if (m_waiting.size() >= kMaxWaiting) {
      return false;
    }
    m_waiting << plan;
    return true;
  }
  m_series.Retarget(plan.frame, plan.target);
  Start();
  return true;
}

void ScreenRunner::Grab() {
  if (!m_running || m_grabbing) {
    return;
  }
  m_grabbing = true;
  const auto go = [this] {
    if (m_running && m_grabbing) {
      m_source.Start([this](QSize desktop) { return m_series.Needed(desktop); });
    }
  };
  if (m_before) {
    m_before(go);
  } else {
    go();
  }
}

void ScreenRunner::Took(const ScreenPicture &picture) {
  if (!m_grabbing) {
    return;
  }
  m_grabbing = false;
  const ScreenSeries::Taken taken = m_series.Take(picture);
  ScreenStep step;
  step.path = taken.path;
  step.problem = taken.problem;
  switch (taken.outcome) {
  case ScreenSeries::Outcome::Saved:
    break;
  case ScreenSeries::Outcome::Unchanged:
    step.outcome = ScreenStep::Outcome::Unchanged;
    break;
  case ScreenSeries::Outcome::Missed: // as a failed grab: the next one may find the frame on the desktop
    ++m_failedGrabs;
    step.outcome = ScreenStep::Outcome::Failed;
    break;
  case ScreenSeries::Outcome::Failed: // a failed save ends the series
    step.outcome = ScreenStep::Outcome::Failed;
    step.last = true;
    break;
  }
  Step(std::move(step));
}

void ScreenRunner::Failed(const Problem &problem) {
  if (!m_grabbing) {
    return;
  }
  m_grabbing = false;
  ++m_failedGrabs;
  ScreenStep step;
  step.outcome = ScreenStep::Outcome::Failed;
  step.problem = problem;
  Step(std::move(step));
}

void ScreenRunner::Ended(const Problem &problem) {
  if (!m_running) {
    return;
  }
  m_grabbing = false;
  m_waiting.clear();
  ScreenStep step;
  step.outcome = ScreenStep::Outcome::Failed;
  step.problem = problem;
  step.last = true;
  Step(std::move(step));
}

void ScreenRunner::Step(ScreenStep step) {
  step.last = step.last || m_plan.everyMs == 0 || (m_plan.count > 0 && m_series.saved() >= m_plan.count);
  if (step.last) {
    m_running = false;
    m_tick.stop();
  }
  emit stepped(step);
  if (step.last) {
    emit finished();
  }
  if (!m_running && !m_waiting.isEmpty()) {
    Press(m_waiting.takeFirst());
  }
}

Expected<ScreenPlan> SessionScreenPlan(const TrimSession &session, QSize desktop) {
  const FrameState &frame = session.frame;
  const Expected<SavePixelstoJPEGFunction> save = session.RepeatWriter();
  if (!save) {
    return save.problem();
  }
  if (Expected<void> possible = CheckOutputSize(*TrimOutputSize(frame.drag)); !possible) {
    return possible.problem();
  }
  if (FrameMisses(desktop, frame.trim)) {
    return FrameOutsideProblem(desktop);
  }
  ScreenPlan plan;
  plan.frame = {frame.trim, frame.drag};
  plan.target = {session.saveFolder(), session.baseName, session.quality, *save, session.format};
  return plan;
}

} // namespace orvelle
