#include "tests/support/test_files.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvelle {

TEST(OrvelleTrim, ExitCodesSayWhatBecameOfTheFiles) {
  QTemporaryDir dir;
  const QString ini = dir.filePath("trim.ini"), good = dir.filePath("good.png");
  ASSERT_TRUE(testing::WriteFile(ini, "[Data]\nPicStartX=10\nPicStartY=20\nPicWidth=30\nPicHeight=40\nNewPicStartX=0\n"
                                      "NewPicStartY=0\nNewPicWidth=30\nNewPicHeight=40\nPicRatio=0\n[File]\nF_Path=" +
                                          dir.path().toUtf8() + "\n"));
  ASSERT_TRUE(QImage(QSize(100, 100), QImage::Format_RGB32).save(good));
  ASSERT_TRUE(testing::WriteFile(dir.filePath("broken.png"), "no picture"));
  QString errors;
  const auto trim = [&errors](const QString &args) {
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"), QProcess::splitCommand(args));
    p.waitForFinished(60000);
    errors = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  };
  EXPECT_EQ(trim("--settings " + ini + " " + good), 0);
  EXPECT_EQ(QImage(dir.filePath("good.jpg")).size(), QSize(30, 40));
  EXPECT_EQ(trim("--settings " + ini + " --quality 90 " + good + " " + dir.filePath("broken.png")), 1);
  EXPECT_TRUE(errors.contains(QStringLiteral("broken.png")) && !errors.contains(QStringLiteral("good.png")));
  // Wrong usage, and settings that cannot be used: the key is named.
  EXPECT_EQ(trim(QString()), 2);
  EXPECT_EQ(trim("--quality 101 " + good), 2);
  ASSERT_TRUE(testing::WriteFile(ini, "[Data]\nPicStartX=10\n"));
  EXPECT_EQ(trim("--settings " + ini + " " + good), 2);
  EXPECT_TRUE(errors.contains(QStringLiteral("PicStartY"))) << errors.toStdString();
}

} // namespace orvelle
