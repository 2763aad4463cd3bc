#include "settings/settings_file.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvelle {

namespace {
class SettingsFile : public ::testing::Test {
protected:
  void write(const QByteArray &bytes) { ASSERT_TRUE(testing::WriteFile(m_path, bytes)); }
  QByteArray read() const { return testing::ReadFile(m_path); }
  QString get(const QString &key, const QString &section) const { return ReadSetting(key, section, m_path); }
  bool set(const QString &value, const QString &key, const QString &s) { return WriteSetting(value, key, s, m_path); }
  QTemporaryDir m_dir;
  QString m_path = SettingsFilePath(m_dir.path());
};
} // namespace

TEST_F(SettingsFile, ReadingFollowsTheProfileRulesAndTheFilesCharacterSet) {
  EXPECT_TRUE(get("F_Path", "File") == "ERROR" && !QFile::exists(m_path));
  write("orphan=before any section\n[data]\npicstartx=100\n  PicStartY  =   50   \nQuoted=\"D:\\My Pictures\"\n"
        "Empty=\nNoEquals\n[File]\r\nF_Path=" +
        QByteArray(253, 'b') + "画像\r\n");
  EXPECT_EQ(get("PicStartX", "Data"), "100");
  EXPECT_EQ(get("PicStartY", "DATA"), "50");
  EXPECT_EQ(get("Quoted", "Data"), "D:\\My Pictures");
  EXPECT_EQ(get("Empty", "Data"), "");
  EXPECT_TRUE(get("NoEquals", "Data") == "ERROR" && get("orphan", "Data") == "ERROR");
  EXPECT_EQ(get("F_Path", "File"), QString(253, QLatin1Char('b'))); // 254 bytes at most, no half character
  write("\xEF\xBB\xBF[Data]\nPicStartX=7\n");                       // an editor's byte-order mark, kept when written
  EXPECT_TRUE(get("PicStartX", "Data") == "7" && set("8", "PicStartX", "Data"));
  EXPECT_EQ(read(), "\xEF\xBB\xBF[Data]\nPicStartX=8\n");
  // A file from Japanese Windows is read and written in Shift-JIS.
  write("[File]\r\nF_Path=D:\\\x89\xe6\x91\x9c\r\n"); // "D:\画像" in Shift-JIS
  EXPECT_EQ(get("F_Path", "File"), QStringLiteral("D:\\画像"));
  ASSERT_TRUE(set(QStringLiteral("E:\\写真"), "F_Path", "File"));
  EXPECT_EQ(read(), QByteArray("[File]\r\nF_Path=E:\\\x8e\xca\x90\x5e\r\n"));
  // A folder that Shift-JIS cannot hold is refused, not stored as another one.
  EXPECT_FALSE(set(QStringLiteral("E:\\Фото 😀"), "F_Path", "File"));
  EXPECT_EQ(read(), QByteArray("[File]\r\nF_Path=E:\\\x8e\xca\x90\x5e\r\n"));
}

TEST_F(SettingsFile, WritingReplacesInPlaceOrChangesNothing) {
  write("; comment\r\n[Other]\r\nUnknown = keep  me \r\n\r\n[Data]\r\n  PicStartX = 1 \r\nExtra=\"q\"\r\n\r\n"
        "[Tail]\r\nlast=no newline");
  ASSERT_TRUE(set(QStringLiteral("2"), "picstartx", "DATA"));
  ASSERT_TRUE(WriteSettings(
      {{QStringLiteral("PicWidth"), QStringLiteral("3")}, {QStringLiteral("PicRatio"), QStringLiteral("0.75")}},
      QStringLiteral("Data"), m_path));
  ASSERT_TRUE(set(QStringLiteral("/home/利用者"), "F_Path", "File"));
  EXPECT_EQ(read(), QStringLiteral("; comment\r\n[Other]\r\nUnknown = keep  me \r\n\r\n[Data]\r\nPicStartX=2\r\n"
                                   "Extra=\"q\"\r\nPicWidth=3\r\nPicRatio=0.75\r\n\r\n[Tail]\r\nlast=no newline\r\n"
                                   "[File]\r\nF_Path=/home/利用者\r\n")
                        .toUtf8());
  // Failed writes return false and change nothing.
  EXPECT_FALSE(WriteSetting(QStringLiteral("x"), QStringLiteral("K"), QStringLiteral("S"),
                            SettingsFilePath(m_dir.filePath("missing"))));
  const QByteArray before = "[File]\nF_Path=old\n";
  write(before);
  // A read-only file, and a read-only folder, also for an administrator.
  const auto readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
  QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  EXPECT_FALSE(set(QStringLiteral("new"), "F_Path", "File"));
  QFile::setPermissions(m_path, readWrite);
  QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  EXPECT_FALSE(set(QStringLiteral("new"), "F_Path", "File"));
  QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  // Values that would break the lines of the file.
  EXPECT_FALSE(set(QStringLiteral("a\n[Data]\nPicStartX=1"), "F_Path", "File") || set("x", "Bad=Key", "File") ||
               set("x", "K", "Bad]Section"));
  // The disk fills up half-way: no write may go beyond 16 bytes.
  const bool written = testing::WithDiskFullAfter(16, [&] { return set(QString(200, 'z'), "F_Path", "File"); });
  EXPECT_FALSE(written);
  EXPECT_EQ(read(), before);
  EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("trim.ini")});
  // A replaced file keeps its permissions.
  ASSERT_TRUE(set(QStringLiteral("new"), "F_Path", "File"));
  EXPECT_EQ(QFile::permissions(m_path) & QFileDevice::Permissions::fromInt(0x7077), readWrite);
}

} // namespace orvelle
