#pragma once

#include <QImage>
#include <QString>
#include <variant>

class QMimeData;

namespace orvelle {

// The most a clipboard picture may take decoded (4 bytes a pixel).
inline constexpr qint64 kMaxClipboardPictureBytes = qint64(1) << 30;

// The clipboard's picture, opaque; a null image when it holds none (or no
// clipboard data is given); or, for a picture that cannot be taken (larger
// than 1 GB decoded, or unreadable), the message for the user.
std::variant<QImage, QString> ClipboardPicture(const QMimeData *data);

// Whether the clipboard holds a picture, as a picture or as an image file's bytes.
bool HoldsPicture(const QMimeData &data);

} // namespace orvelle
