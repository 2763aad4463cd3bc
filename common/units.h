#pragma once

// Lengths on the windows are kept in twips, 1440 to the inch. The program turns
// them into pixels with the fixed factor of 15 (96 dots per inch) and never asks
// the display for its own factor, so frame values stay whole pixels.

namespace orvelle {

inline constexpr int kTwipsPerPixel = 15;

// Pixels for a length in twips, rounded to the nearest pixel (halves to even).
int TwipsToPixels(double twips);

// Twips for a length in pixels.
constexpr double PixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }

} // namespace orvelle
