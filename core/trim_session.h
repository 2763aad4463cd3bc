#pragma once

#include "capture/picture/frame.h"
#include "capture/picture/trim_plan.h"
#include "core/result.h"
#include "export/picture_format.h"
#include "savejpg/SaveJPG.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <variant>

class QClipboard;
class QMimeData;

namespace orvelle {

inline const QString kNothingTrimmed = QStringLiteral("トリムされた画像がありません");
// The clipboard format that marks the program's own copy.
inline const QString kOwnCopyFormat = QStringLiteral("application/x-orvelle-copy");

// Where a session finds and keeps its files.
struct SessionPlaces {
  QString settingsPath; // trim.ini
  QString bitmapFolder; // the intermediate BMP files
  QString libraryPath;  // the JPEG writer
};

// The canvas: the captured picture (null before a capture or after one that
// found none) over the canvas's background, at the canvas's size.
struct CanvasPicture {
  QImage picture;
  QSize size;
  QColor background;
  // What the canvas shows, which a save of the original writes.
  QImage image() const;
};

// The working state of a trim and its operations: the frame with its ratio,
// the captured picture, the trimmed picture, the save folder, and the base
// name and quality as the window's inputs. Operations return what they did
// and never show anything.
class TrimSession {
public:
  explicit TrimSession(SessionPlaces places);

  FrameState frame;
  QString baseName;
  int quality = 50;
  PictureFormat format = PictureFormat::Jpeg; // of every picture saved

  const SessionPlaces &places() const { return m_places; }
  const QString &saveFolder() const { return m_saveFolder; }
  const CanvasPicture &canvas() const { return m_canvas; }
  const OutputPicture &output() const { return m_output; }

  // The start: an empty canvas of this size and background, the output
  // picture as the window lays it out, the save folder from trim.ini.
  void Begin(QSize canvasSize, QColor background, OutputPicture output);

  // The folder the user chose ("" when cancelled) becomes the save folder and
  // is stored; done with a warning when it could not be stored.
  Result ChooseSaveFolder(const QString &chosen);

  // Takes the clipboard's picture into a canvas of this size (empty without
  // one), or a picture of the screen.
  Result Capture(const QMimeData *clipboard, QSize areaPixels);
  // The same for a clipboard picture already read (see ClipboardPicture).
  Result CaptureFrom(const std::variant<QImage, QString> &picture, QSize areaPixels);
  void TakePicture(const QImage &picture);
  // An empty canvas takes the size of the area that shows it; a picture's
  // canvas keeps the picture's size.
  void FitEmptyCanvas(QSize areaPixels);

  // Trims the frame's area out; refused for a frame wholly off the captured
  // picture, which then leaves no trimmed picture.
  Result Trim();
  // Whether there is a trimmed picture of the picture on the canvas: none
  // from the start and after each capture until the next trim.
  bool trimmed() const { return m_trimmed && !m_output.image.isNull(); }
  // Puts what a save of the trimmed picture would write on the clipboard, as
  // a picture; fails before the first trim.
  Result Copy(QClipboard &clipboard);
  // The last picture copied, by which the program knows its own copy.
  const QImage &copied() const { return m_copied; }
  // Saves the trimmed picture; fails while there is none.
  Result SaveTrimmed();
  // Stores the save folder first, then saves the whole captured picture.
  Result SaveOriginal();
  Result SaveTrimInfo() const;
  Result LoadTrimInfo();

  // Why the frame cannot be trimmed over and over ("no frame"); empty when it can.
  QString FrameProblem() const;
  // The same, then the name and the save folder, as saves over and over need them.
  QString RepeatProblem() const;
  // The same, then the save folder, as a batch needs them.
  QString BatchProblem() const;
  // The JPEG library's writer; nothing, and why, when it cannot be loaded.
  SavePixelstoJPEGFunction Writer(QString *problem) const;
  // The writer for saves over and over, and why they cannot be made where
  // RepeatProblem says no or the library cannot be loaded; PNG needs no writer
  // (nothing, and no problem).
  SavePixelstoJPEGFunction RepeatWriter(QString *problem) const;

private:
  SessionPlaces m_places;
  QString m_saveFolder;
  CanvasPicture m_canvas;
  OutputPicture m_output;
  bool m_trimmed = false; // a trim was made of the picture on the canvas
  QImage m_copied;
};

} // namespace orvelle
