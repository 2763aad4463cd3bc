// The X11 grab: the root window's pixels through xcb, of only the part needed.

#include "capture/screen_grab.h"

#include <cstdlib>
#include <memory>
#include <variant>
#include <xcb/xcb.h>

namespace orvelle {

namespace {

struct Disconnect {
  void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};

// Whether the server sends this depth's pixels as 32-bit words of 0xRRGGBB,
// as QImage's RGB32 keeps them.
bool IsRgb32(const xcb_setup_t *setup, const xcb_screen_t *screen, std::uint8_t depth) {
  bool words = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
    words = words || (f.data->depth == depth && f.data->bits_per_pixel == 32);
  }
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
      if (v.data->visual_id == screen->root_visual) {
        return words && setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST && v.data->red_mask == 0xff0000 &&
               v.data->green_mask == 0xff00 && v.data->blue_mask == 0xff;
      }
    }
  }
  return false;
}

} // namespace

std::variant<ScreenPicture, QString> GrabX11(const ScreenGrab::Choose &choose) {
  int number = 0;
  const std::unique_ptr<xcb_connection_t, Disconnect> c(xcb_connect(nullptr, &number));
  if (xcb_connection_has_error(c.get()) != 0) {
    return QStringLiteral("画面（X11 または Wayland のディスプレイ）に接続できません。");
  }
  const xcb_setup_t *setup = xcb_get_setup(c.get());
  auto screens = xcb_setup_roots_iterator(setup);
  for (int i = 0; i < number && screens.rem > 0; ++i) {
    xcb_screen_next(&screens);
  }
  const xcb_screen_t *screen = screens.data;
  ScreenPicture picture;
  picture.desktop = QSize(screen->width_in_pixels, screen->height_in_pixels);
  const QRect whole(QPoint(0, 0), picture.desktop);
  picture.area = choose ? choose(picture.desktop) & whole : whole;
  if (picture.area.isEmpty()) {
    return picture;
  }
  const QRect &a = picture.area;
  xcb_generic_error_t *error = nullptr;
  std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
      xcb_get_image_reply(c.get(),
                          xcb_get_image(c.get(), XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, std::int16_t(a.x()),
                                        std::int16_t(a.y()), std::uint16_t(a.width()), std::uint16_t(a.height()), ~0u),
                          &error),
      &std::free);
  if (!reply) {
    const int code = error != nullptr ? error->error_code : 0;
    std::free(error);
    return QStringLiteral("X サーバーが画面の画素を渡しませんでした（エラー %1）。").arg(code);
  }
  const qsizetype count = qsizetype(a.width()) * a.height();
  if (!IsRgb32(setup, screen, reply->depth) || xcb_get_image_data_length(reply.get()) < count * 4) {
    return QStringLiteral("画面の画素の形式（深さ %1）には対応していません。").arg(reply->depth);
  }
  // The pixels stay where the reply holds them. The server leaves their
  // unused byte 0; Qt's RGB32 has it 0xff.
  auto *pixels = reinterpret_cast<std::uint32_t *>(xcb_get_image_data(reply.get()));
  for (qsizetype i = 0; i < count; ++i) {
    pixels[i] |= 0xff000000u;
  }
  picture.pixels = QImage(reinterpret_cast<uchar *>(pixels), a.width(), a.height(), a.width() * 4, QImage::Format_RGB32,
                          &std::free, reply.release());
  return picture;
}

} // namespace orvelle
