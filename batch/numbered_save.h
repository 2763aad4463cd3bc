#pragma once

#include "common/expected.h"
#include "export/picture_format.h"
#include "savejpg/SaveJPG.h"

#include <QImage>
#include <QString>
#include <optional>

namespace orvelle {

// Where pictures saved over and over go: <folder>/<base>-NNN.jpg (.png).
struct NumberedTarget {
  QString folder;
  QString base;
  int quality = 50;                        // 0 to 100
  SavePixelstoJPEGFunction save = nullptr; // the JPEG library's writer (JPEG only)
  PictureFormat format = PictureFormat::Jpeg;
};

// The most a number of the series may be.
inline constexpr qulonglong kMaxNumber = 999999999;

// One series of numbered files (one run of continuous trimming, of the
// interval, of orvelle-trim): the next number is found once, one past the
// highest that any entry base-NNN.jpg or base-NNN.png has in the folder, and
// each save claims upward from there. A picture is written whole to a hidden
// file first and only then takes its name, which it never takes from
// anything already there (another program's file, a link, a pipe): a number
// taken meanwhile is passed over. A crash leaves no empty or half file under
// a numbered name; nothing is left behind when a save fails.
class NumberedSeries {
public:
  // The file saved, or why nothing was.
  Expected<QString> Save(const QImage &picture, const NumberedTarget &target);

private:
  QString m_folder; // the series the number counts in
  QString m_base;
  std::optional<qulonglong> m_next;
};

} // namespace orvelle
