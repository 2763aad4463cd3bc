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

Result TrimSession::ChooseSaveFolder(const QString &chosen) {
  if (chosen.isEmpty()) {
    return Result::Failed(QStringLiteral("キャンセルを選択"));
  }
  // trim.ini gives back at most 254 bytes of a value: a longer folder would
  // come back cut at the next start, naming another folder.
  if (!FitsSettingsFile(chosen)) {
    return Result::Failed(QStringLiteral("フォルダー「%1」は名前が長すぎるため保存先にできません（%2 バイトまで）。")
                              .arg(QDir::toNativeSeparators(chosen))
                              .arg(kMaxFolderBytes));
  }
  m_saveFolder = chosen;
  if (!WriteSaveFolder(m_saveFolder, m_places.settingsPath)) {
    return Result::Done(QStringLiteral("保存先フォルダーを設定ファイル「%1」に記録できませんでした。\n"
                                       "次回の起動時には元の保存先に戻ります。")
                            .arg(QDir::toNativeSeparators(m_places.settingsPath)));
  }
  return Result::Done();
}

Result TrimSession::Capture(const QMimeData *clipboard, QSize areaPixels) {
  return CaptureFrom(ClipboardPicture(clipboard), areaPixels);
}

Result TrimSession::CaptureFrom(const std::variant<QImage, QString> &picture, QSize areaPixels) {
  m_trimmed = false;
  m_canvas.picture = QImage();
  m_canvas.size = areaPixels;
  if (const QString *problem = std::get_if<QString>(&picture)) {
    return Result::Failed(*problem);
  }
  TakePicture(std::get<QImage>(picture));
  return Result::Done();
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

Result TrimSession::Trim() {
  if (const auto size = TrimOutputSize(frame.drag)) {
    if (const QString problem = OutputSizeProblem(*size); !problem.isEmpty()) {
      return Result::Failed(problem);
    }
  }
  // A frame wholly off the captured picture would give a picture of nothing.
  if (!m_canvas.picture.isNull() && FrameMisses(m_canvas.picture.size(), frame.trim)) {
    m_trimmed = false;
    return Result::Failed(FrameOutsideProblem(m_canvas.picture.size()));
  }
  m_output = TrimPicture(m_canvas.picture, m_output, frame.trim, frame.drag);
  m_trimmed = true;
  return Result::Done();
}

Result TrimSession::Copy(QClipboard &clipboard) {
  if (!trimmed()) {
    return Result::Failed(kNothingTrimmed);
  }
  m_copied = m_output.image;
  // The picture, with the program's own mark beside it: its own copy is
  // known by the mark first, where a clipboard manager keeps it.
  auto *data = new QMimeData;
  data->setImageData(m_copied);
  data->setData(kOwnCopyFormat, QByteArrayLiteral("1"));
  clipboard.setMimeData(data);
  return Result::Done();
}

Result TrimSession::SaveTrimmed() {
  if (!trimmed()) {
    return Result::Failed(kNothingTrimmed);
  }
  const JpegJob job{baseName, quality, m_places.bitmapFolder, m_places.libraryPath, format};
  return Result::Unless(SaveTrimmedJpeg(job, m_saveFolder, m_output.image));
}

Result TrimSession::SaveOriginal() {
  WriteSaveFolder(m_saveFolder, m_places.settingsPath);
  const JpegJob job{baseName, quality, m_places.bitmapFolder, m_places.libraryPath, format};
  return Result::Unless(SaveOriginalJpeg(job, m_saveFolder, m_canvas.image()));
}

Result TrimSession::SaveTrimInfo() const { return Result::Unless(orvelle::SaveTrimInfo(frame, m_places.settingsPath)); }

Result TrimSession::LoadTrimInfo() {
  auto loaded = orvelle::LoadTrimInfo(m_places.settingsPath);
  if (const QString *message = std::get_if<QString>(&loaded)) {
    return Result::Failed(*message);
  }
  frame = std::get<FrameState>(loaded);
  return Result::Done();
}

QString TrimSession::FrameProblem() const {
  return HasFrame(frame.trim, frame.drag) && TrimOutputSize(frame.drag) ? QString() : kNoFrameMessage;
}

QString TrimSession::RepeatProblem() const {
  const QString problem = FrameProblem();
  return problem.isEmpty() ? SaveProblem(baseName, m_saveFolder) : problem;
}

QString TrimSession::BatchProblem() const {
  const QString problem = FrameProblem();
  return problem.isEmpty() ? FolderProblem(m_saveFolder) : problem;
}

SavePixelstoJPEGFunction TrimSession::Writer(QString *problem) const {
  QString loadError;
  const auto save = ResolveSavePixelstoJPEG(m_places.libraryPath, &loadError);
  if (save == nullptr && problem != nullptr) {
    *problem = LibraryProblem(m_places.libraryPath, loadError);
  }
  return save;
}

SavePixelstoJPEGFunction TrimSession::RepeatWriter(QString *problem) const {
  *problem = RepeatProblem();
  return problem->isEmpty() && format == PictureFormat::Jpeg ? Writer(problem) : nullptr;
}

} // namespace orvelle
