#pragma once

#include "common/units.h"

namespace orvelle {

// The canvas's top-left corner in the main window's client area, in twips:
// the strip of controls above it is 440 twips high.
inline constexpr int kCanvasTopTwips = 440;

inline int CanvasTopPixels() { return TwipsToPixels(kCanvasTopTwips); }

} // namespace orvelle
