#include "core/continuous_trim.h"

#include "batch/numbered_save.h"
#include "capture/picture/clipboard_picture.h"
#include "capture/picture/same_picture.h"
#include "capture/picture/trim_plan.h"
#include "core/trim_session.h"

#include <QMimeData>

namespace orvelle {

Expected<void> ContinuousTrim::Start() {
  const Expected<SavePixelstoJPEGFunction> writer = m_session.RepeatWriter();
  m_running = writer.ok();
  if (!m_running) {
    return writer.problem();
  }
  m_save = *writer;
  m_saved = 0;
  m_unreadable = 0;
  m_numbers = NumberedSeries(); // the next number is looked for anew
  m_lastSaved = QImage();
  return {};
}

ContinuousTrim::Taken ContinuousTrim::Failed(const Problem &problem, bool trimmed) {
  Stop();
  return {true, trimmed, problem};
}

ContinuousTrim::Taken ContinuousTrim::Take(const QMimeData *data, QSize areaPixels) {
  if (!m_running || data == nullptr || !HoldsPicture(*data) || data->hasFormat(kOwnCopyFormat)) {
    return {}; // nothing, or the program's own copy
  }
  const Expected<QImage> picture = ClipboardPicture(data);
  if (picture && SamePicture(*picture, m_session.copied())) {
    return {}; // the program's own copy, also from a clipboard manager that drops the mark
  }
  if (!m_session.CaptureFrom(picture, areaPixels) || m_session.canvas().picture.isNull()) {
    ++m_unreadable; // nothing is saved for a picture that cannot be read
    return {true, false, {}};
  }
  if (FrameMisses(m_session.canvas().picture.size(), m_session.frame.trim)) {
    ++m_unreadable; // the frame lies off this picture: nothing of it to save
    return {true, false, {}};
  }
  if (Expected<void> trimmed = m_session.Trim(); !trimmed) {
    return Failed(trimmed.problem(), false);
  }
  const QImage &trimmed = m_session.output().image;
  if (SamePicture(trimmed, m_lastSaved)) {
    return {true, true, {}};
  }
  // The name, the folder and the quality as they are now.
  if (Expected<void> possible = m_session.CheckRepeat(); !possible) {
    return Failed(possible.problem(), true);
  }
  const Expected<QString> saved = m_numbers.Save(
      trimmed, {m_session.saveFolder(), m_session.baseName, m_session.quality, m_save, m_session.format});
  if (!saved) {
    return Failed(saved.problem(), true);
  }
  m_lastSaved = trimmed;
  ++m_saved;
  return {true, true, {}};
}

} // namespace orvelle
