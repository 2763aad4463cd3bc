#pragma once

#include "common/expected.h"
#include "common/program_folder.h"
#include "savejpg/SaveJPG.h"

#include <QString>
#include <cstdint>

namespace orvelle {

// Loads the library and gives its SavePixelstoJPEG, or why it cannot be
// loaded (missing, or there but unloadable).
Expected<SavePixelstoJPEGFunction> ResolveSavePixelstoJPEG(const QString &libraryPath);

// Loads the library and calls its SavetoJPEG: the function's code, or why the
// library or the function cannot be loaded.
Expected<int> CallSavetoJPEG(const QString &libraryPath, const QString &bmpPath, const QString &jpegPath,
                             std::uint8_t quality, std::int32_t flag);

} // namespace orvelle
