#pragma once

#include <xcb/xcb.h>

namespace orvelle {

// The key code an X server gives a key symbol (at any level), or 0 where no
// key of its keyboard has it.
xcb_keycode_t X11KeyCode(xcb_connection_t *c, xcb_keysym_t symbol);

} // namespace orvelle
