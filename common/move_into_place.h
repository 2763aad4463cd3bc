#pragma once

#include <QString>

namespace orvelle {

// Moves a finished file to a name that nothing may hold yet, in one step, so
// that nothing another program put there meanwhile is ever replaced:
// renameat2 with RENAME_NOREPLACE; where the file system refuses the flag (NFS
// answers EINVAL), a hard link and the old name removed; where it has no hard
// links either, a claim of the name (O_EXCL) that the file is then renamed
// over. Any entry of that name counts as there (a dangling link, a pipe).
enum class Moved { Done, NameTaken, Failed };
// errno tells why after Failed.
Moved MoveIntoPlace(const QByteArray &from, const QByteArray &to);

} // namespace orvelle
