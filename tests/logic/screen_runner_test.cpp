// The screen-series runner over pictures served as the screen: what each
// grab comes to, and the files it leaves.
#include "capture/screen/file_screen_source.h"
#include "core/screen_runner.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvelle {
namespace {

using Outcome = ScreenStep::Outcome;

QImage Picture(QRgb colour, QSize size = {64, 48}) {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(colour);
  picture.setPixel(17, 9, qRgb(1, 2, 3)); // inside the frame
  return picture;
}

struct SeriesRun {
  std::vector<ScreenStep> steps;
  int saved = 0;
};

// Runs the plan over the source until the series ends, or stops it after
// `stopAfter` steps.
SeriesRun RunSeries(const QString &source, ScreenPlan plan, int stopAfter = 100) {
  FileScreenSource screen(source);
  ScreenRunner runner(screen, plan);
  SeriesRun run;
  QObject::connect(&runner, &ScreenRunner::stepped, [&](const ScreenStep &step) {
    run.steps.push_back(step);
    if (int(run.steps.size()) == stopAfter) {
      runner.Stop();
    }
  });
  QSignalSpy finished(&runner, &ScreenRunner::finished);
  runner.Start();
  EXPECT_TRUE(finished.wait(5000));
  run.saved = runner.saved();
  return run;
}

std::vector<Outcome> Outcomes(const SeriesRun &run) {
  std::vector<Outcome> outcomes;
  for (const ScreenStep &step : run.steps) {
    outcomes.push_back(step.outcome);
  }
  return outcomes;
}

TEST(ScreenRunner, EachGrabIsSavedPassedOverFailedOrCancelled) {
  QTemporaryDir dir;
  const QString pictures = dir.filePath("pictures"), out = dir.filePath("out");
  QDir().mkpath(pictures);
  QDir().mkpath(out);
  // Served in the byte order of their names ("B" before "a"), the last again.
  ASSERT_TRUE(Picture(qRgb(200, 10, 10)).save(pictures + "/B.png"));
  ASSERT_TRUE(Picture(qRgb(200, 10, 10)).save(pictures + "/a.png"));            // unchanged
  ASSERT_TRUE(testing::WriteFile(pictures + "/b-broken.png", "not a picture")); // a failed grab; the series goes on
  ASSERT_TRUE(Picture(qRgb(10, 200, 10)).save(pictures + "/c.png"));
  ASSERT_TRUE(testing::WriteFile(pictures + "/notes.txt", "no picture"));

  ScreenPlan plan;
  plan.frame = {{10, 5, 20, 12}, {0, 0, 20, 12}};
  plan.target = {out, QStringLiteral("shot%1"), 80, nullptr, PictureFormat::Png};
  plan.everyMs = 1;
  const SeriesRun every = RunSeries(pictures, plan, 5);
  ASSERT_EQ(Outcomes(every), (std::vector{Outcome::Saved, Outcome::Unchanged, Outcome::Failed, Outcome::Saved,
                                          Outcome::Unchanged})); // c.png again
  EXPECT_EQ(every.steps[2].problem->kind, ProblemKind::SourceUnreadable);
  EXPECT_FALSE(every.steps[2].last);
  EXPECT_EQ(every.saved, 2);
  EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{"shot%1-001.png", "shot%1-002.png"}));
  EXPECT_EQ(QImage(out + "/shot%1-001.png").convertToFormat(QImage::Format_RGB32),
            Picture(qRgb(200, 10, 10)).copy(10, 5, 20, 12));
  EXPECT_EQ(QImage(out + "/shot%1-002.png").convertToFormat(QImage::Format_RGB32),
            Picture(qRgb(10, 200, 10)).copy(10, 5, 20, 12));

  // Every picture saved until the count is reached, the same ones too.
  plan.onlyChanged = false;
  plan.count = 2;
  const SeriesRun counted = RunSeries(pictures + "/c.png", plan);
  EXPECT_EQ(Outcomes(counted), (std::vector{Outcome::Saved, Outcome::Saved}));
  EXPECT_TRUE(counted.steps.back().last);
  EXPECT_TRUE(QFile::exists(out + "/shot%1-004.png")) << "numbered on from the folder's highest";

  // One grab: a frame the desktop leaves outside saves nothing.
  plan.everyMs = 0;
  plan.frame = {{500, 500, 20, 12}, {0, 0, 20, 12}};
  const SeriesRun outside = RunSeries(pictures + "/c.png", plan);
  ASSERT_EQ(Outcomes(outside), (std::vector{Outcome::Failed}));
  EXPECT_EQ(outside.steps[0].problem->kind, ProblemKind::FrameOutside);
  EXPECT_EQ(outside.steps[0].problem->details, (QStringList{"64", "48"}));

  // A failed save ends the series at once.
  plan.everyMs = 1;
  plan.count = 0;
  plan.frame = {{10, 5, 20, 12}, {0, 0, 20, 12}};
  plan.target.folder = dir.filePath("gone");
  const SeriesRun unsaved = RunSeries(pictures, plan);
  ASSERT_EQ(Outcomes(unsaved), (std::vector{Outcome::Failed}));
  EXPECT_TRUE(unsaved.steps[0].last);

  // Stopped while the source has not answered: cancelled, nothing saved.
  plan.target.folder = out;
  FileScreenSource screen(pictures);
  ScreenRunner runner(screen, plan);
  std::vector<Outcome> seen;
  QObject::connect(&runner, &ScreenRunner::stepped, [&](const ScreenStep &step) { seen.push_back(step.outcome); });
  runner.Start();
  runner.Stop();
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, (std::vector{Outcome::Cancelled}));
  EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 4);

  // Presses (the key) faster than grabs: one under way and ten waiting are
  // each saved once, in turn; more are dropped.
  plan.everyMs = 0;
  plan.onlyChanged = false;
  FileScreenSource one(pictures + "/c.png");
  ScreenRunner keys(one, plan);
  int accepted = 0;
  for (int i = 0; i < 13; ++i) {
    accepted += keys.Press(plan) ? 1 : 0;
  }
  EXPECT_EQ(accepted, 1 + ScreenRunner::kMaxWaiting);
  QSignalSpy steps(&keys, &ScreenRunner::stepped);
  while (steps.size() < accepted && steps.wait(5000)) {
  }
  EXPECT_EQ(steps.size(), accepted);
  EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 4 + accepted);
}

} // namespace
} // namespace orvelle
