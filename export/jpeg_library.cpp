#include "export/jpeg_library.h"

#include "savejpg/SaveJPG.h"

#include <QFile>
#include <QFileInfo>
#include <QLibrary>

namespace orvelle {

namespace {
// Why the library gives no such function: missing where the program keeps
// it, or there but not loadable.
Problem LoadProblem(const QString &libraryPath, const QLibrary &library) {
  if (!QFileInfo::exists(libraryPath)) {
    return MakeProblem(ProblemKind::LibraryMissing, {libraryPath});
  }
  return MakeProblem(ProblemKind::LibraryUnloadable, {libraryPath, library.errorString()});
}
} // namespace

Expected<SavePixelstoJPEGFunction> ResolveSavePixelstoJPEG(const QString &libraryPath) {
  QLibrary library(libraryPath); // stays loaded: QLibrary unloads only when asked to
  const auto function = reinterpret_cast<SavePixelstoJPEGFunction>(library.resolve("SavePixelstoJPEG"));
  if (function == nullptr) {
    return LoadProblem(libraryPath, library);
  }
  return function;
}

Expected<int> CallSavetoJPEG(const QString &libraryPath, const QString &bmpPath, const QString &jpegPath,
                             std::uint8_t quality, std::int32_t flag) {
  QLibrary library(libraryPath);
  const auto function = reinterpret_cast<SavetoJPEGFunction>(library.resolve("SavetoJPEG"));
  if (function == nullptr) {
    return LoadProblem(libraryPath, library);
  }
  return function(QFile::encodeName(bmpPath).constData(), QFile::encodeName(jpegPath).constData(), quality, flag);
}

} // namespace orvelle
