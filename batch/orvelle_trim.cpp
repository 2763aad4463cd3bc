// orvelle-trim: trims image files to the frame stored in trim.ini and saves
// each as <output folder>/<base name>.jpg, with the program's own engine.

#include "batch/batch_trim.h"
#include "capture/trim_plan.h"
#include "common/file_access.h"
#include "common/program_folder.h"
#include "export/jpeg_library.h"
#include "export/save_problems.h"
#include "settings/settings_file.h"
#include "settings/trim_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <unistd.h>

using namespace orvelle;

namespace {

constexpr int kAllSaved = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsage = 2;

const char *const kHelp =
    R"(使い方: orvelle-trim [--settings ファイル] [--quality 数値] [--output フォルダー] [--overwrite] [--] 画像...

Orvelle で保存したトリミング枠（trim.ini の [Data]）で画像ファイルを切り抜き、
出力フォルダーに「元のファイル名.jpg」として JPEG で保存します。

  --settings ファイル   トリミング枠を読む trim.ini（既定: Orvelle 本体が使う trim.ini）
  --quality 数値        JPEG の品質 0～100（既定: 50）
  --output フォルダー   保存先フォルダー（既定: その trim.ini の F_Path）
  --overwrite           保存先に同じ名前のファイルがあれば置き換えます（既定: 保存しません）
  --help                この説明を表示します
  --                    これより後はすべて画像（- で始まる名前のファイルにも）

画像: PNG、JPEG、BMP など Qt が読める形式。入力ファイルや読み取り専用のファイルを
上書きすることはありません。Ctrl+C（SIGINT）または SIGTERM では、保存中の画像を
保存し終えてから止まります。
終了コード: 0 すべて保存、1 一部が失敗、2 使い方または設定の誤り、
            130 / 143 途中で止められて保存していない画像がある
)";

// A file name as one line of output: control characters (a newline could
// forge another line) are written as \n, \t or \xHH, backslashes doubled.
QString Printable(const QString &name) {
  QString out;
  for (const QChar c : name) {
    if (c == QLatin1Char('\\')) {
      out += QStringLiteral("\\\\");
    } else if (c == QLatin1Char('\n')) {
      out += QStringLiteral("\\n");
    } else if (c == QLatin1Char('\t')) {
      out += QStringLiteral("\\t");
    } else if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
      out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    } else {
      out += c;
    }
  }
  return out;
}

void Say(const QString &text) { std::fprintf(stderr, "orvelle-trim: %s\n", qPrintable(text)); }

int Usage(const QString &text) {
  Say(text);
  std::fprintf(stderr, "使い方は orvelle-trim --help で表示します。\n");
  return kUsage;
}

struct Options {
  QString settings;
  QString output;
  int quality = 50;
  bool overwrite = false;
  QStringList images;
};

// The options, or the exit code when the program ends here.
std::variant<Options, int> Parse(const QStringList &args) {
  Options options;
  bool optionsEnded = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString &arg = args[i];
    if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
      options.images << arg;
      continue;
    }
    if (arg == QLatin1String("--")) {
      optionsEnded = true;
      continue;
    }
    if (arg == QLatin1String("--overwrite")) {
      options.overwrite = true;
      continue;
    }
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      std::fputs(kHelp, stdout);
      return kAllSaved;
    }
    const bool takesValue =
        arg == QLatin1String("--settings") || arg == QLatin1String("--quality") || arg == QLatin1String("--output");
    if (takesValue && i + 1 >= args.size()) {
      return Usage(QStringLiteral("%1 には値が必要です。").arg(arg));
    }
    if (takesValue && args[i + 1].isEmpty()) {
      return Usage(QStringLiteral("%1 の値が空です。").arg(arg));
    }
    if (arg == QLatin1String("--settings")) {
      options.settings = args[++i];
    } else if (arg == QLatin1String("--output")) {
      options.output = args[++i];
    } else if (arg == QLatin1String("--quality")) {
      bool ok = false;
      options.quality = args[++i].toInt(&ok);
      if (!ok || options.quality < 0 || options.quality > 100) {
        return Usage(QStringLiteral("品質は 0～100 の整数で指定してください（%1）。").arg(args[i]));
      }
    } else {
      return Usage(
          QStringLiteral("不明なオプションです: %1（- で始まるファイル名は -- の後に置きます）").arg(Printable(arg)));
    }
  }
  if (options.images.isEmpty()) {
    return Usage(QStringLiteral("画像ファイルを指定してください。"));
  }
  return options;
}

// Whether a signal asked the batch to stop, and which one.
std::atomic<bool> g_stop{false};
std::atomic<int> g_stopSignal{0};

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
  QCoreApplication::setApplicationName(QStringLiteral("Orvelle"));
  QCoreApplication::setOrganizationName(QStringLiteral("Orvelle"));
  QStringList args;
  for (int i = 1; i < argc; ++i) {
    args << QFile::decodeName(argv[i]);
  }
  const auto parsed = Parse(args);
  if (const int *code = std::get_if<int>(&parsed)) {
    return *code;
  }
  Options options = std::get<Options>(parsed);
  const QString executable = ExecutableFolder();
  if (options.settings.isEmpty()) {
    options.settings = SettingsFilePath(ChooseProgramFolder(executable));
  }
  const auto loaded = LoadTrimInfo(options.settings);
  if (const QString *message = std::get_if<QString>(&loaded)) {
    return Usage(QStringLiteral("%1\n（設定ファイル: %2）").arg(*message, QDir::toNativeSeparators(options.settings)));
  }
  const FrameState &frame = std::get<FrameState>(loaded);
  if (!HasFrame(frame.trim, frame.drag) || !TrimOutputSize(frame.drag)) {
    return Usage(QStringLiteral("%1（%2）。").arg(kNoFrameMessage, QDir::toNativeSeparators(options.settings)));
  }
  if (options.output.isEmpty()) {
    options.output = ReadSetting(QStringLiteral("F_Path"), QStringLiteral("File"), options.settings);
    if (options.output == kMissingSetting) {
      return Usage(QStringLiteral("保存先フォルダーがありません。--output で指定してください。"));
    }
  }
  if (!IsWritableFolder(options.output)) {
    return Usage(UnusableFolderProblem(options.output));
  }
  const QString libraryPath = JpegLibraryPath(executable);
  QString loadError;
  const auto save = ResolveSavePixelstoJPEG(libraryPath, &loadError);
  if (save == nullptr) {
    Say(LibraryProblem(libraryPath, loadError));
    return kUsage;
  }

  const BatchJob job{{frame.trim, frame.drag}, options.output, options.quality, save, options.overwrite};
  Progress progress(int(options.images.size()));
  // Ctrl+C or SIGTERM: no further file is started; the ones being saved are
  // saved whole (the library writes a hidden temporary file and renames it).
  struct sigaction stop {};
  stop.sa_handler = [](int signal) {
    g_stopSignal = signal;
    g_stop = true;
  };
  sigaction(SIGINT, &stop, nullptr);
  sigaction(SIGTERM, &stop, nullptr);
  const auto failures = RunBatch(options.images, job, std::ref(progress), g_stop);
  for (const BatchFailure &failure : failures) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(Printable(QDir::toNativeSeparators(failure.file))),
                 qPrintable(failure.reason));
  }
  if (const int undone = int(options.images.size()) - progress.done(); g_stop && undone > 0) {
    Say(QStringLiteral("中断しました。%1 枚は保存していません。").arg(undone));
    return 128 + g_stopSignal;
  }
  return failures.empty() ? kAllSaved : kSomeFailed;
}
