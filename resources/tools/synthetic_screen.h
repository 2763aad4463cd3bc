#pragma once

#include <QImage>
#include <QSize>

namespace orvelle::tools {

// A screenshot-like picture: a desktop gradient, windows with title bars,
// lines of coloured text, sharp edges and a photo-like area; the same pixels
// for the same size on every run.
QImage SyntheticScreen(QSize size);

} // namespace orvelle::tools
