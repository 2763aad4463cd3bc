#pragma once

#include <QSize>
#include <array>
#include <cstdint>

class QWidget;

namespace orvelle {

class SeparatorLine;

// The screen as the fitting sees it: its size in pixels and the display's twips
// per pixel (15 at 96 dots per inch, 12 at 120).
struct ScreenMetrics {
  QSize pixels;
  double twipsPerPixel = 15;
};

// The primary screen.
ScreenMetrics PrimaryScreenMetrics();

// The screen's size in twips. The width is held in 32 bits so that screens
// wider than 2184 pixels keep their width.
struct ScreenSize {
  std::int32_t width = 0;
  float height = 0;
};

// Fills the screen size; a value that cannot be converted keeps its previous content.
void MeasureScreen(const ScreenMetrics &screen, ScreenSize &size);

// Gives the window the screen's width and
// the screen's height less 800 twips as its normal size, and stretches the
// separator lines from 100 twips to 200 twips short of the window's width;
// the window then opens maximized when it is shown.
void FitWindowToScreen(QWidget &window, const std::array<SeparatorLine *, 4> &lines, const ScreenSize &size,
                       double twipsPerPixel);

} // namespace orvelle
