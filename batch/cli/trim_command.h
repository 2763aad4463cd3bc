#pragma once

#include "common/problem.h"
#include "export/picture_format.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

// What the orvelle-trim command is asked to do, and how it speaks.

namespace orvelle {

inline constexpr int kAllSaved = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUsage = 2;

struct TrimOptions {
  QString settings;
  QString output;
  int quality = 50;
  bool overwrite = false;
  bool screen = false;                     // the desktop instead of files
  QString name = QStringLiteral("screen"); // the screen trims' base name
  int every = 0;                           // seconds between screen trims; 0: one trim
  int count = 0;                           // screen trims to save at most; 0: no end
  bool all = false;                        // unchanged screen trims saved too
  std::optional<PictureFormat> format;     // none: as trim.ini says
  QStringList images;
};

// The options, or the exit code when the program ends here (after the help,
// or a usage error said on the standard error).
std::variant<TrimOptions, int> ParseTrimOptions(const QStringList &args);

// A file name as one line of output: control characters (a newline could
// forge another line) are written as \n, \t or \xHH, backslashes doubled.
QString Printable(const QString &name);

// The exit code of a problem that stops the command before it starts: 2
// (kUsage) for what the options or trim.ini must mend (the stored frame
// missing, unreadable or too large, no usable save folder, a name that is no
// plain file name, the JPEG library missing or unloadable), else 1.
int ExitCodeOf(ProblemKind kind);

// "orvelle-trim: text" on the standard error.
void Say(const QString &text);
// Says the text and where the help is; the usage error's exit code.
int Usage(const QString &text);

} // namespace orvelle
