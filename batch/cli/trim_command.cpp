#include "batch/cli/trim_command.h"

#include "common/file_names.h"
#include "common/version.h"
#include "settings/setting_rows.h"

#include <cstdio>

namespace orvelle {

namespace {

const char *const kHelp =
    R"(使い方: orvelle-trim [--settings ファイル] [--quality 数値] [--format png|jpeg] [--output フォルダー]
                     [--overwrite] [--] 画像...
        orvelle-trim --screen [--every 秒 [--count 枚数] [--all]] [--name 名前] [--settings ファイル]
                     [--quality 数値] [--format png|jpeg] [--output フォルダー]

Orvelle で保存したトリミング枠（trim.ini の [%1]）で画像ファイルを切り抜き、
出力フォルダーに「元のファイル名.jpg」として JPEG で保存します。
--screen では、いま画面に映っているものを取り込んでトリミング枠で切り抜き、
「名前-001.jpg」「名前-002.jpg」…（フォルダーにある最大の番号の次）として保存し、
保存したファイルのパスを表示します。--every では、それを指定した秒ごとに繰り返します
（枠の中が前に保存したときと変わっていなければ保存しません）。

  --settings ファイル   トリミング枠を読む trim.ini（既定: Orvelle 本体が使う trim.ini）
  --quality 数値        JPEG の品質 0～100（既定: 50）
  --format png|jpeg     保存する形式（既定: その trim.ini の [%3] %4、なければ %5）。png では
                        劣化のない PNG で「名前.png」「名前-001.png」… として保存します
  --output フォルダー   保存先フォルダー（既定: その trim.ini の %2）
  --overwrite           保存先に同じ名前のファイルがあれば置き換えます（既定: 保存しません）
  --screen              画像ファイルの代わりに画面を取り込みます（X11 では X サーバーから、
                        Wayland ではデスクトップ ポータルから）
  --name 名前           --screen で保存するファイルの名前（既定: screen）
  --every 秒            --screen を 1～86400 秒ごとに繰り返します（Ctrl+C で止めます）
  --count 枚数          --every で、この枚数を保存したら終わります
  --all                 --every で、変わっていない画面も保存します
  --help                この説明を表示します
  --version             版を表示します
  --                    これより後はすべて画像（- で始まる名前のファイルにも）

画像: PNG、JPEG、BMP など Qt が読める形式。入力ファイルや読み取り専用のファイルを
上書きすることはありません。Ctrl+C（SIGINT）または SIGTERM では、読み込み中の画像は
そこでやめ、保存中の画像を保存し終えてから止まります。もう一度送ると、書きかけの
一時ファイルを消してすぐに終わります。端末では進み具合を表示し、最後に「一括トリム：N 枚保存、
M 枚失敗」と表示します。メニューやキーから --screen を実行したとき（出力も
エラー出力も端末でないとき）は、結果をデスクトップの通知でも知らせます。
終了コード: 0 すべて保存（--every では Ctrl+C、SIGTERM で止めたときも）、
            1 一部が失敗（--screen では取り込みか保存の失敗）、
            2 使い方または設定の誤り（trim.ini の枠がないか読めない、枠が大きすぎる、
              保存先フォルダーが使えない、名前が使えない、JPEG 保存ライブラリがない）、
            130 / 143 途中で止められて保存していない画像がある

キーに割り当てるには: デスクトップの設定のキーボード ショートカットに、コマンド
「orvelle-trim --screen」を登録します（GNOME: 設定 → キーボード → ショートカットを
表示およびカスタマイズ → カスタムショートカット、KDE: システム設定 → ショートカット
→ 新規 → コマンド）。キーを押すたびにトリミングした画像が 1 枚保存されます。
)";

} // namespace

QString Printable(const QString &name) {
  QString out;
  for (const QChar c : name) {
    if (c == QLatin1Char('\\')) {
      out += QStringLiteral("\\\\");
    } else if (c == QLatin1Char('\n')) {
      out += QStringLiteral("\\n");
    } else if (c == QLatin1Char('\t')) {
      out += QStringLiteral("\\t");
    } else if (IsStrayByte(c)) { // a byte of the name that is no UTF-8
      out += QStringLiteral("\\x%1").arg(StrayByte(c), 2, 16, QLatin1Char('0'));
    } else if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
      out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    } else {
      out += c;
    }
  }
  return out;
}

void Say(const QString &text) { std::fprintf(stderr, "orvelle-trim: %s\n", qPrintable(text)); }

int ExitCodeOf(ProblemKind kind) {
  switch (kind) {
  case ProblemKind::TrimInfoUnreadable:
  case ProblemKind::TrimInfoKeyMissing:
  case ProblemKind::TrimInfoNotNumber:
  case ProblemKind::TrimInfoNotInRange:
  case ProblemKind::NoFrame:
  case ProblemKind::TrimTooLarge:
  case ProblemKind::NoSaveFolder:
  case ProblemKind::FolderUnusable:
  case ProblemKind::FolderUnusableHere:
  case ProblemKind::NoFileName:
  case ProblemKind::BadFileName:
  case ProblemKind::LibraryMissing:
  case ProblemKind::LibraryUnloadable:
    return kUsage;
  default:
    return kSomeFailed;
  }
}

int Usage(const QString &text) {
  Say(text);
  std::fprintf(stderr, "使い方は orvelle-trim --help で表示します。\n");
  return kUsage;
}

std::variant<TrimOptions, int> ParseTrimOptions(const QStringList &args) {
  TrimOptions options;
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
    if (arg == QLatin1String("--overwrite") || arg == QLatin1String("--screen") || arg == QLatin1String("--all")) {
      (arg == QLatin1String("--screen") ? options.screen
       : arg == QLatin1String("--all")  ? options.all
                                        : options.overwrite) = true;
      continue;
    }
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
      // The names of trim.ini's values as the settings table has them.
      const QString help =
          QString::fromUtf8(kHelp).arg(setting::kPicStartX.Section(), setting::kSaveFolder.Key(),
                                       setting::kFormat.Section(), setting::kFormat.Key(), setting::kFormat.Fallback());
      std::fputs(help.toUtf8().constData(), stdout);
      return kAllSaved;
    }
    if (arg == QLatin1String("--version")) {
      std::printf("orvelle-trim %s\n", qPrintable(kVersionNumber));
      return kAllSaved;
    }
    const bool takesValue = arg == QLatin1String("--settings") || arg == QLatin1String("--quality") ||
                            arg == QLatin1String("--output") || arg == QLatin1String("--name") ||
                            arg == QLatin1String("--every") || arg == QLatin1String("--count") ||
                            arg == QLatin1String("--format");
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
    } else if (arg == QLatin1String("--name")) {
      options.name = args[++i];
    } else if (arg == QLatin1String("--format")) {
      const QString format = args[++i];
      if (format != QLatin1String("png") && format != QLatin1String("jpeg")) {
        return Usage(QStringLiteral("--format は png か jpeg で指定してください（%1）。").arg(Printable(format)));
      }
      options.format = format == QLatin1String("png") ? PictureFormat::Png : PictureFormat::Jpeg;
    } else if (arg == QLatin1String("--every") || arg == QLatin1String("--count")) {
      bool ok = false;
      const int value = args[++i].toInt(&ok);
      const int most = arg == QLatin1String("--every") ? 86400 : 1000000;
      if (!ok || value < 1 || value > most) {
        return Usage(QStringLiteral("%1 は 1～%2 の整数で指定してください（%3）。").arg(arg).arg(most).arg(args[i]));
      }
      (arg == QLatin1String("--every") ? options.every : options.count) = value;
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
  if ((options.every > 0 || options.count > 0 || options.all) && !options.screen) {
    return Usage(QStringLiteral("--every、--count、--all は --screen と使います。"));
  }
  if ((options.count > 0 || options.all) && options.every == 0) {
    return Usage(QStringLiteral("--count と --all は --every と使います。"));
  }
  if (options.screen && !options.images.isEmpty()) {
    return Usage(QStringLiteral("--screen では画像ファイルを指定しません。"));
  }
  if (!options.screen && options.images.isEmpty()) {
    return Usage(QStringLiteral("画像ファイルを指定してください。"));
  }
  return options;
}

} // namespace orvelle
