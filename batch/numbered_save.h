#pragma once

#include "export/picture_format.h"
#include "savejpg/SaveJPG.h"

#include <QImage>
#include <QString>

namespace orvelle {

// Where pictures saved over and over go: <folder>/<base>-NNN.jpg (.png).
struct NumberedTarget {
  QString folder;
  QString base;
  int quality = 50;                        // 0 to 100
  SavePixelstoJPEGFunction save = nullptr; // the JPEG library's writer (JPEG only)
  PictureFormat format = PictureFormat::Jpeg;
};

struct NumberedSave {
  QString path;    // the file saved
  QString problem; // why nothing was saved, for the user; empty when saved
};

// Saves the picture as the next numbered file: one past the highest number in
// the folder, claimed by creating the file, so that programs saving into the
// same folder at the same moment each get a number of their own and never
// replace another's file. Nothing is left behind when the save fails.
NumberedSave SaveAsNextNumbered(const QImage &picture, const NumberedTarget &target);

} // namespace orvelle
