#pragma once

namespace orvelle {

// The program's user-interface font: the Japanese Windows one where it is
// installed, else a Japanese Gothic of the same size, so that the captions fit
// the places the window gives them and Japanese texts never show as boxes.
void ApplyInterfaceFont();

} // namespace orvelle
