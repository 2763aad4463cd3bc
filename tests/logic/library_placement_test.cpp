#include "app/library_placement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvelle {

namespace {

class LibraryPlacementTest : public ::testing::Test {
protected:
  void SetUp() override {
    QFile source(sourcePath());
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write("new library");
  }
  QString sourcePath() const { return m_program.filePath(QStringLiteral("libSaveJPG.so")); }
  QString target(const QString &folder) const {
    return m_root.path() + QLatin1Char('/') + folder + QStringLiteral("/libSaveJPG.so");
  }
  static QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  void makeFolder(const QString &folder) { ASSERT_TRUE(QDir(m_root.path()).mkpath(folder)); }

  QTemporaryDir m_program;
  QTemporaryDir m_root;
};

} // namespace

TEST_F(LibraryPlacementTest, EachWindowsNameHasItsFolder) {
  const std::pair<const char *, const char *> rows[] = {
      {"Windows NT 4.0", "WINNT/SYSTEM32"},
      {"Windows 2000", "WINNT/SYSTEM32"},
      {"Windows Server 2003", "WINDOWS/SYSTEM32"},
      {"Windows XP", "WINDOWS/SYSTEM32"},
      {"Windows Me", "WINDOWS/SYSTEM"},
      {"Windows 98", "WINDOWS/SYSTEM"},
      {"Windows 95", "WINDOWS/SYSTEM"},
  };
  for (const auto &[name, folder] : rows) {
    SCOPED_TRACE(name);
    makeFolder(QString::fromUtf8(folder));
    QFile::remove(target(QString::fromUtf8(folder)));
    const LibraryPlacement placed = PlaceJpegLibrary(QString::fromUtf8(name), sourcePath(), m_root.path());
    EXPECT_EQ(placed.outcome, LibraryPlacement::Outcome::Copied);
    EXPECT_EQ(placed.target, target(QString::fromUtf8(folder)));
    EXPECT_EQ(contents(placed.target), "new library");
    // The next start finds it and copies nothing.
    EXPECT_EQ(PlaceJpegLibrary(QString::fromUtf8(name), sourcePath(), m_root.path()).outcome,
              LibraryPlacement::Outcome::AlreadyPresent);
  }
}

TEST_F(LibraryPlacementTest, OtherNamesHaveNoTargetAndCopyNothing) {
  for (const char *name : {"Windows 3.1", "Windows NT 3.51", "Windows Me Later", "Windows Unknown",
                           "Windows Vista or Later", "", "windows xp", "Windows XP "}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(PlaceJpegLibrary(QString::fromUtf8(name), sourcePath(), m_root.path()).outcome,
              LibraryPlacement::Outcome::NoTarget);
  }
  EXPECT_TRUE(QDir(m_root.path()).isEmpty());
}

TEST_F(LibraryPlacementTest, AFileAlreadyThereIsNeverReplaced) {
  makeFolder(QStringLiteral("WINDOWS/SYSTEM32"));
  QFile old(target(QStringLiteral("WINDOWS/SYSTEM32")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old, different library");
  old.close();
  QFile::setPermissions(old.fileName(), QFileDevice::ReadOwner); // a read-only one is found too
  EXPECT_EQ(PlaceJpegLibrary(QStringLiteral("Windows XP"), sourcePath(), m_root.path()).outcome,
            LibraryPlacement::Outcome::AlreadyPresent);
  EXPECT_EQ(contents(old.fileName()), "old, different library");
}

TEST_F(LibraryPlacementTest, FailedCopiesAreReported) {
  // The system folder is missing.
  LibraryPlacement placed = PlaceJpegLibrary(QStringLiteral("Windows 2000"), sourcePath(), m_root.path());
  EXPECT_EQ(placed.outcome, LibraryPlacement::Outcome::CopyFailed);
  EXPECT_FALSE(placed.error.isEmpty());
  // The library beside the program is missing.
  makeFolder(QStringLiteral("WINNT/SYSTEM32"));
  QFile::remove(sourcePath());
  placed = PlaceJpegLibrary(QStringLiteral("Windows 2000"), sourcePath(), m_root.path());
  EXPECT_EQ(placed.outcome, LibraryPlacement::Outcome::CopyFailed);
  EXPECT_FALSE(QFile::exists(target(QStringLiteral("WINNT/SYSTEM32"))));
}

} // namespace orvelle
