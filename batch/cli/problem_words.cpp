#include "batch/cli/problem_words.h"

#include <QDir>

namespace orvelle {

namespace {
// The pattern's %1, %2, … replaced by the details in one pass, so that a
// detail holding "%1" stays as it is.
QString Fill(const QString &pattern, const QStringList &details) {
  QStringList d = details;
  while (d.size() < 4) {
    d << QString();
  }
  return pattern.arg(d[0], d[1], d[2], d[3]);
}

const QString kGrabFailed = QStringLiteral("画面を取り込めませんでした\n");

QString Pattern(ProblemKind kind) {
  switch (kind) {
  case ProblemKind::GrabNoBus:
    return kGrabFailed + QStringLiteral("セッション バスに接続できません（デスクトップ ポータルがありません）。");
  case ProblemKind::GrabNoAnswer:
    return kGrabFailed + QStringLiteral("デスクトップ ポータルから %1 秒たっても応答がありません。");
  case ProblemKind::GrabPortalError:
    return kGrabFailed + QStringLiteral("デスクトップ ポータルが応答しません（%1）。");
  case ProblemKind::GrabCancelled:
    return kGrabFailed + QStringLiteral("画面の取り込みが取り消されました。");
  case ProblemKind::GrabRefused:
    return kGrabFailed + QStringLiteral("画面の取り込みが拒否されました。");
  case ProblemKind::GrabRefusedUnattended:
    return kGrabFailed + QStringLiteral("画面の取り込みが拒否されました。\n"
                                        "デスクトップが許可を求めずに断った可能性があります。一度 Orvelle の"
                                        "ウィンドウで Ctrl+G を押して画面の取り込みを許可してください。");
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
  case ProblemKind::GrabInterrupted:
    return QStringLiteral("中断しました。");
  case ProblemKind::SourceUnreadable:
    return kGrabFailed + QStringLiteral("画像「%1」を読み込めませんでした（%2）。");
  case ProblemKind::SourceEmpty:
    return kGrabFailed + QStringLiteral("フォルダー「%1」に画像がありません。");
  case ProblemKind::FrameOutside:
    return QStringLiteral("トリミング枠が画像の外にあります（画像は %1×%2）");
  case ProblemKind::SaveFailed:
    return QStringLiteral("%1");
  }
  return QString();
}

// Paths are shown as the system writes them.
bool IsPath(ProblemKind kind, int detail) {
  return detail == 0 && (kind == ProblemKind::GrabFileNotOwn || kind == ProblemKind::SourceUnreadable ||
                         kind == ProblemKind::SourceEmpty);
}
} // namespace

QString Words(const Problem &problem) {
  QStringList details = problem.details;
  for (int i = 0; i < details.size(); ++i) {
    if (IsPath(problem.kind, i)) {
      details[i] = QDir::toNativeSeparators(details[i]);
    }
  }
  return Fill(Pattern(problem.kind), details);
}

} // namespace orvelle
