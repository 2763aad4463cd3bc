#pragma once

#include "batch/batch_trim.h"
#include "batch/numbered_save.h"
#include "capture/screen/screen_source.h"

#include <optional>

namespace orvelle {

// The part of a desktop of this size that the frame's trim needs (empty when
// the frame lies outside it).
QRect ScreenPartNeeded(QSize desktop, const BatchFrame &frame);

// The trim of a picture of the desktop (of which the part needed is at hand),
// exactly as the trim command trims a capture of the whole desktop.
QImage TrimScreenPicture(const ScreenPicture &screen, const BatchFrame &frame);

// Screen trims saved one after another as numbered files; with `onlyChanged`,
// a trim equal to the last one saved (as continuous trimming compares
// pictures) is passed over.
class ScreenSeries {
public:
  ScreenSeries(const BatchFrame &frame, const NumberedTarget &target, bool onlyChanged)
      : m_frame(frame), m_target(target), m_onlyChanged(onlyChanged) {}

  // Missed: the frame lies wholly off the desktop, and nothing is saved.
  enum class Outcome { Saved, Unchanged, Missed, Failed };
  struct Taken {
    Outcome outcome;
    QString path;                   // the file saved
    std::optional<Problem> problem; // why it was not (missed, failed)
  };
  // Trims the picture and saves it unless passed over.
  Taken Take(const ScreenPicture &screen);
  QRect Needed(QSize desktop) const { return ScreenPartNeeded(desktop, m_frame); }
  // The frame and the target of the next saves; the numbering goes on where
  // the folder and the name stay the same.
  void Retarget(const BatchFrame &frame, const NumberedTarget &target) {
    m_frame = frame;
    m_target = target;
  }
  int saved() const { return m_saved; }

private:
  BatchFrame m_frame;
  NumberedTarget m_target;
  NumberedSeries m_numbers;
  bool m_onlyChanged;
  QImage m_last;
  int m_saved = 0;
};

} // namespace orvelle
