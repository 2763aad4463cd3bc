#include "app/key_trim.h"

#include "batch/cli/problem_words.h"
#include "capture/screen/screen_grab.h"

#include <QFileInfo>

namespace orvelle {

KeyTrim::KeyTrim(Plan plan, QWindow *window, QObject *parent)
    : QObject(parent), m_plan(std::move(plan)), m_window(window) {}

KeyTrim::~KeyTrim() = default;

void KeyTrim::Hold(const QKeySequence &key) {
  m_key = key;
  m_description.clear();
  if (key.isEmpty()) {
    m_global.reset(); // lets the key go
    return;
  }
  if (!m_global) {
    // Nothing is grabbed, and no portal asked, until the user sets a key.
    m_global = OpenGlobalKey(QStringLiteral("画面をトリム"));
    connect(m_global.get(), &GlobalKey::pressed, this, &KeyTrim::Pressed);
    connect(m_global.get(), &GlobalKey::bound, this, [this](const QString &description) {
      m_description = description;
      emit bound(description);
    });
    connect(m_global.get(), &GlobalKey::failed, this, [this](const Problem &problem) {
      m_description.clear();
      emit failed(Words(problem));
    });
  }
  m_global->Bind(key);
}

void KeyTrim::Pressed() {
  const Expected<ScreenPlan> plan = m_plan();
  if (!plan) {
    Tell(QStringLiteral("画面トリム：保存できませんでした"), Words(plan.problem()));
    return;
  }
  if (!m_runner) {
    m_source = OpenScreenSource();
    m_source->setUnattended(true); // pressed over another program's window
    if (auto *grab = qobject_cast<ScreenGrab *>(m_source.get())) {
      grab->setParentWindow(m_window);
    }
    ScreenPlan once;
    once.onlyChanged = false; // every press saves
    m_runner = std::make_unique<ScreenRunner>(*m_source, once);
    connect(m_runner.get(), &ScreenRunner::stepped, this, &KeyTrim::Stepped);
  }
  if (!m_runner->Press(*plan)) {
    ++m_dropped;
    emit told(Words(MakeProblem(ProblemKind::KeyQueueFull, {QString::number(m_dropped)})));
  }
}

void KeyTrim::Stepped(const ScreenStep &step) {
  if (step.outcome == ScreenStep::Outcome::Saved) {
    Tell(QStringLiteral("画面トリム：%1").arg(QFileInfo(step.path).fileName()));
  } else if (step.outcome == ScreenStep::Outcome::Failed) {
    Tell(QStringLiteral("画面トリム：保存できませんでした"), Words(*step.problem));
  }
}

void KeyTrim::Tell(const QString &summary, const QString &body) {
  emit told(body.isEmpty() ? summary : summary + QLatin1Char('\n') + body);
  m_notifier.Notify(summary, body);
}

} // namespace orvelle
