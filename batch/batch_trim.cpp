#include "batch/batch_trim.h"

#include "capture/picture/region_reader.h"
#include "capture/picture/trim_plan.h"
#include "common/batch_workers.h"
#include "common/file_access.h"
#include "common/file_names.h"
#include "common/memory_budget.h"
#include "common/move_into_place.h"
#include "export/picture_writer.h"
#include "export/save_problems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <cerrno>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle {

Expected<QImage> TrimImageFile(const QString &path, const BatchFrame &frame, const std::atomic<bool> *stop) {
  const auto size = TrimOutputSize(frame.drag);
  if (!size || !HasFrame(frame.trim, frame.drag)) {
    return MakeProblem(ProblemKind::NoFrame);
  }
  if (Expected<void> possible = CheckOutputSize(*size); !possible) {
    return possible.problem();
  }
  std::optional<TrimPaint> paint;
  const Expected<Region> read = ReadRegion(
      path,
      [&](QSize picture) {
        paint = PlanTrimPaint(picture, frame.trim, frame.drag);
        return paint ? paint->source : QRect();
      },
      kPictureBudgetBytes - PictureBytes(size->width(), size->height()), stop);
  if (!read) {
    return read.problem();
  }
  const Region &region = *read;
  if (!paint || region.pixels.isNull()) {
    return FrameOutsideProblem(region.imageSize);
  }
  const QImage output = TrimRegion(region.pixels, region.area.topLeft(), *paint, *size);
  if (output.isNull()) {
    return MakeProblem(ProblemKind::OutOfMemory);
  }
  return output;
}

namespace {

// A file's identity on its device; none for a file that does not exist.
std::optional<std::pair<dev_t, ino_t>> Identity(const QString &path) {
  struct stat st {};
  if (::stat(EncodeFileName(path).constData(), &st) != 0) {
    return std::nullopt;
  }
  return std::make_pair(st.st_dev, st.st_ino);
}

// The output of each input, and why it may not be written: an output that is
// one of the inputs (by identity, whatever path reaches it) or that an
// earlier file of the batch already takes.
QString OutputFile(const QString &file, const QString &folder, PictureFormat format) {
  return QDir(folder).absoluteFilePath(QFileInfo(file).completeBaseName() + Suffix(format));
}

// Why the output may not be written (now): it is one of the inputs, or an
// existing file that may not be replaced.
Expected<void> CheckOutput(const QString &output, const std::set<std::pair<dev_t, ino_t>> &inputs, bool overwrite) {
  const auto id = Identity(output);
  if (id && inputs.count(*id) != 0) {
    return MakeProblem(ProblemKind::OutputIsInput);
  }
  if (id && !IsWritableFile(output)) {
    return MakeProblem(ProblemKind::OutputReadOnly, {QFileInfo(output).fileName()});
  }
  if (id && !overwrite) {
    return MakeProblem(ProblemKind::OutputExists, {QFileInfo(output).fileName()});
  }
  return {};
}

std::set<std::pair<dev_t, ino_t>> InputIdentities(const QStringList &files) {
  std::set<std::pair<dev_t, ino_t>> inputs;
  for (const QString &file : files) {
    if (const auto id = Identity(file)) {
      inputs.insert(*id);
    }
  }
  return inputs;
}

std::vector<std::pair<QString, Expected<void>>> Outputs(const QStringList &files, const QString &folder, bool overwrite,
                                                        PictureFormat format) {
  const auto inputs = InputIdentities(files);
  QSet<QString> taken;
  std::vector<std::pair<QString, Expected<void>>> outputs;
  for (const QString &file : files) {
    const QString output = OutputFile(file, folder, format);
    Expected<void> problem = CheckOutput(output, inputs, overwrite);
    if (problem && taken.contains(output)) {
      problem = MakeProblem(ProblemKind::SameNameEarlier, {QFileInfo(output).fileName()});
    }
    taken.insert(output);
    outputs.emplace_back(output, problem);
  }
  return outputs;
}

Expected<void> SaveTrimmed(const QString &file, const QString &output, const BatchJob &job,
                           const std::set<std::pair<dev_t, ino_t>> &inputs, const std::atomic<bool> &cancel) {
  const Expected<QImage> trimmed = TrimImageFile(file, job.frame, &cancel);
  if (!trimmed) {
    return trimmed.problem();
  }
  if (Expected<void> free = CheckOutput(output, inputs, job.overwrite); !free) {
    return free; // something took the name, or a link was set there, meanwhile
  }
  const QImage &image = *trimmed;
  // Without leave to replace, the picture is written whole under a hidden
  // name and then takes the output's name only if nothing holds it by then
  // (another batch into the same folder, say): checking and taking are one step.
  const QString written = job.overwrite ? output : HiddenPicturePath(QFileInfo(output).absolutePath(), job.format);
  const QByteArray hidden = EncodeFileName(written);
  const HeldFile held(job.overwrite ? nullptr : job.partial, hidden);
  const int code = WritePicture(image, written, job.format, job.save, job.quality);
  const int error = errno; // the library leaves the system's reason for a failed write
  if (code != SAVEJPG_OK || job.overwrite) {
    return SavedByCode(output, code, error);
  }
  const Moved moved = MoveIntoPlace(hidden, EncodeFileName(output));
  const int why = errno;
  if (moved != Moved::Done) {
    ::unlink(hidden.constData());
  }
  return moved == Moved::Done        ? Expected<void>()
         : moved == Moved::NameTaken ? MakeProblem(ProblemKind::OutputExists, {QFileInfo(output).fileName()})
                                     : SavedByCode(output, SAVEJPG_E_TARGET, why);
}

// One file, start to end; a lack of memory fails this file alone.
Expected<void> TrimAndSave(const QString &file, const QString &output, const BatchJob &job,
                           const std::set<std::pair<dev_t, ino_t>> &inputs, const std::atomic<bool> &cancel) {
  try {
    return SaveTrimmed(file, output, job, inputs, cancel);
  } catch (const std::bad_alloc &) {
    return MakeProblem(ProblemKind::OutOfMemory);
  }
}

} // namespace

QStringList ExistingOutputs(const QStringList &files, const QString &folder, PictureFormat format) {
  const auto inputs = InputIdentities(files);
  QStringList existing;
  for (const QString &file : files) {
    const QString output = OutputFile(file, folder, format);
    const auto id = Identity(output);
    if (id && inputs.count(*id) == 0 && !existing.contains(output)) {
      existing << output;
    }
  }
  return existing;
}

std::vector<BatchFailure> RunBatch(const QStringList &files, const BatchJob &job,
                                   const std::function<void(int done)> &progress, const std::atomic<bool> &cancel) {
  const auto outputs = Outputs(files, job.folder, job.overwrite, job.format);
  const auto inputs = InputIdentities(files);
  std::vector<BatchFailure> failures;
  std::mutex lock;
  int done = 0;
  QThreadPool pool;
  // One worker a core, as far as the memory there is holds each one's budget.
  pool.setMaxThreadCount(BatchWorkers(QThread::idealThreadCount(), AvailableMemory(), kPictureBudgetBytes));
  for (int i = 0; i < files.size(); ++i) {
    pool.start([&, i] {
      if (cancel) {
        return;
      }
      const auto &[output, problem] = outputs[std::size_t(i)];
      const Expected<void> saved = problem ? TrimAndSave(files[i], output, job, inputs, cancel) : problem;
      if (!saved && saved.problem().kind == ProblemKind::Interrupted) {
        return; // stopped halfway through its decoding: as if never started
      }
      std::lock_guard<std::mutex> guard(lock);
      if (!saved) {
        failures.push_back({i, files[i], saved.problem()});
      }
      progress(++done);
    });
  }
  pool.waitForDone();
  // In the order of the files, whatever order the workers ended in.
  std::sort(failures.begin(), failures.end(),
            [](const BatchFailure &a, const BatchFailure &b) { return a.index < b.index; });
  return failures;
}

} // namespace orvelle
