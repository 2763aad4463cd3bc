#pragma once

#include "savejpg/SaveJPG.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace orvelle {

// The JPEG writer's file name on this platform; it lives beside the program.
#ifdef _WIN32
inline const QString kJpegLibraryFileName = QStringLiteral("SaveJPG.dll");
#else
inline const QString kJpegLibraryFileName = QStringLiteral("libSaveJPG.so");
#endif

// Where the JPEG library of a program in this folder lies: beside it (as in
// the build folder), else in the private library folder of an installed
// program; beside it when neither holds it.
QString JpegLibraryPath(const QString &executableFolder);

// Loads the library and gives its SavePixelstoJPEG; nothing when it cannot be
// loaded (loadError then says why).
SavePixelstoJPEGFunction ResolveSavePixelstoJPEG(const QString &libraryPath, QString *loadError);

// Loads the library and calls its SavetoJPEG. Nothing when the library or the
// function cannot be loaded (loadError then says why); else the function's code.
std::optional<int> CallSavetoJPEG(const QString &libraryPath, const QString &bmpPath, const QString &jpegPath,
                                  std::uint8_t quality, std::int32_t flag, QString *loadError);

} // namespace orvelle
