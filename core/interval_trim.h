#pragma once

#include "batch/screen_trim.h"
#include "core/result.h"

#include <QString>
#include <optional>

namespace orvelle {

class TrimSession;

// The interval trim: at every tick the desktop is grabbed, trimmed with the
// session's frame and saved as the next numbered file of the name in the save
// folder; with "only on change" a trim equal to the last one saved is passed
// over. Failed grabs are counted and the trimming goes on; a failed save ends it.
class IntervalTrim {
public:
  explicit IntervalTrim(TrimSession &session) : m_session(session) {}

  bool running() const { return m_series.has_value(); }
  // Why it cannot start on a desktop of this size: no frame (or one too
  // large to trim, or one the desktop leaves wholly outside), no name, no
  // usable save folder, no JPEG library; empty when it can.
  QString Problem(QSize desktop) const;
  // Starts counting from zero; fails, with the reason, where it cannot.
  Result Start(bool onlyChanged);
  void Stop();

  // The part of a desktop of this size that the frame needs.
  QRect Needed(QSize desktop) const;
  // Trims and saves a grabbed picture; failed (and stopped) when the save
  // failed. A picture the frame misses counts as a failed grab.
  Result Take(const ScreenPicture &screen);
  void GrabFailed() { ++m_failedGrabs; }

  // "N 枚", with "取り込めなかった回数：M" on a second line after failed grabs.
  QString countText() const;
  // After the end: "定期トリム停止：N 枚".
  QString statusText() const { return QStringLiteral("定期トリム停止：%1 枚").arg(m_saved); }

private:
  // The JPEG writer when it can start; else nothing, and why.
  SavePixelstoJPEGFunction Ready(QString *problem) const;

  TrimSession &m_session;
  std::optional<ScreenSeries> m_series;
  int m_saved = 0;
  int m_failedGrabs = 0;
};

} // namespace orvelle
