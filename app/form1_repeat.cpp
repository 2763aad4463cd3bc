// The main window's commands that trim over and over: continuous trimming of
// each image that arrives on the clipboard, and batch trimming of files.

#include "app/batch_window.h"
#include "app/form1.h"
#include "app/interval_dialog.h"
#include "app/interval_window.h"
#include "app/message_box.h"
#include "app/outcome_panel.h"
#include "batch/cli/problem_words.h"
#include "capture/screen/data_control_clipboard.h"
#include "core/screen_runner.h"
#include "settings/view_settings.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <utility>

namespace orvelle {

void Form1::M_R_Continuous_Toggled(bool on) {
  if (on && !m_interval.isNull()) {
    m_continuous.Stop();
    ShowContinuousState();
    ShowMessage(this, QStringLiteral("定期トリム中は連続トリムを開始できません。"));
    return;
  }
  const Expected<void> started = on ? m_continuous.Start() : Expected<void>();
  if (!on || !started) {
    m_continuous.Stop();
  }
  ShowContinuousState();
  WatchClipboard(m_continuous.running());
  Show(started);
}

void Form1::WatchClipboard(bool on) {
  if (m_clipboardWatch != nullptr) {
    m_clipboardWatch->disconnect(this);
    m_clipboardWatch->deleteLater(); // perhaps telling a picture right now
    m_clipboardWatch = nullptr;
  }
  if (!on || !DataControlClipboard::OnWayland()) {
    return;
  }
  std::unique_ptr<DataControlClipboard> watch = DataControlClipboard::Open(kOwnCopyFormat);
  if (watch == nullptr) {
    m_outcome->Tell(
        QStringLiteral("このデスクトップでは、Orvelle のウィンドウがアクティブな間だけクリップボードを見られます"));
    return;
  }
  m_clipboardWatch = watch.release();
  m_clipboardWatch->setParent(this);
  connect(m_clipboardWatch, &DataControlClipboard::pictureOffered, this,
          [this](const QString &type, const QByteArray &bytes) {
            auto data = std::make_shared<QMimeData>();
            data->setData(type, bytes);
            PictureArrived(std::move(data));
          });
  connect(m_clipboardWatch, &DataControlClipboard::unreadable, this, [this] {
    m_continuous.PassOver();
    ShowContinuousState();
  });
}

void Form1::ClipboardChanged() {
  if (m_clipboardWatch == nullptr) { // else the watcher tells each picture
    PictureArrived(nullptr);
  }
}

void Form1::PictureArrived(std::shared_ptr<const QMimeData> data) {
  // One picture at a time: pictures that arrive while one is taken (the
  // clipboard is read, a message is open) are seen once it is done: the
  // latest the watcher told, or Qt's clipboard's picture of then.
  m_waitingData = std::move(data);
  if (m_takingPicture) {
    m_pictureWaiting = true;
    return;
  }
  m_takingPicture = true;
  do {
    m_pictureWaiting = false;
    TakeContinuousPicture(std::exchange(m_waitingData, nullptr));
  } while (m_pictureWaiting);
  m_takingPicture = false;
}

void Form1::TakeContinuousPicture(const std::shared_ptr<const QMimeData> &data) {
  if (data == nullptr && m_env.clipboard->ownsClipboard()) {
    return; // the program's own copy
  }
  const ContinuousTrim::Taken taken =
      m_continuous.Take(data != nullptr ? data.get() : m_env.clipboard->mimeData(), canvasAreaPixels());
  if (!taken.canvasChanged) {
    return;
  }
  ShowCanvas();
  if (taken.trimmed) {
    ShowOutput();
  }
  ShowContinuousState();
  if (!m_continuous.running()) {
    WatchClipboard(false); // a failed save ended it
  }
  Show(taken.result);
}

void Form1::ShowContinuousState() {
  const QSignalBlocker quiet(m_continuousAction);
  m_continuousAction->setChecked(m_continuous.running());
  // After the end it stays in view until the next start.
  QString text = QStringLiteral("連続トリム停止：%1 枚").arg(m_continuous.saved());
  if (m_continuous.running()) {
    text = QStringLiteral("連続トリム中：%1 枚").arg(m_continuous.saved());
    if (m_continuous.unreadable() > 0) {
      text += QStringLiteral("（読み込めない画像 %1 枚）").arg(m_continuous.unreadable());
    }
  }
  m_outcome->Show(text, m_continuous.running());
}

void Form1::M_R_Interval_Click() {
  if (m_continuous.running()) {
    ShowMessage(this, QStringLiteral("連続トリム中は定期トリムを開始できません。"));
    return;
  }
  if (const Expected<ScreenPlan> possible = SessionScreenPlan(m_session, DesktopPixels()); !possible) {
    Show(possible.problem());
    return;
  }
  const auto choice = AskInterval(this, ReadInterval(settingsPath()));
  if (!choice) {
    return;
  }
  // The values as they are when the user starts it.
  Expected<ScreenPlan> plan = SessionScreenPlan(m_session, DesktopPixels());
  if (!plan) {
    Show(plan.problem());
    return;
  }
  plan.value().onlyChanged = choice->onlyChanged;
  WriteInterval(choice->seconds, settingsPath());
  hide();
  m_interval = new IntervalWindow(*plan, choice->seconds, settingsPath());
  connect(m_interval, &IntervalWindow::ended, this, &Form1::IntervalEnded);
}

void Form1::IntervalEnded(const Expected<void> &result, int saved, const QString &note) {
  m_interval = nullptr;
  ComeBack();
  m_outcome->Show(QStringLiteral("定期トリム停止：%1 枚").arg(saved) +
                  (note.isEmpty() ? QString() : QStringLiteral("（%1）").arg(note)));
  Show(result);
}

void Form1::M_R_Batch_Click() {
  if (!Show(m_session.CheckFrame())) {
    return;
  }
  if (const QStringList files = ChooseBatchFiles(this); !files.isEmpty()) {
    BatchTrimFiles(files);
  }
}

void Form1::BatchTrimFiles(const QStringList &files) {
  const bool png = m_session.format == PictureFormat::Png; // written without the JPEG library
  Expected<void> possible = m_session.CheckBatch();
  const Expected<SavePixelstoJPEGFunction> save =
      possible && !png ? m_session.Writer() : Expected<SavePixelstoJPEGFunction>(nullptr);
  if (!save) {
    possible = save.problem();
  }
  if (!Show(possible)) {
    return;
  }
  const FrameState &frame = m_session.frame;
  BatchJob job{{frame.trim, frame.drag}, m_session.saveFolder(), m_session.quality, *save};
  job.format = m_session.format;
  m_batch = new BatchWindow(this, files, job);
  connect(m_batch, &BatchWindow::ended, this, [this](int saved, int failed) {
    m_outcome->Tell(QStringLiteral("一括トリム：%1 枚保存（失敗 %2 枚）").arg(saved).arg(failed));
  });
}

} // namespace orvelle
