#pragma once

#include "app/window_fit.h"
#include "sysinfo/os_version.h"

#include <QString>
#include <functional>
#include <optional>

class QClipboard;

namespace orvelle {

// What the main window takes from the system it runs on. The program uses the
// real one; tests give their own screen, folders, version record and ending.
struct Form1Environment {
  QString executableFolder;                                  // where the JPEG library lies
  QString programFolder;                                     // trim.ini
  QString bitmapFolder;                                      // the intermediate BMP files
  QString systemRoot;                                        // root of the Windows system folders
  std::function<ScreenMetrics()> screen;                     // the primary screen
  std::function<std::optional<OsVersionRecord>()> osVersion; // the running Windows version
  std::function<void()> terminate;                           // ends the program
  QClipboard *clipboard = nullptr;

  static Form1Environment ForThisProgram();
};

} // namespace orvelle
