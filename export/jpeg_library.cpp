#include "export/jpeg_library.h"

#include "savejpg/SaveJPG.h"

#include <QFile>
#include <QLibrary>

namespace orvelle {

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
