// The trim session and continuous trimming without a window: a picture in,
// files and problems out.
#include "core/continuous_trim.h"
#include "core/trim_session.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvelle {
namespace {

QImage Screen(int seed) {
  QImage picture(120, 90, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      picture.setPixel(x, y, qRgb((x * 7 + seed) & 255, (y * 5 + seed * 3) & 255, (x + y + seed) & 255));
    }
  }
  return picture;
}

QMimeData *Offered(const QImage &picture, bool ownMark = false) {
  auto *data = new QMimeData;
  data->setImageData(picture);
  if (ownMark) {
    data->setData(kOwnCopyFormat, "1");
  }
  return data;
}

struct Session {
  QTemporaryDir dir;
  TrimSession session{{dir.filePath("trim.ini"), dir.path(), dir.filePath("none.so")}};
  Session() {
    QDir().mkpath(dir.filePath("out"));
    session.Begin({100, 100}, Qt::white, {});
    session.frame = {{10, 20, 30, 40}, {0, 0, 30, 40}, 0};
    session.baseName = QStringLiteral("shot");
    session.format = PictureFormat::Png; // exact pixels, no library needed
    (void)session.ChooseSaveFolder(dir.filePath("out"));
  }
  QString out(const QString &name) { return dir.filePath("out/" + name); }
};

TEST(TrimSession, WhatIsSavedIsTheTrimOfThePictureOnTheCanvas) {
  Session s;
  std::unique_ptr<QMimeData> first(Offered(Screen(1)));
  ASSERT_TRUE(s.session.Capture(first.get(), {100, 100}));
  EXPECT_EQ(s.session.SaveTrimmed().problem().kind, ProblemKind::NothingTrimmed); // not trimmed yet
  ASSERT_TRUE(s.session.Trim());
  ASSERT_TRUE(s.session.SaveTrimmed());
  EXPECT_EQ(QImage(s.out("shot.png")).convertToFormat(QImage::Format_RGB32), Screen(1).copy(10, 20, 30, 40));
  std::unique_ptr<QMimeData> second(Offered(Screen(2)));
  ASSERT_TRUE(s.session.Capture(second.get(), {100, 100}));
  EXPECT_FALSE(s.session.trimmed()) << "a new capture leaves no trim of it";

  // A frame wholly off the picture is refused and leaves nothing trimmed.
  s.session.frame.trim = {500, 500, 30, 40};
  const Expected<void> outside = s.session.Trim();
  ASSERT_FALSE(outside);
  EXPECT_EQ(outside.problem().kind, ProblemKind::FrameOutside);
  EXPECT_EQ(outside.problem().details, (QStringList{"120", "90"}));

  // What saves over and over need, in the order it is checked.
  const struct {
    FrameState frame;
    QString name;
    QString folder;
    ProblemKind kind;
  } cases[] = {
      {{}, "shot", s.out(""), ProblemKind::NoFrame},
      {{{1, 1, 5, 5}, {0, 0, 5, 5}, 0}, "", s.out(""), ProblemKind::NoFileName},
      {{{1, 1, 5, 5}, {0, 0, 5, 5}, 0}, "../x", s.out(""), ProblemKind::BadFileName},
      {{{1, 1, 5, 5}, {0, 0, 5, 5}, 0}, "shot", s.dir.filePath("gone"), ProblemKind::FolderUnusable},
  };
  for (const auto &c : cases) {
    Session t;
    t.session.frame = c.frame;
    t.session.baseName = c.name;
    (void)t.session.ChooseSaveFolder(c.folder);
    const Expected<void> possible = t.session.CheckRepeat();
    ASSERT_FALSE(possible) << qPrintable(c.name);
    EXPECT_EQ(possible.problem().kind, c.kind) << qPrintable(c.name);
  }
}

TEST(ContinuousTrim, EachNewPictureOnceNeitherOwnCopiesNorUnreadableOnes) {
  Session s;
  ContinuousTrim continuous(s.session);
  ASSERT_TRUE(continuous.Start());
  const std::pair<QMimeData *, bool> offers[] = {
      {Offered(Screen(1)), true},
      {Offered(Screen(1)), false},       // offered again: passed over
      {Offered(Screen(2), true), false}, // the program's own copy
      {Offered(Screen(3)), true},
  };
  for (const auto &[data, saves] : offers) {
    const qsizetype before = QDir(s.out("")).entryList(QDir::Files).size();
    const ContinuousTrim::Taken taken = continuous.Take(data, {100, 100});
    EXPECT_TRUE(taken.result);
    EXPECT_EQ(QDir(s.out("")).entryList(QDir::Files).size(), before + (saves ? 1 : 0));
    delete data;
  }
  auto unreadable = std::make_unique<QMimeData>();
  unreadable->setData("image/png", "\x89PNG\r\n\x1a\n broken");
  (void)continuous.Take(unreadable.get(), {100, 100});
  EXPECT_EQ(continuous.saved(), 2);
  EXPECT_EQ(continuous.unreadable(), 1);
  EXPECT_EQ(QImage(s.out("shot-002.png")).convertToFormat(QImage::Format_RGB32), Screen(3).copy(10, 20, 30, 40));

  // A save that fails stops it, with the reason.
  s.session.baseName = QString();
  std::unique_ptr<QMimeData> next(Offered(Screen(4)));
  const ContinuousTrim::Taken failed = continuous.Take(next.get(), {100, 100});
  ASSERT_FALSE(failed.result);
  EXPECT_EQ(failed.result.problem().kind, ProblemKind::NoFileName);
  EXPECT_FALSE(continuous.running());
}

} // namespace
} // namespace orvelle
