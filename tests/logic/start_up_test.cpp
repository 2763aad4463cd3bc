#include "app/separator_line.h"
#include "app/window_fit.h"
#include "sysinfo/os_name.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace orvelle {

TEST(WindowFit, TheWindowTakesTheScreenAndTheLinesItsWidthAtAnyDpi) {
  // Screen, twips per pixel; then its width in twips, the window and the lines' last pixel.
  const std::tuple<QSize, double, int, QSize, int> screens[] = {
      {{1024, 768}, 15, 15360, {1024, 715}, 1011}, // 15360 x 10720 twips, lines to 15160
      {{1920, 1080}, 15, 28800, {1920, 1027}, 1907},
      {{3840, 2160}, 15, 57600, {3840, 2107}, 3827}, // wider than 16 bits of twips
      {{1920, 1080}, 12, 23040, {1920, 1013}, 1903}, // 120 dpi: (23040 - 200) / 12
  };
  for (const auto &[pixels, twipsPerPixel, widthTwips, window, lineRight] : screens) {
    QWidget form;
    std::array<SeparatorLine *, 4> lines{};
    for (int i = 0; i < 4; ++i) {
      lines[i] = new SeparatorLine(QPalette::WindowText, i * 140, &form);
    }
    ScreenSize size;
    MeasureScreen({pixels, twipsPerPixel}, size);
    FitWindowToScreen(form, lines, size, twipsPerPixel);
    EXPECT_EQ(size.width, widthTwips);
    EXPECT_EQ(form.size(), window);
    EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMaximized));
    for (SeparatorLine *line : lines) {
      EXPECT_EQ(line->x(), qRound(100 / twipsPerPixel));
      EXPECT_EQ(line->geometry().right(), lineRight);
    }
  }
}

TEST(OsName, TheTableIsReadFromTopToBottom) {
  // Each name at its own code, and the codes between them.
  const std::pair<OsVersionRecord, const char *> rows[] = {{{0, 99, 9999}, "Windows 3.1"},
                                                           {{1, 4, 1}, "Windows Unknown"},
                                                           {{1, 4, 91}, "Windows Me Later"},
                                                           {{2, 3, 51}, "Windows NT 3.51"},
                                                           {{2, 5, 1}, "Windows XP"},
                                                           {{2, 5, 3}, "Windows Vista or Later"},
                                                           {{2, 4294967295u, 4294967295u}, "Windows Vista or Later"}};
  for (const auto &[record, name] : rows) {
    EXPECT_EQ(GetOsName(record), name) << OsVersionCode(record);
  }
  EXPECT_EQ(GetOsName(std::nullopt), "");
}

} // namespace orvelle
