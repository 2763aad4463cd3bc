#pragma once

#include <QStringList>
#include <memory>

namespace orvelle {

// What went wrong, without the words for it: a kind, its details (file
// names, sizes, a system's own message) in the order the kind names them,
// and the problem that caused it, if one did. The windows and the command
// line's output turn a problem into the user's words; nothing below them
// builds a sentence.
enum class ProblemKind {
  // Opening and reading files.
  FileMissing,
  FileNoPermission,
  FileOpenFailed, // the system's message
  FileIsFolder,
  FileNotRegular,
  FileTooLarge, // the most bytes
  // Pictures and frames.
  NoFrame,
  TrimTooLarge, // width, height, the most MB
  FrameOutside, // width, height of the picture
  NothingTrimmed,
  CutShort,
  NotAnImage,
  NotJpeg,
  NotPng,
  JpegLossless,
  JpegPrecision,    // bits
  MetadataTooLarge, // MB
  TooManyScans,     // the most
  ChunksTooLarge,
  ImageTooLarge,       // width, height, the most MB
  ProgressiveTooLarge, // width, height
  OutOfMemory,
  ClipboardUnreadable, // the decoder's message, or the cause
  ClipboardTooLarge,   // width, height, the most MB, ten thousands of pixels
  // The screen's sources.
  PortalNoBus,
  PortalNoAnswer, // seconds
  PortalError,    // the portal's message, the D-Bus error's name
  GrabFailed,     // -; the cause
  GrabCancelled,
  GrabRefused,
  GrabRefusedUnattended,
  GrabNoFile,
  GrabFileNotOwn,   // path
  GrabFileTooLarge, // MB, the most MB
  GrabFileUnreadable,
  GrabTooLarge,    // width, height
  GrabUndecodable, // the decoder's message
  GrabNoDisplay,
  GrabX11Failed, // the X error's code
  GrabDepth,     // the depth
  Interrupted,
  ScreenCastUnavailable, // -; the cause
  ScreenCastRefused,
  ScreenCastEnded,
  ScreenCastFrameElsewhere,
  // The global key.
  KeyNoDesktop,         // neither an X server nor a portal to hold it
  KeyUnsupported,       // the key
  KeyTaken,             // the key
  KeyNoGlobalShortcuts, // -
  KeyNotBound,          // the key
  KeyQueueFull,         // presses dropped
  SourceUnreadable,     // path; the cause
  SourceEmpty,          // folder
  // trim.ini.
  FrameValueOutOfRange, // key, value
  TrimInfoUnwritable,   // path
  TrimInfoUnreadable,   // path; the cause
  TrimInfoKeyMissing,   // key
  TrimInfoNotNumber,    // key, text
  TrimInfoNotInRange,   // key, text
  FolderCancelled,
  FolderNameTooLong, // folder, the most bytes
  FolderNotStored,   // path of trim.ini
  // Saving.
  NoSaveFolder,
  FolderUnusable,     // folder (with how to choose another in the window)
  FolderUnusableHere, // folder
  NoFileName,
  BadFileName,       // name
  ReadOnly,          // file name
  DiskFull,          // JPEG or PNG, path
  SaveError,         // JPEG or PNG, path, the writer's code
  LibraryMissing,    // the library's path
  LibraryUnloadable, // the library's path, the loader's message
  NothingToSave,
  ScratchUnwritable, // path
  OutputIsInput,
  OutputReadOnly,     // file name
  OutputExists,       // file name
  SameNameEarlier,    // file name
  NumberedSaveFailed, // file name, the system's message
  NumberTooHigh,      // the most, base name
  NumberedNoName,     // folder
};

struct Problem {
  ProblemKind kind;
  QStringList details;
  std::shared_ptr<const Problem> cause;
};

inline Problem MakeProblem(ProblemKind kind, QStringList details = {}) { return {kind, std::move(details), nullptr}; }
// A problem that another one caused; the cause's words follow the details.
inline Problem MakeProblem(ProblemKind kind, QStringList details, Problem cause) {
  return {kind, std::move(details), std::make_shared<const Problem>(std::move(cause))};
}

} // namespace orvelle
