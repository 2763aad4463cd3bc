#include "capture/screen/screen_source.h"

#include "capture/screen/file_screen_source.h"
#include "capture/screen/screen_cast_source.h"
#include "capture/screen/screen_grab.h"

namespace orvelle {

void ScreenSource::Answer(const ScreenPicture &picture, const Choose &choose) {
  if (!choose || picture.area != QRect(QPoint(0, 0), picture.desktop)) {
    emit grabbed(picture);
    return;
  }
  // A source that holds the whole desktop keeps only the part chosen.
  const QRect area = choose(picture.desktop) & picture.area;
  emit grabbed({picture.desktop, area, area.isEmpty() ? QImage() : picture.pixels.copy(area)});
}

std::unique_ptr<ScreenSource> OpenScreenSource(QObject *parent) {
  const QString named = qEnvironmentVariable("ORVELLE_SCREEN_SOURCE");
  if (named.startsWith(QLatin1String("file:"))) {
    return std::make_unique<FileScreenSource>(named.mid(5), parent);
  }
  return std::make_unique<ScreenGrab>(parent);
}

std::unique_ptr<ScreenSource> OpenIntervalSource(const QString &token, QObject *parent) {
  if (qEnvironmentVariable("ORVELLE_SCREEN_SOURCE").startsWith(QLatin1String("file:")) ||
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    return OpenScreenSource(parent);
  }
  return std::make_unique<ScreenCastSource>(token, parent);
}

} // namespace orvelle
