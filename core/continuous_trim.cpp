#include "core/continuous_trim.h"

#include "batch/numbered_save.h"
#include "capture/picture/clipboard_picture.h"
#include "capture/picture/same_picture.h"
#include "capture/picture/trim_plan.h"
#include "core/trim_session.h"

#include <QMimeData>

namespace orvelle {

Result ContinuousTrim::Start() {
  QString problem;
  m_save = m_session.RepeatWriter(&problem);
  m_running = problem.isEmpty();
  if (!m_running) {
    return Result::Failed(problem);
  }
  m_saved = 0;
  m_unreadable = 0;
  m_numbers = NumberedSeries(); // the next number is looked for anew
  m_lastSaved = QImage();
  return Result::Done();
}

ContinuousTrim::Taken ContinuousTrim::Failed(const QString &problem, bool trimmed) {
  Stop();
  return {true, trimmed, Result::Failed(problem)};
}

ContinuousTrim::Taken ContinuousTrim::Take(const QMimeData *data, QSize areaPixels) {
  if (!m_running || data == nullptr || !HoldsPicture(*data) || data->hasFormat(kOwnCopyFormat)) {
    return {}; // nothing, or the program's own copy
  }
  const auto picture = ClipboardPicture(data);
  if (const QImage *image = std::get_if<QImage>(&picture);
      image != nullptr && SamePicture(*image, m_session.copied())) {
    return {}; // the program's own copy, also from a clipboard manager that drops the mark
  }
  if (!m_session.CaptureFrom(picture, areaPixels).done || m_session.canvas().picture.isNull()) {
    ++m_unreadable; // nothing is saved for a picture that cannot be read
    return {true, false, Result::Done()};
  }
  if (FrameMisses(m_session.canvas().picture.size(), m_session.frame.trim)) {
    ++m_unreadable; // the frame lies off this picture: nothing of it to save
    return {true, false, Result::Done()};
  }
  if (const Result trimmed = m_session.Trim(); !trimmed.done) {
    return Failed(trimmed.message, false);
  }
  const QImage &trimmed = m_session.output().image;
  if (SamePicture(trimmed, m_lastSaved)) {
    return {true, true, Result::Done()};
  }
  // The name, the folder and the quality as they are now.
  if (const QString problem = m_session.RepeatProblem(); !problem.isEmpty()) {
    return Failed(problem, true);
  }
  const NumberedSave saved = m_numbers.Save(
      trimmed, {m_session.saveFolder(), m_session.baseName, m_session.quality, m_save, m_session.format});
  if (!saved.problem.isEmpty()) {
    return Failed(saved.problem, true);
  }
  m_lastSaved = trimmed;
  ++m_saved;
  return {true, true, Result::Done()};
}

QString ContinuousTrim::statusText() const {
  if (!m_running) {
    return QStringLiteral("連続トリム停止：%1 枚").arg(m_saved);
  }
  QString text = QStringLiteral("連続トリム中：%1 枚").arg(m_saved);
  if (m_unreadable > 0) {
    text += QStringLiteral("（読み込めない画像 %1 枚）").arg(m_unreadable);
  }
  return text;
}

} // namespace orvelle
