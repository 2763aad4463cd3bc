#include "capture/screen/file_screen_source.h"

#include "capture/picture/region_reader.h"
#include "common/memory_budget.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

namespace orvelle {

namespace {
bool IsPictureName(const QString &name) {
  const QString suffix = QFileInfo(name).suffix().toLower();
  return suffix == QLatin1String("png") || suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
         suffix == QLatin1String("bmp");
}
} // namespace

FileScreenSource::FileScreenSource(QString path, QObject *parent) : ScreenSource(parent), m_path(std::move(path)) {}

Expected<QString> FileScreenSource::Next() {
  if (!QFileInfo(m_path).isDir()) {
    return m_path;
  }
  if (m_files.isEmpty()) {
    QStringList names = QDir(m_path).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    names.removeIf([](const QString &name) { return !IsPictureName(name); });
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return QFile::encodeName(a) < QFile::encodeName(b); });
    for (const QString &name : names) {
      m_files << QDir(m_path).filePath(name);
    }
  }
  if (m_files.isEmpty()) {
    return MakeProblem(ProblemKind::SourceEmpty, {m_path});
  }
  const QString file = m_files.at(std::min(m_next, int(m_files.size()) - 1));
  m_next = std::min(m_next + 1, int(m_files.size()));
  return file;
}

void FileScreenSource::Start(Choose choose) {
  const unsigned request = ++m_request;
  // Answered from the event loop, as the desktop answers.
  QTimer::singleShot(0, this, [this, request, choose = std::move(choose)] {
    if (request != m_request) {
      return; // cancelled
    }
    const Expected<QString> file = Next();
    if (!file) {
      emit failed(file.problem());
      return;
    }
    const Expected<Region> region = ReadRegion(
        *file,
        [&](QSize size) { return choose ? choose(size) & QRect(QPoint(0, 0), size) : QRect(QPoint(0, 0), size); },
        kPictureBudgetBytes);
    if (!region) {
      emit failed(MakeProblem(ProblemKind::SourceUnreadable, {*file}, region.problem()));
      return;
    }
    emit grabbed({region->imageSize, region->area, region->pixels});
  });
}

} // namespace orvelle
