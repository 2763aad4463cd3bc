#include "batch/screen_trim.h"

#include "batch/trim_command.h"
#include "capture/screen_grab.h"
#include "capture/trim_plan.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace orvelle {

int TrimScreen(const BatchFrame &frame, const NumberedTarget &target) {
  const QSize size = TrimOutputSize(frame.drag).value_or(QSize());
  if (const QString problem = OutputSizeProblem(size); !problem.isEmpty()) {
    Say(problem);
    return kSomeFailed;
  }
  std::optional<TrimPaint> paint;
  ScreenGrab grab;
  int code = kSomeFailed;
  QObject::connect(&grab, &ScreenGrab::failed, [](const QString &message) {
    Say(message);
    QCoreApplication::exit();
  });
  QObject::connect(&grab, &ScreenGrab::grabbed, [&](const ScreenPicture &screen) {
    const QImage trimmed = paint ? TrimRegion(screen.pixels, screen.area.topLeft(), *paint, size) : [&] {
      QImage outside(size, QImage::Format_RGB32); // the frame lies outside the desktop
      outside.fill(kOutsidePicture);
      return outside;
    }();
    const NumberedSave saved = SaveAsNextNumbered(trimmed, target);
    if (saved.problem.isEmpty()) {
      std::printf("%s\n", qPrintable(Printable(QDir::toNativeSeparators(saved.path))));
      code = kAllSaved;
    } else {
      Say(saved.problem);
    }
    QCoreApplication::exit();
  });
  grab.Start([&](QSize desktop) {
    paint = PlanTrimPaint(desktop, frame.trim, frame.drag);
    return paint ? paint->source : QRect();
  });
  QCoreApplication::exec();
  return code;
}

} // namespace orvelle
