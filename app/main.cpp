#include "app/form1.h"
#include "app/interface_font.h"
#include "app/interface_language.h"
#include "capture/picture/clipboard_picture.h"
#include "common/version.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

const char kHelp[] = R"(使い方: orvelle [--help] [--version]

Orvelle の画面を開きます。クリップボードのスクリーンショットを取り込み、
トリミング枠の部分を切り出して JPEG で保存します。
  --help     この説明を表示して終了します
  --version  版を表示して終了します
画像ファイルや画面を枠でトリミングするコマンドは orvelle-trim です
（orvelle-trim --help、man orvelle-trim）。
)";

} // namespace

int main(int argc, char **argv) {
  // Asked from a terminal: said there, without a window.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("orvelle %s\n", qPrintable(orvelle::kVersionNumber));
      return 0;
    }
  }
  QApplication app(argc, argv);
  orvelle::SetDecoderLimit();
  QApplication::setApplicationName(QStringLiteral("Orvelle"));
  QApplication::setOrganizationName(QStringLiteral("Orvelle"));
  QGuiApplication::setDesktopFileName(QStringLiteral("io.orvelle.Orvelle"));
  orvelle::ApplyInterfaceFont();
  orvelle::ApplyInterfaceLanguage(app);
  orvelle::Form1 window(orvelle::Form1Environment::ForThisProgram());
  window.Start();
  return QApplication::exec();
}
