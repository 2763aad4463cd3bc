#pragma once

#include "common/program_folder.h"
#include "savejpg/SaveJPG.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace orvelle {

// Loads the library and gives its SavePixelstoJPEG; nothing when it cannot be
// loaded (loadError then says why).
SavePixelstoJPEGFunction ResolveSavePixelstoJPEG(const QString &libraryPath, QString *loadError);

// Loads the library and calls its SavetoJPEG. Nothing when the library or the
// function cannot be loaded (loadError then says why); else the function's code.
std::optional<int> CallSavetoJPEG(const QString &libraryPath, const QString &bmpPath, const QString &jpegPath,
                                  std::uint8_t quality, std::int32_t flag, QString *loadError);

} // namespace orvelle
