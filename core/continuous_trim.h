#pragma once

#include "batch/numbered_save.h"
#include "common/expected.h"
#include "savejpg/SaveJPG.h"

#include <QImage>
#include <QSize>
#include <QString>

class QMimeData;

namespace orvelle {

class TrimSession;

// Continuous trimming: each picture that arrives on the clipboard is taken
// into the canvas, trimmed with the session's frame and saved as the next
// numbered file of the name in the save folder.
class ContinuousTrim {
public:
  explicit ContinuousTrim(TrimSession &session) : m_session(session) {}

  bool running() const { return m_running; }
  // Starts counting from zero; fails, with the reason, without a frame, a
  // name, a usable save folder or the JPEG library.
  Expected<void> Start();
  void Stop() { m_running = false; }

  // What taking the clipboard's data did.
  struct Taken {
    bool canvasChanged = false; // the canvas is new
    bool trimmed = false;       // and so is the output picture
    Expected<void> result;      // failed: the save failed and trimming stopped
  };
  // Takes the clipboard's picture into a canvas of this size. Text and the
  // like are passed over, and so is the program's own copy; a picture that
  // cannot be read, or that the frame misses, is counted; the same picture
  // offered again (a clipboard
  // manager taking it over) is neither saved nor counted.
  Taken Take(const QMimeData *data, QSize areaPixels);
  // A picture that could not be read before it reached the program (too
  // large or too slow to come), counted as unreadable.
  void PassOver() {
    if (m_running) {
      ++m_unreadable;
    }
  }

  // Pictures saved, and pictures that could not be read (or that the frame
  // missed), since the start.
  int saved() const { return m_saved; }
  int unreadable() const { return m_unreadable; }

private:
  Taken Failed(const Problem &problem, bool trimmed);

  TrimSession &m_session;
  bool m_running = false;
  SavePixelstoJPEGFunction m_save = nullptr; // the JPEG writer, loaded at the start
  int m_saved = 0;
  int m_unreadable = 0;
  QImage m_lastSaved;
  NumberedSeries m_numbers;
};

} // namespace orvelle
