#pragma once

#include <QStringList>

namespace orvelle {

// What went wrong, without the words for it: a kind and its details (file
// names, sizes, a system's own message), in the order the kind names them.
// The windows and the command line's output turn a problem into the user's
// words; nothing below them builds a sentence.
enum class ProblemKind {
  // The screen's sources.
  GrabNoBus,             // -
  GrabNoAnswer,          // seconds
  GrabPortalError,       // the portal's message
  GrabCancelled,         // -
  GrabRefused,           // -
  GrabRefusedUnattended, // -
  GrabNoFile,            // -
  GrabFileNotOwn,        // path
  GrabFileTooLarge,      // MB, the most MB
  GrabFileUnreadable,    // -
  GrabTooLarge,          // width, height
  GrabUndecodable,       // the decoder's message
  GrabNoDisplay,         // -
  GrabX11Failed,         // what failed
  GrabDepth,             // the depth
  GrabInterrupted,       // -
  SourceUnreadable,      // path, the reason's words
  SourceEmpty,           // folder
  // The frame on the desktop.
  FrameOutside, // width, height of the picture
  // Saving.
  SaveFailed, // the reason's words (from the export room)
};

struct Problem {
  ProblemKind kind;
  QStringList details;
};

inline Problem MakeProblem(ProblemKind kind, QStringList details = {}) { return {kind, std::move(details)}; }

} // namespace orvelle
