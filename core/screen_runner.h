#pragma once

#include "batch/screen_trim.h"
#include "capture/screen/screen_source.h"
#include "common/expected.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

namespace orvelle {

// What one grab of a screen series came to.
struct ScreenStep {
  enum class Outcome { Saved, Unchanged, Failed, Cancelled };
  Outcome outcome = Outcome::Saved;
  QString path;                   // the file saved
  std::optional<Problem> problem; // why it failed
  bool last = false;              // the series ended with it
};

// What a screen series does: trim the frame's area out of each picture of the
// screen and save it as the next numbered file; with `onlyChanged` a trim
// equal to the last one saved is passed over. `everyMs` 0 makes one grab;
// else one starts every so many milliseconds (none while one is under way)
// until `count` files are saved (0: until stopped).
struct ScreenPlan {
  BatchFrame frame;
  NumberedTarget target;
  bool onlyChanged = true;
  int everyMs = 0;
  int count = 0;
};

// The screen-series runner: grab, trim, compare, save, wait; over any
// screen source. A failed grab, or a picture the frame misses, is counted
// and the series goes on; a failed save, or a source that ends, ends it. Each grab's outcome comes as
// `stepped`, and `finished` once when the series has ended.
class ScreenRunner : public QObject {
  Q_OBJECT

public:
  // Before each grab: the grab starts when `go` is called (a window may
  // first get out of the way).
  using BeforeGrab = std::function<void(std::function<void()> go)>;

  ScreenRunner(ScreenSource &source, ScreenPlan plan, QObject *parent = nullptr);

  void setBeforeGrab(BeforeGrab before) { m_before = std::move(before); }
  // The first grab now, the next ones as the plan says.
  void Start();
  // No further grab; one under way is dropped (a Cancelled step), a save
  // under way is finished first.
  void Stop();
  // One grab with these values (a key pressed): at once when none is under
  // way, else after the ones under way and waiting; at most kMaxWaiting wait,
  // and false when this one is dropped.
  bool Press(const ScreenPlan &plan);
  static constexpr int kMaxWaiting = 10;

  bool running() const { return m_running; }
  int saved() const { return m_series.saved(); }
  int failedGrabs() const { return m_failedGrabs; }
  QRect Needed(QSize desktop) const { return m_series.Needed(desktop); }

signals:
  void stepped(const orvelle::ScreenStep &step);
  void finished();

private:
  void Grab();
  void Took(const ScreenPicture &picture);
  void Failed(const Problem &problem);
  void Ended(const Problem &problem);
  void Step(ScreenStep step);

  ScreenSource &m_source;
  ScreenPlan m_plan;
  ScreenSeries m_series;
  BeforeGrab m_before;
  QTimer m_tick;
  bool m_running = false;
  bool m_grabbing = false;
  QList<ScreenPlan> m_waiting; // presses that wait for the grab under way
  int m_failedGrabs = 0;
};

class TrimSession;

// A screen series with the session's values (the frame as it is, the save
// folder, the name, the quality and the format); nothing, and why, where
// none can run on a desktop of this size: no frame (or one too large to
// trim, or one the desktop leaves wholly outside), no name, no usable save
// folder, no JPEG library.
Expected<ScreenPlan> SessionScreenPlan(const TrimSession &session, QSize desktop);

} // namespace orvelle
