#pragma once

#include "capture/picture/frame.h"
#include "capture/picture/trim_plan.h"
#include "common/expected.h"
#include "export/picture_format.h"
#include "savejpg/SaveJPG.h"

#include <QColor>
#include <QImage>
#include <QString>

class QClipboard;
class QMimeData;

namespace orvelle {

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
  // is stored; when it could not be stored it is the save folder all the
  // same, until the end of the run, and the problem says so.
  Expected<void> ChooseSaveFolder(const QString &chosen);

  // Takes the clipboard's picture into a canvas of this size (empty without
  // one), or a picture of the screen.
  Expected<void> Capture(const QMimeData *clipboard, QSize areaPixels);
  // The same for a clipboard picture already read (see ClipboardPicture).
  Expected<void> CaptureFrom(const Expected<QImage> &picture, QSize areaPixels);
  void TakePicture(const QImage &picture);
  // An empty canvas takes the size of the area that shows it; a picture's
  // canvas keeps the picture's size.
  void FitEmptyCanvas(QSize areaPixels);

  // Trims the frame's area out; refused for a frame wholly off the captured
  // picture, which then leaves no trimmed picture.
  Expected<void> Trim();
  // Whether there is a trimmed picture of the picture on the canvas: none
  // from the start and after each capture until the next trim.
  bool trimmed() const { return m_trimmed && !m_output.image.isNull(); }
  // Puts what a save of the trimmed picture would write on the clipboard, as
  // a picture; fails before the first trim.
  Expected<void> Copy(QClipboard &clipboard);
  // The last picture copied, by which the program knows its own copy.
  const QImage &copied() const { return m_copied; }
  // Saves the trimmed picture; fails while there is none.
  Expected<void> SaveTrimmed();
  // Stores the save folder first, then saves the whole captured picture.
  Expected<void> SaveOriginal();
  Expected<void> SaveTrimInfo() const;
  Expected<void> LoadTrimInfo();

  // Whether the frame can be trimmed over and over, or why not ("no frame").
  Expected<void> CheckFrame() const;
  // The same, then the name and the save folder, as saves over and over need them.
  Expected<void> CheckRepeat() const;
  // The same, then the save folder, as a batch needs them.
  Expected<void> CheckBatch() const;
  // The JPEG library's writer, or why it cannot be loaded.
  Expected<SavePixelstoJPEGFunction> Writer() const;
  // The writer for saves over and over, or why they cannot be made (what
  // CheckRepeat says, or the library); PNG needs no writer (a null one).
  Expected<SavePixelstoJPEGFunction> RepeatWriter() const;

private:
  SessionPlaces m_places;
  QString m_saveFolder;
  CanvasPicture m_canvas;
  OutputPicture m_output;
  bool m_trimmed = false; // a trim was made of the picture on the canvas
  QImage m_copied;
};

} // namespace orvelle
