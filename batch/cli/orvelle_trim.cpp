// orvelle-trim: trims image files, or the screen, to the frame stored in
// trim.ini and saves them as JPEG, with the program's own engine.

#include "batch/batch_trim.h"
#include "batch/cli/problem_words.h"
#include "batch/cli/screen_command.h"
#include "batch/cli/trim_command.h"
#include "capture/picture/clipboard_picture.h"
#include "capture/picture/trim_plan.h"
#include "common/file_access.h"
#include "common/file_names.h"
#include "common/program_folder.h"
#include "export/jpeg_library.h"
#include "export/save_problems.h"
#include "settings/save_folder.h"
#include "settings/settings_file.h"
#include "settings/trim_info.h"
#include "settings/view_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace orvelle;

namespace {

// Whether a signal asked the batch to stop, and which one.
std::atomic<bool> g_stop{false};
std::atomic<int> g_stopSignal{0};

// A file descriptor the signal handler writes the second stop's number to.
std::atomic<int> g_secondStop{-1};

// While it lives, a first SIGINT or SIGTERM asks the batch to stop and a
// second ends the process at once: a thread of its own (where removing files
// is safe, unlike in a signal handler) removes the partial files and exits.
class SecondStop {
public:
  explicit SecondStop(PartialFiles &partial) {
    if (::pipe2(m_pipe, O_CLOEXEC) != 0) {
      m_pipe[0] = m_pipe[1] = -1;
    }
    g_secondStop = m_pipe[1];
    m_waiter = std::thread([this, &partial] {
      unsigned char signal = 0;
      while (::read(m_pipe[0], &signal, 1) < 0 && errno == EINTR) {
      }
      if (signal != 0) {
        partial.RemoveAll();
        ::_exit(128 + signal);
      }
    });
    struct sigaction stop {};
    stop.sa_handler = [](int signal) {
      if (g_stop.exchange(true)) {
        const unsigned char number = static_cast<unsigned char>(signal);
        if (const int fd = g_secondStop; fd >= 0 && ::write(fd, &number, 1) != 1) {
          ::_exit(128 + signal); // no way to the thread: end without it
        }
        return;
      }
      g_stopSignal = signal;
    };
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
  }
  ~SecondStop() {
    const unsigned char none = 0;
    g_secondStop = -1;
    if (m_pipe[1] < 0 || ::write(m_pipe[1], &none, 1) != 1) {
      m_waiter.detach(); // cannot be woken: left blocked until the process ends
    } else {
      m_waiter.join();
    }
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
  }
  SecondStop(const SecondStop &) = delete;
  SecondStop &operator=(const SecondStop &) = delete;

private:
  int m_pipe[2] = {-1, -1};
  std::thread m_waiter;
};

// A bar on the terminal, redrawn after each file; how many files are done.
class Progress {
public:
  explicit Progress(int total) : m_total(total), m_shown(isatty(STDERR_FILENO) != 0) {}
  int done() const { return m_done; }
  void operator()(int done) {
    m_done = done;
    if (!m_shown) {
      return;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    const int width = 30;
    const int filled = done * width / m_total;
    std::fprintf(stderr, "\r[%s%s] %d/%d", std::string(std::size_t(filled), '#').c_str(),
                 std::string(std::size_t(width - filled), ' ').c_str(), done, m_total);
    if (done == m_total) {
      std::fputc('\n', stderr);
    }
  }

private:
  int m_total;
  bool m_shown;
  std::atomic<int> m_done{0};
  std::mutex m_lock;
};

} // namespace

int main(int argc, char **argv) {
  // The application gets the program's name alone, so that no file name is
  // ever taken for one of Qt's own options (-platform, -plugin, ...).
  int qtArgc = 1;
  char *qtArgv[] = {argv[0], nullptr};
  QCoreApplication app(qtArgc, qtArgv);
  SetDecoderLimit(); // before any worker decodes
  QCoreApplication::setApplicationName(QStringLiteral("Orvelle"));
  QCoreApplication::setOrganizationName(QStringLiteral("Orvelle"));
  QStringList args;
  for (int i = 1; i < argc; ++i) {
    args << DecodeFileName(argv[i]); // the bytes as they are, whatever they are
  }
  const auto parsed = ParseTrimOptions(args);
  if (const int *code = std::get_if<int>(&parsed)) {
    return *code;
  }
  TrimOptions options = std::get<TrimOptions>(parsed);
  const QString executable = ExecutableFolder();
  if (options.settings.isEmpty()) {
    options.settings = SettingsFilePath(ChooseProgramFolder(executable));
  }
  // What stops the run before it starts; for the screen trim also told to
  // the desktop, in the user's words where they differ.
  // The exit code comes from the problem's kind.
  const auto refuse = [&options](const Problem &problem, const QString &words, const QString &userWords = QString()) {
    if (options.screen) {
      TellDesktop(QStringLiteral("画面トリム：保存できませんでした"), userWords.isEmpty() ? words : userWords);
    }
    if (ExitCodeOf(problem.kind) == kUsage) {
      return Usage(words);
    }
    Say(words);
    return ExitCodeOf(problem.kind);
  };
  const Expected<FrameState> loaded = LoadTrimInfo(options.settings);
  if (!loaded) {
    return refuse(loaded.problem(),
                  QStringLiteral("%1\n（設定ファイル: %2）")
                      .arg(Words(loaded.problem()), QDir::toNativeSeparators(options.settings)),
                  kNoStoredFrame);
  }
  const FrameState &frame = *loaded;
  if (!HasFrame(frame.trim, frame.drag) || !TrimOutputSize(frame.drag)) {
    const Problem none = MakeProblem(ProblemKind::NoFrame);
    return refuse(none, QStringLiteral("%1（%2）。").arg(Words(none), QDir::toNativeSeparators(options.settings)),
                  kNoStoredFrame);
  }
  if (options.output.isEmpty()) {
    options.output = ReadSaveFolder(options.settings);
    if (options.output == kMissingSetting) {
      return refuse(MakeProblem(ProblemKind::NoSaveFolder),
                    QStringLiteral("保存先フォルダーがありません。--output で指定してください。"));
    }
  }
  if (!IsWritableFolder(options.output)) {
    const Problem unusable = MakeProblem(ProblemKind::FolderUnusableHere, {options.output});
    return refuse(unusable, Words(unusable));
  }
  // The base name of the screen trims keeps to the window's rule: a name of
  // its own in the folder, never a way out of it.
  if (Expected<void> possible = CheckSave(options.name, options.output); options.screen && !possible) {
    return refuse(possible.problem(), Words(possible.problem()));
  }
  const PictureFormat format =
      options.format.value_or(ReadPngChosen(options.settings) ? PictureFormat::Png : PictureFormat::Jpeg);
  // PNG is written without the JPEG library.
  const QString libraryPath = JpegLibraryPath(executable);
  const Expected<SavePixelstoJPEGFunction> resolved = format == PictureFormat::Jpeg
                                                          ? ResolveSavePixelstoJPEG(libraryPath)
                                                          : Expected<SavePixelstoJPEGFunction>(nullptr);
  if (!resolved) {
    return refuse(resolved.problem(), Words(resolved.problem()));
  }
  const SavePixelstoJPEGFunction save = *resolved;
  if (options.screen) {
    if (Expected<void> possible = CheckOutputSize(*TrimOutputSize(frame.drag)); !possible) {
      return refuse(possible.problem(), Words(possible.problem()));
    }
    return RunScreenCommand({frame.trim, frame.drag}, {options.output, options.name, options.quality, save, format},
                            options);
  }

  PartialFiles partial;
  BatchJob job{{frame.trim, frame.drag}, options.output, options.quality, save, options.overwrite, format};
  job.partial = &partial;
  Progress progress(int(options.images.size()));
  // Ctrl+C or SIGTERM: no further file is started, the ones being decoded
  // stop between two rows, and the ones being written are written whole.
  // A second one ends the run at once, less the hidden files being written.
  const SecondStop second(partial);
  const auto failures = RunBatch(options.images, job, std::ref(progress), g_stop);
  for (const BatchFailure &failure : failures) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(Printable(QDir::toNativeSeparators(failure.file))),
                 qPrintable(Words(failure.reason)));
  }
  if (isatty(STDERR_FILENO) != 0) {
    const int failed = int(failures.size());
    std::fprintf(
        stderr, "%s\n",
        qPrintable(QStringLiteral("一括トリム：%1 枚保存、%2 枚失敗").arg(progress.done() - failed).arg(failed)));
  }
  if (const int undone = int(options.images.size()) - progress.done(); g_stop && undone > 0) {
    Say(QStringLiteral("中断しました。%1 枚は保存していません。").arg(undone));
    return 128 + g_stopSignal;
  }
  return failures.empty() ? kAllSaved : kSomeFailed;
}
