#pragma once

#include "batch/partial_files.h"
#include "capture/picture/frame.h"
#include "common/expected.h"
#include "export/picture_format.h"
#include "savejpg/SaveJPG.h"

#include <QColor>
#include <QImage>
#include <QStringList>
#include <atomic>
#include <functional>
#include <vector>

namespace orvelle {

// One frame for a whole batch: the frame and the drag frame as the trim
// command takes them.
struct BatchFrame {
  TrimFrame trim;
  DragFrame drag;
};

// The trimmed picture of one image file, exactly as the trim command cuts it
// out of the same picture on the canvas; or why it cannot be. Once `stop` is
// set the file's decoding ends as interrupted.
Expected<QImage> TrimImageFile(const QString &path, const BatchFrame &frame, const std::atomic<bool> *stop = nullptr);

struct BatchJob {
  BatchFrame frame;
  QString folder;                          // where <file's base name>.jpg goes
  int quality = 50;                        // 0 to 100
  SavePixelstoJPEGFunction save = nullptr; // the JPEG library's writer
  bool overwrite = false;                  // an existing file of an output's name is replaced (a read-only one never)
  PictureFormat format = PictureFormat::Jpeg; // <file's base name>.png for PNG
  PartialFiles *partial = nullptr;            // told the hidden files being written, when given
};

struct BatchFailure {
  int index = 0; // in the list of files
  QString file;
  Problem reason;
};

// The outputs of these files that already exist as files of their own (not
// one of the files), which a batch replaces only when asked to.
QStringList ExistingOutputs(const QStringList &files, const QString &folder,
                            PictureFormat format = PictureFormat::Jpeg);

// Trims every file and saves it as <folder>/<base name>.jpg, one file per task
// on a thread pool as large as the machine has cores and its free memory
// holds workers of the picture budget each; returns when all are
// done. progress(done) is called from the workers after each file. Once
// `cancel` is set no further file is started and the files being decoded
// are left where they are, neither done nor failed; files already saved stay.
// A file that cannot be read, trimmed or saved fails alone; an output that
// would replace an input file, another output of the batch, a read-only file
// or (unless the job says to overwrite) any existing file is a failure; that
// is checked again just before each file is saved.
std::vector<BatchFailure> RunBatch(const QStringList &files, const BatchJob &job,
                                   const std::function<void(int done)> &progress, const std::atomic<bool> &cancel);

} // namespace orvelle
