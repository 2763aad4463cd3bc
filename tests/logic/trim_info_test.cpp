#include "settings/settings_file.h"
#include "settings/trim_info.h"
#include "tests/support/test_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvelle {

namespace {

class TrimInfo : public ::testing::Test {
protected:
  QString path() const { return SettingsFilePath(m_dir.path()); }
  void write(const QByteArray &bytes) { ASSERT_TRUE(testing::WriteFile(path(), bytes)); }
  QByteArray read() const { return testing::ReadFile(path()); }
  static QByteArray data(const char *startX, const char *ratio = "0.75") {
    return QByteArray("[Data]\nPicStartX=") + startX +
           "\nPicStartY=50\nPicWidth=200\nPicHeight=150\nNewPicStartX=0\nNewPicStartY=0\n"
           "NewPicWidth=200\nNewPicHeight=150\nPicRatio=" +
           ratio + "\n";
  }
  QTemporaryDir m_dir;
};

} // namespace

TEST_F(TrimInfo, SavingWritesTheNineKeysInOrderAndKeepsOtherLines) {
  write("[File]\nF_Path=/pictures\n[Data]\nUnknown=1\n");
  FrameState frame;
  frame.trim = {100, 50, -200, -150};
  frame.drag = {0, 0, -200, -150};
  frame.FrameRatio = 0.75f;
  EXPECT_EQ(SaveTrimInfo(frame, path()), "");
  EXPECT_EQ(read(), "[File]\nF_Path=/pictures\n[Data]\nUnknown=1\nPicStartX=100\nPicStartY=50\nPicWidth=-200\n"
                    "PicHeight=-150\nNewPicStartX=0\nNewPicStartY=0\nNewPicWidth=-200\nNewPicHeight=-150\n"
                    "PicRatio=0.75\n");
}

TEST_F(TrimInfo, FractionsAreSavedRoundedHalvesToEven) {
  FrameState frame;
  frame.trim = {12.5f, 13.5f, 4.0f / 3.0f, 7};
  frame.FrameRatio = 4.0f / 3.0f;
  EXPECT_EQ(SaveTrimInfo(frame, path()), "");
  EXPECT_EQ(read(), "[Data]\nPicStartX=12\nPicStartY=14\nPicWidth=1\nPicHeight=7\nNewPicStartX=0\nNewPicStartY=0\n"
                    "NewPicWidth=0\nNewPicHeight=0\nPicRatio=1.333333\n");
}

TEST_F(TrimInfo, AValueOutsideTheFileRangeWritesNothing) {
  write(data("1"));
  FrameState frame;
  frame.trim = {10, 10, 100, 40000};
  const QString message = SaveTrimInfo(frame, path());
  EXPECT_TRUE(message.contains(QStringLiteral("PicHeight"))) << message.toStdString();
  EXPECT_TRUE(message.contains(QStringLiteral("40000")));
  EXPECT_EQ(read(), data("1"));
}

TEST_F(TrimInfo, LoadingConvertsTheNumbers) {
  write("[Data]\nPicStartX= 12.5 \nPicStartY=13.5\nPicWidth=-100\nPicHeight=-50\nNewPicStartX=007\n"
        "NewPicStartY=0\nNewPicWidth=300\nNewPicHeight=200\nPicRatio=0.5\n");
  const auto loaded = LoadTrimInfo(path());
  ASSERT_TRUE(std::holds_alternative<FrameState>(loaded)) << std::get<QString>(loaded).toStdString();
  const FrameState &frame = std::get<FrameState>(loaded);
  EXPECT_EQ(frame.trim.PicStartX, 12);
  EXPECT_EQ(frame.trim.PicStartY, 14);
  EXPECT_EQ(frame.trim.PicWidth, -100);
  EXPECT_EQ(frame.trim.PicHeight, -50);
  EXPECT_EQ(frame.drag.NewPicStartX, 7);
  EXPECT_EQ(frame.drag.NewPicWidth, 300);
  EXPECT_EQ(frame.drag.NewPicHeight, 200);
  EXPECT_EQ(frame.FrameRatio, 0.5f);
}

TEST_F(TrimInfo, EveryBadValueIsNamedAndNothingIsLoaded) {
  const std::pair<QByteArray, const char *> cases[] = {
      {data(""), "「PicStartX」の値「」"},
      {data("abc"), "「PicStartX」の値「abc」"},
      {data("32768"), "「PicStartX」の値「32768」"},
      {data("-32769"), "「PicStartX」の値「-32769」"},
      {data("1", "x"), "「PicRatio」の値「x」"},
      {data("1", "1e99"), "「PicRatio」の値「1e99」"},
      {QByteArray("[Data]\nPicStartX=1\n"), "「PicStartY」がありません"},
  };
  for (const auto &[file, expected] : cases) {
    SCOPED_TRACE(expected);
    write(file);
    const auto loaded = LoadTrimInfo(path());
    ASSERT_TRUE(std::holds_alternative<QString>(loaded));
    EXPECT_TRUE(std::get<QString>(loaded).contains(QString::fromUtf8(expected)))
        << std::get<QString>(loaded).toStdString();
  }
  QFile::remove(path());
  const auto missing = LoadTrimInfo(path());
  ASSERT_TRUE(std::holds_alternative<QString>(missing));
  EXPECT_TRUE(std::get<QString>(missing).contains(QStringLiteral("「PicStartX」がありません")));
}

} // namespace orvelle
