#pragma once

#include <QString>

namespace orvelle {

// The JPEG path: the folder, one separator unless it ends in one, the name and
// the suffix.
QString JpegPath(const QString &folder, const QString &baseName, const QString &suffix);

// The message for the user when a picture cannot be saved under this base name
// into this folder (no name, no folder, a name that would leave the folder, a
// folder that is missing or cannot be written); empty when it can.
QString SaveProblem(const QString &baseName, const QString &folder);
// The same for the folder alone.
QString FolderProblem(const QString &folder);
// The first line of that message for a folder that is missing or cannot be written.
QString UnusableFolderProblem(const QString &folder);

// The message for a JPEG file the library did not save: a full disk is named
// as such; other failures give the library's code.
QString JpegSaveProblem(const QString &jpegPath, int code, int systemError);

// The message for a JPEG library that cannot be loaded.
QString LibraryProblem(const QString &libraryPath, const QString &loadError);

} // namespace orvelle
