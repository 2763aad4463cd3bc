#include "batch/cli/problem_words.h"

#include <QDir>

namespace orvelle {

namespace {

const QString kGrabFailed = QStringLiteral("画面を取り込めませんでした\n");

QString Pattern(ProblemKind kind) {
  switch (kind) {
  case ProblemKind::FileMissing:
    return QStringLiteral("見つかりません");
  case ProblemKind::FileNoPermission:
    return QStringLiteral("読み取りの権限がありません");
  case ProblemKind::FileOpenFailed:
    return QStringLiteral("開けません（%1）");
  case ProblemKind::FileIsFolder:
    return QStringLiteral("フォルダーです（ファイルではありません）");
  case ProblemKind::FileNotRegular:
    return QStringLiteral("通常のファイルではありません（パイプやデバイスは読みません）");
  case ProblemKind::FileTooLarge:
    return QStringLiteral("大きすぎます（%1 バイトを超えています）");
  case ProblemKind::NoFrame:
    return QStringLiteral("トリミング枠が設定されていません");
  case ProblemKind::TrimTooLarge:
    return QStringLiteral(
        "トリム後の画像が大きすぎます（%1×%2）。\nトリミング枠を小さくしてください（%3 MB までの画像にできます）。");
  case ProblemKind::FrameOutside:
    return QStringLiteral("トリミング枠が画像の外にあります（画像は %1×%2）");
  case ProblemKind::NothingTrimmed:
    return QStringLiteral("トリムされた画像がありません");
  case ProblemKind::CutShort:
    return QStringLiteral("画像が途中で切れているか、壊れています");
  case ProblemKind::NotAnImage:
    return QStringLiteral("画像として読み込めないか、壊れています");
  case ProblemKind::NotJpeg:
    return QStringLiteral("JPEG として読み込めません");
  case ProblemKind::NotPng:
    return QStringLiteral("PNG として読み込めません");
  case ProblemKind::JpegLossless:
    return QStringLiteral("対応していない JPEG です（可逆圧縮）");
  case ProblemKind::JpegPrecision:
    return QStringLiteral("対応していない JPEG です（%1 ビット）");
  case ProblemKind::MetadataTooLarge:
    return QStringLiteral("付随データ（コメントなど）が大きすぎます（%1 MB を超えています）");
  case ProblemKind::TooManyScans:
    return QStringLiteral("スキャンの数が多すぎます（%1 を超えています）");
  case ProblemKind::ChunksTooLarge:
    return QStringLiteral("画像の付随データ（チャンク）が大きすぎます");
  case ProblemKind::ImageTooLarge:
    return QStringLiteral("画像が大きすぎます（%1×%2、使えるメモリーは %3 MB まで）");
  case ProblemKind::ProgressiveTooLarge:
    return QStringLiteral("画像が大きすぎます（プログレッシブ JPEG %1×%2）");
  case ProblemKind::OutOfMemory:
    return QStringLiteral("メモリーが足りません");
  case ProblemKind::ClipboardUnreadable:
    return QStringLiteral("クリップボードの画像を読み込めませんでした（%1）。");
  case ProblemKind::ClipboardTooLarge:
    return QStringLiteral("クリップボードの画像が大きすぎるため取り込めません（%1×%2）。\n取り込めるのは %3 MB（約 %4 "
                          "万画素）までの画像です。");
  case ProblemKind::PortalNoBus:
    return QStringLiteral("セッション バスに接続できません（デスクトップ ポータルがありません）。");
  case ProblemKind::PortalNoAnswer:
    return QStringLiteral("デスクトップ ポータルから %1 秒たっても応答がありません。");
  case ProblemKind::PortalError:
    return QStringLiteral("デスクトップ ポータルが応答しません（%1）。");
  case ProblemKind::GrabFailed:
    return kGrabFailed + QStringLiteral("%1");
  case ProblemKind::GrabCancelled:
    return kGrabFailed + QStringLiteral("画面の取り込みが取り消されました。");
  case ProblemKind::GrabRefused:
    return kGrabFailed + QStringLiteral("画面の取り込みが拒否されました。");
  case ProblemKind::GrabRefusedUnattended:
    return kGrabFailed +
           QStringLiteral("画面の取り込みが拒否されました。\nデスクトップが許可を求めずに断った可能性があります。一度 "
                          "Orvelle のウィンドウで Ctrl+G を押して画面の取り込みを許可してください。");
  case ProblemKind::GrabNoFile:
    return kGrabFailed + QStringLiteral("デスクトップ ポータルが画像のファイルを示しませんでした。");
  case ProblemKind::GrabFileNotOwn:
    return kGrabFailed + QStringLiteral("デスクトップ ポータルの画像「%1」はこのユーザーのファイルではありません。");
  case ProblemKind::GrabFileTooLarge:
    return kGrabFailed + QStringLiteral("デスクトップ ポータルの画像のファイルが大きすぎます（%1 MB、%2 MB まで）。");
  case ProblemKind::GrabFileUnreadable:
    return kGrabFailed + QStringLiteral("デスクトップ ポータルの画像を読み込めませんでした。");
  case ProblemKind::GrabTooLarge:
    return kGrabFailed + QStringLiteral("画面の画像が大きすぎます（%1×%2）。");
  case ProblemKind::GrabUndecodable:
    return kGrabFailed + QStringLiteral("画面の画像を読み込めませんでした（%1）。");
  case ProblemKind::GrabNoDisplay:
    return kGrabFailed + QStringLiteral("画面（X11 または Wayland のディスプレイ）に接続できません。");
  case ProblemKind::GrabX11Failed:
    return kGrabFailed + QStringLiteral("X サーバーが画面の画素を渡しませんでした（エラー %1）。");
  case ProblemKind::GrabDepth:
    return kGrabFailed + QStringLiteral("画面の画素の形式（深さ %1）には対応していません。");
  case ProblemKind::KeyNoDesktop:
    return QStringLiteral("キーを登録できる画面（X11 またはデスクトップ ポータル）がありません。");
  case ProblemKind::KeyUnsupported:
    return QStringLiteral("キー %1 はグローバル キーにできません。文字、数字、F1～F35 などのキーを選んでください。");
  case ProblemKind::KeyTaken:
    return QStringLiteral("キー %1 は他のプログラムが使っています");
  case ProblemKind::KeyNoGlobalShortcuts:
    return QStringLiteral("このデスクトップにはグローバル キーがありません。\n"
                          "デスクトップの設定のキーボード ショートカットに、コマンド「orvelle-trim --screen」を"
                          "登録してください。");
  case ProblemKind::KeyNotBound:
    return QStringLiteral("デスクトップがキー %1 を登録しませんでした。\n"
                          "デスクトップの設定のキーボード ショートカットに、コマンド「orvelle-trim --screen」を"
                          "登録してください。");
  case ProblemKind::KeyQueueFull:
    return QStringLiteral("画面トリム：キーが速すぎるため %1 回分を取り込みませんでした");
  case ProblemKind::Interrupted:
    return QStringLiteral("中断しました。");
  case ProblemKind::ScreenCastUnavailable:
    return QStringLiteral("画面キャストを使えないため、毎回スクリーンショットで画面を取り込みます。\n%1");
  case ProblemKind::ScreenCastRefused:
    return QStringLiteral("画面の共有が許可されませんでした");
  case ProblemKind::ScreenCastEnded:
    return QStringLiteral("画面の共有が終了しました");
  case ProblemKind::ScreenCastFrameElsewhere:
    return QStringLiteral("トリミング枠が共有された画面の外にあるため、スクリーンショットで画面を取り込みます。");
  case ProblemKind::SourceUnreadable:
    return kGrabFailed + QStringLiteral("画像「%1」を読み込めませんでした（%2）。");
  case ProblemKind::SourceEmpty:
    return kGrabFailed + QStringLiteral("フォルダー「%1」に画像がありません。");
  case ProblemKind::FrameValueOutOfRange:
    return QStringLiteral(
        "「%1」の値 %2 は -32768～32767 の範囲を超えるため保存できません。\nトリミング情報は何も保存しませんでした。");
  case ProblemKind::TrimInfoUnwritable:
    return QStringLiteral("設定ファイル「%1」に書き込めませんでした。\nトリミング情報は保存されていません。");
  case ProblemKind::TrimInfoUnreadable:
    return QStringLiteral("設定ファイル「%1」を読み込めません（%2）。\nトリミング情報は読み込みませんでした。");
  case ProblemKind::TrimInfoKeyMissing:
    return QStringLiteral("設定ファイルに「%1」がありません。\nトリミング情報は読み込みませんでした。");
  case ProblemKind::TrimInfoNotNumber:
    return QStringLiteral(
        "設定ファイルの「%1」の値「%2」は数値ではありません。\nトリミング情報は読み込みませんでした。");
  case ProblemKind::TrimInfoNotInRange:
    return QStringLiteral("設定ファイルの「%1」の値「%2」は -32768～32767 "
                          "の数値ではありません。\nトリミング情報は読み込みませんでした。");
  case ProblemKind::FolderCancelled:
    return QStringLiteral("キャンセルを選択");
  case ProblemKind::FolderNameTooLong:
    return QStringLiteral("フォルダー「%1」は名前が長すぎるため保存先にできません（%2 バイトまで）。");
  case ProblemKind::FolderNotStored:
    return QStringLiteral(
        "保存先フォルダーを設定ファイル「%1」に記録できませんでした。\n次回の起動時には元の保存先に戻ります。");
  case ProblemKind::NoSaveFolder:
    return QStringLiteral("ファイルの保存先を指定ください");
  case ProblemKind::FolderUnusable:
    return QStringLiteral("保存先フォルダー「%1」が見つからないか、書き込みできません。\nメニューの［設定(S)"
                          "］－［保存フォルダー］で保存先を選んでください。");
  case ProblemKind::FolderUnusableHere:
    return QStringLiteral("保存先フォルダー「%1」が見つからないか、書き込みできません。");
  case ProblemKind::NoFileName:
    return QStringLiteral("ファイル名を指定ください");
  case ProblemKind::BadFileName:
    return QStringLiteral("ファイル名「%1」には使えない文字（/ や \\）が含まれています。");
  case ProblemKind::ReadOnly:
    return QStringLiteral("「%1」は読み取り専用のため上書きしません");
  case ProblemKind::DiskFull:
    return QStringLiteral("%1 ファイル「%2」を保存できませんでした（ディスクがいっぱいです）");
  case ProblemKind::SaveError:
    return QStringLiteral("%1 ファイル「%2」を保存できませんでした（エラー コード %3）");
  case ProblemKind::LibraryMissing:
    return QStringLiteral("JPEG 保存ライブラリ「%1」がありません。Orvelle を入れ直してください。");
  case ProblemKind::LibraryUnloadable:
    return QStringLiteral("JPEG 保存ライブラリ「%1」を読み込めませんでした。\n%2");
  case ProblemKind::NothingToSave:
    return QStringLiteral("保存する画像がありません（大きさが 0 です）。");
  case ProblemKind::ScratchUnwritable:
    return QStringLiteral("画像の一時ファイル「%1」を書き込めませんでした。");
  case ProblemKind::OutputIsInput:
    return QStringLiteral("保存先が入力ファイルと同じになるため保存しません");
  case ProblemKind::OutputReadOnly:
    return QStringLiteral("保存先の「%1」は読み取り専用のため上書きしません");
  case ProblemKind::OutputExists:
    return QStringLiteral("保存先に同じ名前のファイル「%1」があるため保存しません");
  case ProblemKind::SameNameEarlier:
    return QStringLiteral("同じ名前の画像が先にあるため保存しません（%1）");
  case ProblemKind::NumberedSaveFailed:
    return QStringLiteral("「%1」を保存できませんでした（%2）");
  case ProblemKind::NumberTooHigh:
    return QStringLiteral("番号が %1 を超えるため、これ以上「%2-番号」の名前では保存できません。");
  case ProblemKind::NumberedNoName:
    return QStringLiteral("保存先フォルダー「%1」に番号付きのファイルを作れませんでした。");
  }
  return QString();
}

// The details that name files or folders, shown as the system writes them.
bool IsPath(ProblemKind kind, qsizetype detail) {
  switch (kind) {
  case ProblemKind::GrabFileNotOwn:
  case ProblemKind::SourceUnreadable:
  case ProblemKind::SourceEmpty:
  case ProblemKind::TrimInfoUnwritable:
  case ProblemKind::TrimInfoUnreadable:
  case ProblemKind::FolderNotStored:
  case ProblemKind::LibraryMissing:
  case ProblemKind::LibraryUnloadable:
  case ProblemKind::ScratchUnwritable:
  case ProblemKind::NumberedSaveFailed:
  case ProblemKind::NumberedNoName:
    return detail == 0;
  case ProblemKind::DiskFull:
  case ProblemKind::SaveError:
    return detail == 1;
  default:
    return false;
  }
}

} // namespace

QString Words(const Problem &problem) {
  QStringList values = problem.details;
  for (qsizetype i = 0; i < values.size(); ++i) {
    if (IsPath(problem.kind, i)) {
      values[i] = QDir::toNativeSeparators(values[i]);
    }
  }
  if (problem.cause) {
    values << Words(*problem.cause);
  }
  // One pass over the pattern, so that a detail holding "%1" stays as it is.
  const QString pattern = Pattern(problem.kind);
  QString words;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const qsizetype n = i + 1 < pattern.size() ? pattern[i + 1].digitValue() : -1;
    if (pattern[i] == QLatin1Char('%') && n >= 1) {
      words += n <= values.size() ? values[n - 1] : QString();
      ++i;
    } else {
      words += pattern[i];
    }
  }
  return words;
}

} // namespace orvelle
