#include "common/text_encoding.h"
#include "settings/profile.h"
#include "settings/settings_file.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace orvelle {

namespace {

class SettingsFile : public ::testing::Test {
protected:
  QString path() const { return SettingsFilePath(m_dir.path()); }
  void write(const QByteArray &bytes) { ASSERT_TRUE(testing::WriteFile(path(), bytes)); }
  QByteArray read() const { return testing::ReadFile(path()); }
  QString get(const char *key, const char *section) const {
    return ReadSetting(QString::fromUtf8(key), QString::fromUtf8(section), path());
  }
  bool set(const QString &value, const char *key, const char *section) {
    return WriteSetting(value, QString::fromUtf8(key), QString::fromUtf8(section), path());
  }
  QStringList folderEntries() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsFile, ReadingFollowsTheProfileRules) {
  write("; written by hand\n"
        "orphan=before any section\n"
        "[data]\n"
        "picstartx=100\n"
        "  PicStartY  =   50   \n"
        "Quoted=\"D:\\My Pictures\"\n"
        "Single='x'\n"
        "Lonely=\"\n"
        "Empty=\n"
        "NoEquals\n"
        "[File]\r\n"
        "F_Path=D:\\Images\r\n");
  EXPECT_EQ(get("PicStartX", "Data"), "100");
  EXPECT_EQ(get("PicStartY", "DATA"), "50");
  EXPECT_EQ(get("Quoted", "Data"), "D:\\My Pictures");
  EXPECT_EQ(get("Single", "Data"), "x");
  EXPECT_EQ(get("Lonely", "Data"), "\"");
  EXPECT_EQ(get("Empty", "Data"), "");
  EXPECT_EQ(get("NoEquals", "Data"), "ERROR");
  EXPECT_EQ(get("orphan", "Data"), "ERROR");
  EXPECT_EQ(get("F_Path", "File"), "D:\\Images");
  EXPECT_EQ(get("F_Path", "Data"), "ERROR");
  EXPECT_EQ(get("PicStartX", "Nothing"), "ERROR");
}

TEST_F(SettingsFile, AMissingFileReadsAsErrorAndIsNotCreated) {
  EXPECT_EQ(get("F_Path", "File"), "ERROR");
  EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(SettingsFile, LongValuesAreCutTo254BytesAtACharacterBoundary) {
  const QByteArray ascii(300, 'a');
  write("[File]\nF_Path=" + ascii + "\n");
  EXPECT_EQ(get("F_Path", "File"), QString(254, QLatin1Char('a')));

  // 253 ASCII bytes, then a three-byte character that would end past byte 254.
  const QByteArray utf8 = QByteArray(253, 'b') + "画像";
  write("[File]\nF_Path=" + utf8 + "\n");
  EXPECT_EQ(get("F_Path", "File"), QString(253, QLatin1Char('b')));

  // Shift-JIS: 253 bytes then a two-byte character; the character is not split.
  const QByteArray sjis = QByteArray(253, 'c') + QByteArray("\x89\xe6\x91\x9c");
  write("[File]\nF_Path=" + sjis + "\n");
  EXPECT_EQ(get("F_Path", "File"), QString(253, QLatin1Char('c')));
}

TEST_F(SettingsFile, AFileFromJapaneseWindowsReadsAndStaysShiftJis) {
  // "D:\画像" as Japanese Windows writes it, with CRLF line ends.
  write("[File]\r\nF_Path=D:\\\x89\xe6\x91\x9c\r\n");
  EXPECT_EQ(get("F_Path", "File"), QStringLiteral("D:\\画像"));
  ASSERT_TRUE(set(QStringLiteral("E:\\写真"), "F_Path", "File"));
  EXPECT_EQ(read(), QByteArray("[File]\r\nF_Path=E:\\\x8e\xca\x90\x5e\r\n"));
  EXPECT_EQ(get("F_Path", "File"), QStringLiteral("E:\\写真"));
  EXPECT_EQ(DetectEncoding(read()), TextEncoding::Cp932);
  // A folder that Shift-JIS cannot hold is refused, not stored as another one.
  const QByteArray before = read();
  EXPECT_FALSE(set(QStringLiteral("E:\\Фото 😀"), "F_Path", "File"));
  EXPECT_EQ(read(), before);
}

TEST_F(SettingsFile, JapaneseValuesRoundTripInTheLocaleCharacterSet) {
  ASSERT_TRUE(set(QStringLiteral("/home/利用者/画像"), "F_Path", "File"));
  EXPECT_EQ(read(), QStringLiteral("[File]\nF_Path=/home/利用者/画像\n").toUtf8());
  EXPECT_EQ(get("F_Path", "File"), QStringLiteral("/home/利用者/画像"));
}

TEST_F(SettingsFile, AFolderEndingInASeparatorStillFindsTheFile) {
  const QString doubled = m_dir.path() + QStringLiteral("/") + QStringLiteral("/trim.ini");
  ASSERT_TRUE(WriteSetting(QStringLiteral("x"), QStringLiteral("K"), QStringLiteral("S"),
                           SettingsFilePath(m_dir.path() + QStringLiteral("/"))));
  EXPECT_EQ(ReadSetting(QStringLiteral("K"), QStringLiteral("S"), doubled), "x");
  EXPECT_EQ(get("K", "S"), "x");
}

TEST_F(SettingsFile, WritingCreatesAppendsAndReplacesInPlace) {
  ASSERT_TRUE(set(QStringLiteral("100"), "PicStartX", "Data"));
  EXPECT_EQ(read(), "[Data]\nPicStartX=100\n");
  ASSERT_TRUE(set(QStringLiteral("50"), "PicStartY", "Data"));
  ASSERT_TRUE(set(QStringLiteral("D:\\Images"), "F_Path", "File"));
  EXPECT_EQ(read(), "[Data]\nPicStartX=100\nPicStartY=50\n[File]\nF_Path=D:\\Images\n");
  ASSERT_TRUE(set(QStringLiteral("7"), "picstartx", "DATA"));
  EXPECT_EQ(read(), "[Data]\nPicStartX=7\nPicStartY=50\n[File]\nF_Path=D:\\Images\n");
}

TEST_F(SettingsFile, EveryOtherByteStaysAsItWas) {
  const QByteArray before = "; comment\r\n"
                            "stray line\r\n"
                            "[Other]\r\n"
                            "Unknown = keep  me \r\n"
                            "\r\n"
                            "[Data]\r\n"
                            "  PicStartX = 1 \r\n"
                            "Extra=\"quoted\"\r\n"
                            "\r\n"
                            "[Tail]\r\n"
                            "last=no newline";
  write(before);
  ASSERT_TRUE(set(QStringLiteral("2"), "PicStartX", "Data"));
  ASSERT_TRUE(set(QStringLiteral("3"), "PicWidth", "Data"));
  ASSERT_TRUE(set(QStringLiteral("x"), "F_Path", "File"));
  EXPECT_EQ(read(), QByteArray("; comment\r\n"
                               "stray line\r\n"
                               "[Other]\r\n"
                               "Unknown = keep  me \r\n"
                               "\r\n"
                               "[Data]\r\n"
                               "PicStartX=2\r\n"
                               "Extra=\"quoted\"\r\n"
                               "PicWidth=3\r\n"
                               "\r\n"
                               "[Tail]\r\n"
                               "last=no newline\r\n"
                               "[File]\r\n"
                               "F_Path=x\r\n"));
}

TEST_F(SettingsFile, SeveralKeysGoInOneReplacementInTheirOrder) {
  write("[Data]\nPicWidth=1\n[File]\nF_Path=x\n");
  ASSERT_TRUE(WriteSettings({{QStringLiteral("PicStartX"), QStringLiteral("10")},
                             {QStringLiteral("PicWidth"), QStringLiteral("20")},
                             {QStringLiteral("PicRatio"), QStringLiteral("0.75")}},
                            QStringLiteral("Data"), path()));
  EXPECT_EQ(read(), "[Data]\nPicWidth=20\nPicStartX=10\nPicRatio=0.75\n[File]\nF_Path=x\n");
}

TEST_F(SettingsFile, FailedWritesReturnFalseAndChangeNothing) {
  // A missing folder.
  EXPECT_FALSE(WriteSetting(QStringLiteral("x"), QStringLiteral("K"), QStringLiteral("S"),
                            SettingsFilePath(m_dir.path() + QStringLiteral("/missing"))));
  EXPECT_FALSE(QFile::exists(m_dir.path() + QStringLiteral("/missing")));

  // A read-only file, also for an administrator.
  write("[File]\nF_Path=old\n");
  QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  EXPECT_FALSE(set(QStringLiteral("new"), "F_Path", "File"));
  QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_EQ(read(), "[File]\nF_Path=old\n");

  // A read-only folder.
  QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  EXPECT_FALSE(set(QStringLiteral("new"), "F_Path", "File"));
  QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_EQ(read(), "[File]\nF_Path=old\n");

  // Values that would break the lines of the file.
  EXPECT_FALSE(set(QStringLiteral("a\n[Data]\nPicStartX=1"), "F_Path", "File"));
  EXPECT_FALSE(set(QStringLiteral("x"), "Bad=Key", "File"));
  EXPECT_FALSE(set(QStringLiteral("x"), "K", "Bad]Section"));
  EXPECT_EQ(read(), "[File]\nF_Path=old\n");
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("trim.ini")});
}

TEST_F(SettingsFile, AnInterruptedWriteLeavesTheOldFile) {
  const QByteArray before = "[Data]\nPicStartX=100\n[File]\nF_Path=D:\\Images\n";
  write(before);
  // The disk fills up half-way: no write may go beyond 64 bytes.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = set(QString(200, QLatin1Char('z')), "F_Path", "File");
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(written);
  EXPECT_EQ(read(), before);
  EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("trim.ini")});
}

TEST_F(SettingsFile, AReplacedFileKeepsItsPermissions) {
  write("[File]\nF_Path=old\n");
  const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
  QFile::setPermissions(path(), permissions);
  ASSERT_TRUE(set(QStringLiteral("new"), "F_Path", "File"));
  const QFileDevice::Permissions ownerGroupOther = QFileDevice::Permissions::fromInt(0x7077);
  EXPECT_EQ(QFile::permissions(path()) & ownerGroupOther, permissions);
}

} // namespace orvelle
