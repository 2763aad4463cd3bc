#pragma once

#include <QString>
#include <optional>

namespace orvelle {

// The system folder that the JPEG library belongs in for a Windows name, below
// the system drive's root: "WINNT/SYSTEM32" for Windows NT 4.0 and 2000,
// "WINDOWS/SYSTEM32" for XP and Server 2003, "WINDOWS/SYSTEM" for Me, 98 and 95;
// nothing for every other name, the empty one included.
std::optional<QString> LibraryTargetFolder(const QString &osName);

struct LibraryPlacement {
  enum class Outcome { NoTarget, AlreadyPresent, Copied, CopyFailed };
  Outcome outcome = Outcome::NoTarget;
  QString target;
  QString error;
};

// Copies the library into its system folder when no file is found there; a
// file already there is never replaced, even when it differs.
LibraryPlacement PlaceJpegLibrary(const QString &osName, const QString &source, const QString &systemRoot);

// What the start tells the user of the placement: that the system is not one
// the program was checked on, or that the copy failed; empty otherwise.
QString PlacementMessage(const LibraryPlacement &placement, const QString &source);

} // namespace orvelle
