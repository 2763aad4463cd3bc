#include "common/units.h"

#include "common/numbers.h"

namespace orvelle {

int TwipsToPixels(double twips) { return static_cast<int>(RoundHalfEven(twips / kTwipsPerPixel)); }

} // namespace orvelle
