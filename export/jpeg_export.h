#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace orvelle {

// What both saves take from the window and the program.
struct JpegExport {
  QWidget *parent = nullptr; // owner of the message boxes
  QString baseName;          // the file-name box, used exactly as typed
  int quality = 50;          // the slider, 0 to 100
  QString programFolder;     // where trim.ini lives
  QString bitmapFolder;      // where the intermediate BMP files live
  QString libraryPath;       // the JPEG writer
};

inline const QString kTrimmedBmpName = QStringLiteral("default.bmp");
inline const QString kOriginalBmpName = QStringLiteral("default-org.bmp");

// The JPEG path: the folder, one separator unless it ends in one, the name and
// the suffix.
QString JpegPath(const QString &folder, const QString &baseName, const QString &suffix);

// The message for the user when a picture cannot be saved under this base name
// into this folder (no name, no folder, a name that would leave the folder, a
// folder that is missing or cannot be written); empty when it can.
QString SaveProblem(const QString &baseName, const QString &folder);
// The same for the folder alone.
QString FolderProblem(const QString &folder);

// The message for a JPEG file the library did not save: a full disk is named
// as such; other failures give the library's code.
QString JpegSaveProblem(const QString &jpegPath, int code, int systemError);

// The message for a JPEG library that cannot be loaded.
QString LibraryProblem(const QString &libraryPath, const QString &loadError);

// Saves the trimmed picture as name + ".jpg" into the folder shown in the
// status bar, which becomes the save folder. False when it was not saved (the
// user has been told why).
bool SaveTrimmedJpeg(const JpegExport &job, const QString &panelFolder, QString &saveFolder, const QImage &trimmed);

// Stores the save folder in trim.ini first, then saves the whole captured
// picture as name + "-org.jpg" into it.
void SaveOriginalJpeg(const JpegExport &job, const QString &saveFolder, const QImage &original);

} // namespace orvelle
