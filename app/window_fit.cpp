#include "app/window_fit.h"

#include "app/separator_line.h"
#include "common/numbers.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace orvelle {

ScreenMetrics PrimaryScreenMetrics() {
  const QScreen *screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return {};
  }
  const double dpi = screen->logicalDotsPerInch();
  return {screen->size(), dpi > 0 ? 1440.0 / dpi : 15.0};
}

void MeasureScreen(const ScreenMetrics &screen, ScreenSize &size) {
  size.height = static_cast<float>(screen.pixels.height() * screen.twipsPerPixel);
  if (const auto width = ToInt32(screen.pixels.width() * screen.twipsPerPixel)) {
    size.width = *width;
  }
}

void FitWindowToScreen(QWidget &window, const std::array<SeparatorLine *, 4> &lines, const ScreenSize &size,
                       double twipsPerPixel) {
  const auto pixels = [twipsPerPixel](double twips) { return static_cast<int>(std::lround(twips / twipsPerPixel)); };
  window.resize(pixels(size.width), window.height());
  window.resize(window.width(), pixels(size.height - 800));
  // The lines are measured in the same twips as the window's width.
  for (SeparatorLine *line : lines) {
    const double windowWidthTwips = window.width() * twipsPerPixel;
    line->SetExtent(100, windowWidthTwips - 200, twipsPerPixel);
  }
  // Maximized last: giving a window a size takes the maximized state away.
  // It opens maximized when shown, and the size above is its normal size.
  window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

} // namespace orvelle
