#pragma once

#include "common/expected.h"

#include <QImage>

class QMimeData;

namespace orvelle {

// The most a clipboard picture may take decoded (4 bytes a pixel).
inline constexpr qint64 kMaxClipboardPictureBytes = qint64(1) << 30;

// The clipboard's picture, opaque; a null image when it holds none (or no
// clipboard data is given); or, for a picture that cannot be taken (larger
// than 1 GB decoded, or unreadable), why not.
Expected<QImage> ClipboardPicture(const QMimeData *data);

// Sets Qt's limit for decoding a picture, which holds for the whole process,
// once at start-up before any thread decodes: to the most any reader of the
// program takes (a clipboard picture's 1 GB). Each reader checks a picture's
// declared size against its own budget before it decodes; the limit is never
// changed afterwards, so that no decode on another thread sees it move.
void SetDecoderLimit();

// Whether the clipboard holds a picture, as a picture or as an image file's bytes.
bool HoldsPicture(const QMimeData &data);

} // namespace orvelle
