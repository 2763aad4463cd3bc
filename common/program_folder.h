#pragma once

#include <QString>

namespace orvelle {

// The folder the executable lies in; the JPEG library is placed beside it.
QString ExecutableFolder();

// The JPEG writer's file name.
inline const QString kJpegLibraryFileName = QStringLiteral("libSaveJPG.so");

// Where the JPEG library of a program in this folder lies: beside it (as in
// the build folder), else in the private library folder of an installed
// program; beside it when neither holds it.
QString JpegLibraryPath(const QString &executableFolder);

// Whether the executable is an installed one: its JPEG library lies in the
// install prefix's private library folder, not beside it.
bool IsInstalledProgram(const QString &executableFolder);

// Where trim.ini lives: this user's configuration folder for Orvelle for an
// installed program (it never writes into the system's folders, not even as
// root) or for one whose folder cannot be written; else the executable's
// folder. Created when missing.
QString ChooseProgramFolder(const QString &executableFolder);

// Where the intermediate BMP files live: this user's cache folder for Orvelle
// for an installed program (they are no settings), else the program folder.
QString ChooseBitmapFolder(const QString &executableFolder);

} // namespace orvelle
