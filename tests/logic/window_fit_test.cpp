#include "app/separator_line.h"
#include "app/window_fit.h"
#include "common/program_folder.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace orvelle {

namespace {
struct Fitted {
  ScreenSize size;
  QSize window;
  int lineLeft = 0;
  int lineRight = 0; // last pixel of every line
};

Fitted Fit(QSize pixels, double twipsPerPixel = 15) {
  QWidget window;
  std::array<SeparatorLine *, 4> lines{};
  const int ys[] = {0, 20, 400, 420};
  for (int i = 0; i < 4; ++i) {
    lines[i] = new SeparatorLine(QPalette::WindowText, ys[i], &window);
  }
  Fitted out;
  MeasureScreen({pixels, twipsPerPixel}, out.size);
  FitWindowToScreen(window, lines, out.size, twipsPerPixel);
  EXPECT_TRUE(window.windowState().testFlag(Qt::WindowMaximized));
  for (SeparatorLine *line : lines) {
    EXPECT_EQ(line->x(), lines[0]->x());
    EXPECT_EQ(line->width(), lines[0]->width());
  }
  out.window = window.size();
  out.lineLeft = lines[0]->x();
  out.lineRight = lines[0]->geometry().right();
  return out;
}
} // namespace

TEST(WindowFit, TheWindowTakesTheScreenAndTheLinesItsWidthAtAnyDpi) {
  const Fitted xga = Fit({1024, 768});
  EXPECT_EQ(xga.size.width, 15360);
  EXPECT_EQ(xga.size.height, 11520);
  EXPECT_EQ(xga.window, QSize(1024, 715)); // 15360 x 10720 twips
  EXPECT_EQ(xga.lineLeft, 7);              // 100 twips
  EXPECT_EQ(xga.lineRight, 1011);          // 15160 twips
  EXPECT_EQ(Fit({1920, 1080}).lineRight, 1907);
  // Wider than 16 bits of twips: the width is kept.
  const Fitted uhd = Fit({3840, 2160});
  EXPECT_EQ(uhd.size.width, 57600);
  EXPECT_EQ(uhd.window, QSize(3840, 2107));
  EXPECT_EQ(uhd.lineRight, 3827);
  // 120 dots per inch, 12 twips a pixel: the lines end 200 of those twips
  // short of the window, as the window's width is measured in them too.
  const Fitted dpi120 = Fit({1920, 1080}, 12);
  EXPECT_EQ(dpi120.size.width, 23040);
  EXPECT_EQ(dpi120.window.width(), 1920);
  EXPECT_EQ(dpi120.lineLeft, 8);     // 100 / 12
  EXPECT_EQ(dpi120.lineRight, 1903); // (23040 - 200) / 12
}

TEST(ProgramFolder, AnUnwritableExecutableFolderFallsBackToTheUsersConfiguration) {
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
  QTemporaryDir installed;
  EXPECT_EQ(ChooseProgramFolder(installed.path()), installed.path());
  QFile::setPermissions(installed.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const QString chosen = ChooseProgramFolder(installed.path());
  QFile::setPermissions(installed.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_TRUE(chosen.startsWith(home.path())) << chosen.toStdString();
  EXPECT_TRUE(QFileInfo(chosen).isDir());
  qunsetenv("XDG_CONFIG_HOME");
}

} // namespace orvelle
