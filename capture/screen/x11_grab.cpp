// The X11 grab: the root window's pixels through xcb, of only the part needed.

#include "capture/screen/screen_grab.h"

#include <cstdlib>
#include <memory>
#include <tuple>
#include <variant>
#include <xcb/xcb.h>

namespace orvelle {

namespace {

struct Disconnect {
  void operator()(xcb_connection_t *c) const { xcb_disconnect(c); }
};

// The QImage format in which the server sends this depth's pixels: 32-bit
// words of 0xRRGGBB (depth 24), 16-bit words of 5-6-5 (depth 16, VNC and
// remote sessions) or 32-bit words of 10-10-10 (depth 30, deep colour); the
// row's bytes; Format_Invalid for any other.
struct ServerPixels {
  QImage::Format format = QImage::Format_Invalid;
  int bitsPerPixel = 0;
  int rowPad = 32; // a row's bits are a multiple of it
};

ServerPixels ServerFormat(const xcb_setup_t *setup, const xcb_screen_t *screen, std::uint8_t depth) {
  int bits = 0;
  int pad = 32;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
    if (f.data->depth == depth) {
      bits = f.data->bits_per_pixel;
      pad = f.data->scanline_pad;
    }
  }
  if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
    return {};
  }
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem > 0; xcb_depth_next(&d)) {
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
      if (v.data->visual_id != screen->root_visual) {
        continue;
      }
      const auto masks = std::make_tuple(v.data->red_mask, v.data->green_mask, v.data->blue_mask);
      if (bits == 32 && masks == std::make_tuple(0xff0000u, 0xff00u, 0xffu)) {
        return {QImage::Format_RGB32, 32, pad};
      }
      if (bits == 16 && masks == std::make_tuple(0xf800u, 0x7e0u, 0x1fu)) {
        return {QImage::Format_RGB16, 16, pad};
      }
      if (bits == 32 && masks == std::make_tuple(0x3ff00000u, 0xffc00u, 0x3ffu)) {
        return {QImage::Format_RGB30, 32, pad};
      }
      return {};
    }
  }
  return {};
}

} // namespace

Expected<ScreenPicture> GrabX11(const ScreenSource::Choose &choose) {
  int number = 0;
  const std::unique_ptr<xcb_connection_t, Disconnect> c(xcb_connect(nullptr, &number));
  if (xcb_connection_has_error(c.get()) != 0) {
    return MakeProblem(ProblemKind::GrabNoDisplay);
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
    return MakeProblem(ProblemKind::GrabX11Failed, {QString::number(code)});
  }
  const ServerPixels format = ServerFormat(setup, screen, reply->depth);
  const qsizetype rowBytes =
      (qsizetype(a.width()) * format.bitsPerPixel + format.rowPad - 1) / format.rowPad * format.rowPad / 8;
  if (format.format == QImage::Format_Invalid || xcb_get_image_data_length(reply.get()) < rowBytes * a.height()) {
    return MakeProblem(ProblemKind::GrabDepth, {QString::number(reply->depth)});
  }
  uchar *data = xcb_get_image_data(reply.get());
  if (format.format != QImage::Format_RGB32) {
    // Turned into RGB32 as Qt turns such pictures.
    picture.pixels = QImage(data, a.width(), a.height(), rowBytes, format.format).convertToFormat(QImage::Format_RGB32);
    return picture;
  }
  // The pixels stay where the reply holds them. The server leaves their
  // unused byte 0; Qt's RGB32 has it 0xff.
  auto *pixels = reinterpret_cast<std::uint32_t *>(data);
  const qsizetype count = rowBytes / 4 * a.height();
  for (qsizetype i = 0; i < count; ++i) {
    pixels[i] |= 0xff000000u;
  }
  picture.pixels = QImage(data, a.width(), a.height(), rowBytes, QImage::Format_RGB32, &std::free, reply.release());
  return picture;
}

} // namespace orvelle
