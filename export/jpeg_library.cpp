#include "export/jpeg_library.h"

#include "savejpg/SaveJPG.h"

#include <QFile>
#include <QLibrary>

namespace orvelle {

SavePixelstoJPEGFunction ResolveSavePixelstoJPEG(const QString &libraryPath, QString *loadError) {
  QLibrary library(libraryPath); // stays loaded: QLibrary unloads only when asked to
  const auto function = reinterpret_cast<SavePixelstoJPEGFunction>(library.resolve("SavePixelstoJPEG"));
  if (function == nullptr && loadError != nullptr) {
    *loadError = library.errorString();
  }
  return function;
}

std::optional<int> CallSavetoJPEG(const QString &libraryPath, const QString &bmpPath, const QString &jpegPath,
                                  std::uint8_t quality, std::int32_t flag, QString *loadError) {
  QLibrary library(libraryPath);
  const auto function = reinterpret_cast<SavetoJPEGFunction>(library.resolve("SavetoJPEG"));
  if (function == nullptr) {
    if (loadError != nullptr) {
      *loadError = library.errorString();
    }
    return std::nullopt;
  }
  return function(QFile::encodeName(bmpPath).constData(), QFile::encodeName(jpegPath).constData(), quality, flag);
}

} // namespace orvelle
