#include "app/program_folder.h"
#include "app/separator_line.h"
#include "app/window_fit.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace orvelle {

namespace {
struct Fitted {
  ScreenSize size;
  QSize window;
  int lineLeft = 0;
  int lineRight = 0;
  bool maximized = false;
};

Fitted Fit(QSize pixels) {
  QWidget window;
  std::array<SeparatorLine *, 4> lines{};
  const int ys[] = {0, 20, 400, 420};
  for (int i = 0; i < 4; ++i) {
    lines[i] = new SeparatorLine(QPalette::WindowText, ys[i], &window);
  }
  Fitted out;
  MeasureScreen({pixels, 15}, out.size);
  FitWindowToScreen(window, lines, out.size, 15);
  out.window = window.size();
  for (SeparatorLine *line : lines) {
    EXPECT_EQ(line->x(), lines[0]->x());
    EXPECT_EQ(line->width(), lines[0]->width());
  }
  out.lineLeft = lines[0]->x();
  out.lineRight = lines[0]->x() + lines[0]->width() - 1;
  out.maximized = window.windowState().testFlag(Qt::WindowMaximized);
  return out;
}
} // namespace

TEST(WindowFit, TheWindowTakesTheScreenAndTheLinesItsWidth) {
  const Fitted xga = Fit({1024, 768});
  EXPECT_EQ(xga.size.width, 15360);
  EXPECT_EQ(xga.size.height, 11520);
  EXPECT_EQ(xga.window, QSize(1024, 715)); // 15360 x 10720 twips
  EXPECT_EQ(xga.lineLeft, 7);              // 100 twips
  EXPECT_EQ(xga.lineRight, 1011);          // 15160 twips
  EXPECT_TRUE(xga.maximized);

  const Fitted hd = Fit({1920, 1080});
  EXPECT_EQ(hd.size.width, 28800);
  EXPECT_EQ(hd.window, QSize(1920, 1027)); // 28800 x 15400 twips
  EXPECT_EQ(hd.lineRight, 1907);           // 28600 twips
}

TEST(WindowFit, WideScreensKeepTheirWidth) {
  EXPECT_EQ(Fit({2184, 1200}).size.width, 32760);
  const Fitted wider = Fit({2185, 1200});
  EXPECT_EQ(wider.size.width, 32775);
  EXPECT_EQ(wider.window.width(), 2185);
  const Fitted uhd = Fit({3840, 2160});
  EXPECT_EQ(uhd.size.width, 57600);
  EXPECT_EQ(uhd.size.height, 32400);
  EXPECT_EQ(uhd.window, QSize(3840, 2107));
  EXPECT_EQ(uhd.lineLeft, 7);
  EXPECT_EQ(uhd.lineRight, 3827);
  EXPECT_TRUE(uhd.maximized);
}

TEST(WindowFit, MeasuringUsesTheDisplaysTwipsPerPixel) {
  ScreenSize size;
  MeasureScreen({{1920, 1080}, 12}, size);
  EXPECT_EQ(size.width, 23040);
  EXPECT_EQ(size.height, 12960);
}

TEST(ProgramFolder, AWritableExecutableFolderIsUsedAsIs) {
  QTemporaryDir dir;
  EXPECT_EQ(ChooseProgramFolder(dir.path()), dir.path());
}

TEST(ProgramFolder, AnUnwritableOneFallsBackToTheUsersConfiguration) {
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
  QTemporaryDir installed;
  QFile::setPermissions(installed.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const QString chosen = ChooseProgramFolder(installed.path());
  QFile::setPermissions(installed.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_NE(chosen, installed.path());
  EXPECT_TRUE(chosen.startsWith(home.path())) << chosen.toStdString();
  EXPECT_TRUE(QFileInfo(chosen).isDir());
  EXPECT_EQ(ChooseProgramFolder(QStringLiteral("/proc")), chosen);
  qunsetenv("XDG_CONFIG_HOME");
}

} // namespace orvelle
