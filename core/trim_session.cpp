#include "core/trim_session.h"

#include "capture/picture/clipboard_picture.h"
#include "capture/picture/picture_pixels.h"
#include "export/jpeg_export.h"
#include "export/jpeg_library.h"
#include "export/save_problems.h"
#include "settings/save_folder.h"
#include "settings/trim_info.h"

#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QPainter>

namespace orvelle {

QImage CanvasPicture::image() const {
  if (picture.size() == size) {
    return picture;
  }
  QImage out(size, QImage::Format_RGB32);
  out.fill(background);
  QPainter p(&out);
  p.drawImage(0, 0, picture);
  return out;
}

TrimSession::TrimSession(SessionPlaces places) : m_places(std::move(places)) {}

void TrimSession::Begin(QSize canvasSize, QColor background, OutputPicture output) {
  m_canvas = {QImage(), canvasSize, background};
  m_output = std::move(output);
  m_saveFolder = ReadSaveFolder(m_places.settingsPath);
}

Expected<void> TrimSession::ChooseSaveFolder(const QString &chosen) {
  if (chosen.isEmpty()) {
    return MakeProblem(ProblemKind::FolderCancelled);
  }
  // trim.ini gives back at most 254 bytes of a value: a longer folder would
  // come back cut at the next start, naming another folder.
  if (!FitsSettingsFile(chosen)) {
    return MakeProblem(ProblemKind::FolderNameTooLong, {chosen, QString::number(kMaxFolderBytes)});
  }
  m_saveFolder = chosen;
  if (!WriteSaveFolder(m_saveFolder, m_places.settingsPath)) {
    return MakeProblem(ProblemKind::FolderNotStored, {m_places.settingsPath});
  }
  return {};
}

Expected<void> TrimSession::Capture(const QMimeData *clipboard, QSize areaPixels) {
  return CaptureFrom(ClipboardPicture(clipboard), areaPixels);
}

Expected<void> TrimSession::CaptureFrom(const Expected<QImage> &picture, QSize areaPixels) {
  m_trimmed = false;
  m_canvas.picture = QImage();
  m_canvas.size = areaPixels;
  if (!picture) {
    return picture.problem();
  }
  TakePicture(*picture);
  return {};
}

void TrimSession::TakePicture(const QImage &picture) {
  m_trimmed = false; // the trimmed picture was of the picture before
  m_canvas.picture = picture.isNull() ? QImage() : OpaquePicture(picture);
  if (!picture.isNull()) {
    m_canvas.size = picture.size();
  }
}

void TrimSession::FitEmptyCanvas(QSize areaPixels) {
  if (m_canvas.picture.isNull()) {
    m_canvas.size = areaPixels;
  }
}

Expected<void> TrimSession::Trim() {
  if (const auto size = TrimOutputSize(frame.drag)) {
    if (Expected<void> possible = CheckOutputSize(*size); !possible) {
      return possible;
    }
  }
  // A frame wholly off the captured picture would give a picture of nothing.
  if (!m_canvas.picture.isNull() && FrameMisses(m_canvas.picture.size(), frame.trim)) {
    m_trimmed = false;
    return FrameOutsideProblem(m_canvas.picture.size());
  }
  m_output = TrimPicture(m_canvas.picture, m_output, frame.trim, frame.drag);
  m_trimmed = true;
  return {};
}

Expected<void> TrimSession::Copy(QClipboard &clipboard) {
  if (!trimmed()) {
    return MakeProblem(ProblemKind::NothingTrimmed);
  }
  m_copied = m_output.image;
  // The picture, with the program's own mark beside it: its own copy is
  // known by the mark first, where a clipboard manager keeps it.
  auto *data = new QMimeData;
  data->setImageData(m_copied);
  data->setData(kOwnCopyFormat, QByteArrayLiteral("1"));
  clipboard.setMimeData(data);
  return {};
}

Expected<void> TrimSession::SaveTrimmed() {
  if (!trimmed()) {
    return MakeProblem(ProblemKind::NothingTrimmed);
  }
  const JpegJob job{baseName, quality, m_places.bitmapFolder, m_places.libraryPath, format};
  return SaveTrimmedJpeg(job, m_saveFolder, m_output.image);
}

Expected<void> TrimSession::SaveOriginal() {
  WriteSaveFolder(m_saveFolder, m_places.settingsPath);
  const JpegJob job{baseName, quality, m_places.bitmapFolder, m_places.libraryPath, format};
  return SaveOriginalJpeg(job, m_saveFolder, m_canvas.image());
}

Expected<void> TrimSession::SaveTrimInfo() const { return orvelle::SaveTrimInfo(frame, m_places.settingsPath); }

Expected<void> TrimSession::LoadTrimInfo() {
  Expected<FrameState> loaded = orvelle::LoadTrimInfo(m_places.settingsPath);
  if (!loaded) {
    return loaded.problem();
  }
  frame = *loaded;
  return {};
}

Expected<void> TrimSession::CheckFrame() const {
  if (HasFrame(frame.trim, frame.drag) && TrimOutputSize(frame.drag)) {
    return {};
  }
  return MakeProblem(ProblemKind::NoFrame);
}

Expected<void> TrimSession::CheckRepeat() const {
  Expected<void> framed = CheckFrame();
  return framed ? CheckSave(baseName, m_saveFolder) : framed;
}

Expected<void> TrimSession::CheckBatch() const {
  Expected<void> framed = CheckFrame();
  return framed ? CheckFolder(m_saveFolder) : framed;
}

Expected<SavePixelstoJPEGFunction> TrimSession::Writer() const { return ResolveSavePixelstoJPEG(m_places.libraryPath); }

Expected<SavePixelstoJPEGFunction> TrimSession::RepeatWriter() const {
  if (Expected<void> possible = CheckRepeat(); !possible) {
    return possible.problem();
  }
  return format == PictureFormat::Jpeg ? Writer() : Expected<SavePixelstoJPEGFunction>(nullptr);
}

} // namespace orvelle
