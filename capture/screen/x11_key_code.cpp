#include "capture/screen/x11_key_code.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace orvelle {

xcb_keycode_t X11KeyCode(xcb_connection_t *c, xcb_keysym_t symbol) {
  const xcb_setup_t *setup = xcb_get_setup(c);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> map(
      xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, std::uint8_t(count)), nullptr),
      &std::free);
  if (!map || map->keysyms_per_keycode == 0) {
    return 0;
  }
  const xcb_keysym_t *symbols = xcb_get_keyboard_mapping_keysyms(map.get());
  for (int i = 0; i < count * map->keysyms_per_keycode; ++i) {
    if (symbols[i] == symbol) {
      return xcb_keycode_t(setup->min_keycode + i / map->keysyms_per_keycode);
    }
  }
  return 0;
}

} // namespace orvelle
