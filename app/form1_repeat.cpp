// The main window's commands that trim over and over: continuous trimming of
// each image that arrives on the clipboard, and batch trimming of files.

#include "app/batch_window.h"
#include "app/form1.h"
#include "app/interval_dialog.h"
#include "app/interval_window.h"
#include "app/message_box.h"
#include "app/outcome_panel.h"
#include "core/screen_runner.h"
#include "settings/view_settings.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>

namespace orvelle {

void Form1::M_R_Continuous_Toggled(bool on) {
  const Result started = !on ? Result::Done()
                         : !m_interval.isNull()
                             ? Result::Failed(QStringLiteral("定期トリム中は連続トリムを開始できません。"))
                             : m_continuous.Start();
  if (!on || !started.done) {
    m_continuous.Stop();
  }
  ShowContinuousState();
  Show(started);
}

void Form1::ClipboardChanged() {
  // One picture at a time: pictures that arrive while one is taken (the
  // clipboard is read, a message is open) are seen once it is done, by
  // taking the clipboard's picture of then.
  if (m_takingPicture) {
    m_pictureWaiting = true;
    return;
  }
  m_takingPicture = true;
  do {
    m_pictureWaiting = false;
    TakeContinuousPicture();
  } while (m_pictureWaiting);
  m_takingPicture = false;
}

void Form1::TakeContinuousPicture() {
  if (m_env.clipboard->ownsClipboard()) {
    return; // the program's own copy
  }
  const ContinuousTrim::Taken taken = m_continuous.Take(m_env.clipboard->mimeData(), canvasAreaPixels());
  if (!taken.canvasChanged) {
    return;
  }
  ShowCanvas();
  if (taken.trimmed) {
    ShowOutput();
  }
  ShowContinuousState();
  Show(taken.result);
}

void Form1::ShowContinuousState() {
  const QSignalBlocker quiet(m_continuousAction);
  m_continuousAction->setChecked(m_continuous.running());
  // After the end it stays in view until the next start.
  m_outcome->Show(m_continuous.statusText(), m_continuous.running());
}

void Form1::M_R_Interval_Click() {
  QString problem = m_continuous.running() ? QStringLiteral("連続トリム中は定期トリムを開始できません。") : QString();
  if (problem.isEmpty()) {
    SessionScreenPlan(m_session, DesktopPixels(), &problem);
  }
  if (!Show(Result::Unless(problem))) {
    return;
  }
  const auto choice = AskInterval(this, ReadInterval(settingsPath()));
  // The values as they are when the user starts it.
  auto plan = choice ? SessionScreenPlan(m_session, DesktopPixels(), &problem) : std::nullopt;
  if (!choice || !Show(Result::Unless(problem))) {
    return;
  }
  plan->onlyChanged = choice->onlyChanged;
  WriteInterval(choice->seconds, settingsPath());
  hide();
  m_interval = new IntervalWindow(*plan, choice->seconds);
  connect(m_interval, &IntervalWindow::ended, this, &Form1::IntervalEnded);
}

void Form1::IntervalEnded(const Result &result, int saved) {
  m_interval = nullptr;
  ComeBack();
  m_outcome->Show(QStringLiteral("定期トリム停止：%1 枚").arg(saved));
  Show(result);
}

void Form1::M_R_Batch_Click() {
  if (!Show(Result::Unless(m_session.FrameProblem()))) {
    return;
  }
  if (const QStringList files = ChooseBatchFiles(this); !files.isEmpty()) {
    BatchTrimFiles(files);
  }
}

void Form1::BatchTrimFiles(const QStringList &files) {
  QString problem = m_session.BatchProblem();
  const bool png = m_session.format == PictureFormat::Png; // written without the JPEG library
  const auto save = problem.isEmpty() && !png ? m_session.Writer(&problem) : nullptr;
  if (!problem.isEmpty()) {
    Show(Result::Failed(problem));
    return;
  }
  const FrameState &frame = m_session.frame;
  BatchJob job{{frame.trim, frame.drag}, m_session.saveFolder(), m_session.quality, save};
  job.format = m_session.format;
  m_batch = new BatchWindow(this, files, job);
  connect(m_batch, &BatchWindow::ended, this, [this](int saved, int failed) {
    m_outcome->Tell(QStringLiteral("一括トリム：%1 枚保存（失敗 %2 枚）").arg(saved).arg(failed));
  });
}

} // namespace orvelle
