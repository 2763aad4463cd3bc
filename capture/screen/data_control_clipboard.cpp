#include "capture/screen/data_control_clipboard.h"

#include "ext-data-control-v1-client.h"
#include "wlr-data-control-unstable-v1-client.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <new>
#include <unistd.h>
#include <utility>
#include <vector>
#include <wayland-client.h>

namespace orvelle {

namespace {

// The requests of one of the two protocols, which have the same shape.
struct Road {
  const wl_interface *manager;
  std::uint32_t version;
  wl_proxy *(*getDevice)(wl_proxy *manager, wl_seat *seat);
  void (*destroyManager)(wl_proxy *manager);
  void (*destroyDevice)(wl_proxy *device);
  void (*receive)(wl_proxy *offer, const char *type, int fd);
  void (*destroyOffer)(wl_proxy *offer);
};

template <typename T> T *As(wl_proxy *proxy) { return reinterpret_cast<T *>(proxy); }

const Road kExt = {&ext_data_control_manager_v1_interface,
                   1,
                   [](wl_proxy *m, wl_seat *seat) {
                     return reinterpret_cast<wl_proxy *>(
                         ext_data_control_manager_v1_get_data_device(As<ext_data_control_manager_v1>(m), seat));
                   },
                   [](wl_proxy *m) { ext_data_control_manager_v1_destroy(As<ext_data_control_manager_v1>(m)); },
                   [](wl_proxy *d) { ext_data_control_device_v1_destroy(As<ext_data_control_device_v1>(d)); },
                   [](wl_proxy *o, const char *type, int fd) {
                     ext_data_control_offer_v1_receive(As<ext_data_control_offer_v1>(o), type, fd);
                   },
                   [](wl_proxy *o) { ext_data_control_offer_v1_destroy(As<ext_data_control_offer_v1>(o)); }};

const Road kWlr = {&zwlr_data_control_manager_v1_interface,
                   2,
                   [](wl_proxy *m, wl_seat *seat) {
                     return reinterpret_cast<wl_proxy *>(
                         zwlr_data_control_manager_v1_get_data_device(As<zwlr_data_control_manager_v1>(m), seat));
                   },
                   [](wl_proxy *m) { zwlr_data_control_manager_v1_destroy(As<zwlr_data_control_manager_v1>(m)); },
                   [](wl_proxy *d) { zwlr_data_control_device_v1_destroy(As<zwlr_data_control_device_v1>(d)); },
                   [](wl_proxy *o, const char *type, int fd) {
                     zwlr_data_control_offer_v1_receive(As<zwlr_data_control_offer_v1>(o), type, fd);
                   },
                   [](wl_proxy *o) { zwlr_data_control_offer_v1_destroy(As<zwlr_data_control_offer_v1>(o)); }};

// The picture types in the order they are read in: PNG first, then the
// others in the order offered.
QString PictureType(const QStringList &types) {
  if (types.contains(QStringLiteral("image/png"))) {
    return QStringLiteral("image/png");
  }
  for (const QString &type : types) {
    if (type.startsWith(QLatin1String("image/"))) {
      return type;
    }
  }
  return {};
}

} // namespace

struct DataControlClipboard::Connection {
  wl_display *display = nullptr;
  wl_registry *registry = nullptr;
  wl_seat *seat = nullptr;
  wl_proxy *extManager = nullptr;
  wl_proxy *wlrManager = nullptr;
  const Road *road = nullptr;
  wl_proxy *device = nullptr;
  QString ownFormat;
  bool ready = false;                       // the content at the start has been passed over
  std::map<wl_proxy *, QStringList> offers; // every offer held, with its types
  wl_proxy *waiting = nullptr;              // the newest clipboard content not yet read

  ~Connection() {
    for (const auto &offer : offers) {
      road->destroyOffer(offer.first);
    }
    if (device != nullptr) {
      road->destroyDevice(device);
    }
    if (extManager != nullptr) {
      kExt.destroyManager(extManager);
    }
    if (wlrManager != nullptr) {
      kWlr.destroyManager(wlrManager);
    }
    if (seat != nullptr) {
      wl_seat_destroy(seat);
    }
    if (registry != nullptr) {
      wl_registry_destroy(registry);
    }
    wl_display_disconnect(display);
  }

  void Drop(wl_proxy *offer) {
    if (offer != nullptr && offers.erase(offer) > 0) {
      road->destroyOffer(offer);
    }
    if (waiting == offer) {
      waiting = nullptr;
    }
  }

  // The listeners: the same functions serve both protocols, whose events
  // carry the same arguments.
  static void Global(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                     std::uint32_t version) {
    auto *self = static_cast<Connection *>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat == nullptr) {
      self->seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, kExt.manager->name) == 0 && self->extManager == nullptr) {
      self->extManager = static_cast<wl_proxy *>(wl_registry_bind(registry, name, kExt.manager, kExt.version));
    } else if (std::strcmp(interface, kWlr.manager->name) == 0 && self->wlrManager == nullptr) {
      self->wlrManager =
          static_cast<wl_proxy *>(wl_registry_bind(registry, name, kWlr.manager, std::min(version, kWlr.version)));
    }
  }
  static void GlobalRemoved(void *, wl_registry *, std::uint32_t) {}

  static void OfferType(void *data, wl_proxy *offer, const char *type) {
    auto *self = static_cast<Connection *>(data);
    const auto held = self->offers.find(offer);
    if (held != self->offers.end()) {
      held->second << QString::fromUtf8(type);
    }
  }

  static void DataOffer(void *data, wl_proxy *, wl_proxy *offer) {
    auto *self = static_cast<Connection *>(data);
    self->offers[offer] = {};
    static void (*const kOfferEvents[])(void) = {reinterpret_cast<void (*)(void)>(&OfferType)};
    wl_proxy_add_listener(offer, const_cast<void (**)(void)>(kOfferEvents), self);
  }

  static void Selection(void *data, wl_proxy *, wl_proxy *offer) {
    auto *self = static_cast<Connection *>(data);
    // Every offer but this one is done with; a content not yet read gives way.
    std::vector<wl_proxy *> old;
    for (const auto &held : self->offers) {
      if (held.first != offer) {
        old.push_back(held.first);
      }
    }
    for (wl_proxy *o : old) {
      self->Drop(o);
    }
    self->waiting = self->ready ? offer : nullptr;
    if (!self->ready) {
      self->Drop(offer);
    }
  }

  static void Finished(void *data, wl_proxy *) {
    auto *self = static_cast<Connection *>(data);
    self->road->destroyDevice(self->device);
    self->device = nullptr;
  }

  static void PrimarySelection(void *data, wl_proxy *, wl_proxy *offer) {
    auto *self = static_cast<Connection *>(data);
    if (offer != nullptr && offer != self->waiting) {
      self->Drop(offer);
    }
  }
};

bool DataControlClipboard::OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

std::unique_ptr<DataControlClipboard> DataControlClipboard::Open(const QString &ownFormat) {
  if (!OnWayland()) {
    return nullptr;
  }
  auto connection = std::make_unique<Connection>();
  connection->ownFormat = ownFormat;
  connection->display = wl_display_connect(nullptr);
  if (connection->display == nullptr) {
    return nullptr;
  }
  connection->road = &kWlr; // until one is chosen, for the clean-up
  connection->registry = wl_display_get_registry(connection->display);
  static const wl_registry_listener kRegistry = {&Connection::Global, &Connection::GlobalRemoved};
  wl_registry_add_listener(connection->registry, &kRegistry, connection.get());
  if (wl_display_roundtrip(connection->display) < 0 || connection->seat == nullptr ||
      (connection->extManager == nullptr && connection->wlrManager == nullptr)) {
    return nullptr;
  }
  const bool ext = connection->extManager != nullptr;
  connection->road = ext ? &kExt : &kWlr;
  connection->device =
      connection->road->getDevice(ext ? connection->extManager : connection->wlrManager, connection->seat);
  static void (*const kDeviceEvents[])(void) = {reinterpret_cast<void (*)(void)>(&Connection::DataOffer),
                                                reinterpret_cast<void (*)(void)>(&Connection::Selection),
                                                reinterpret_cast<void (*)(void)>(&Connection::Finished),
                                                reinterpret_cast<void (*)(void)>(&Connection::PrimarySelection)};
  wl_proxy_add_listener(connection->device, const_cast<void (**)(void)>(kDeviceEvents), connection.get());
  // The content on the clipboard now comes at once, and is passed over.
  if (wl_display_roundtrip(connection->display) < 0 || connection->device == nullptr) {
    return nullptr;
  }
  connection->ready = true;
  return std::unique_ptr<DataControlClipboard>(new DataControlClipboard(std::move(connection)));
}

DataControlClipboard::DataControlClipboard(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection)) {
  m_events = new QSocketNotifier(wl_display_get_fd(m_connection->display), QSocketNotifier::Read, this);
  connect(m_events, &QSocketNotifier::activated, this, &DataControlClipboard::Dispatch);
  m_tooLong.setSingleShot(true);
  m_tooLong.setInterval(kMostMs);
  connect(&m_tooLong, &QTimer::timeout, this, [this] { Finish(false); });
}

DataControlClipboard::~DataControlClipboard() {
  if (m_pipe >= 0) {
    ::close(m_pipe);
  }
}

void DataControlClipboard::Dispatch() {
  if (wl_display_dispatch(m_connection->display) < 0) {
    m_events->setEnabled(false); // the compositor is gone: nothing more comes
    return;
  }
  ReadNext();
}

void DataControlClipboard::ReadNext() {
  Connection &c = *m_connection;
  if (m_pipe >= 0 || c.waiting == nullptr) {
    return;
  }
  wl_proxy *offer = std::exchange(c.waiting, nullptr);
  const QStringList types = c.offers[offer];
  const QString type = PictureType(types);
  int ends[2] = {-1, -1};
  if (types.contains(c.ownFormat) || type.isEmpty() || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    c.Drop(offer); // the program's own copy, or no picture, is never read
    wl_display_flush(c.display);
    return;
  }
  c.road->receive(offer, type.toUtf8().constData(), ends[1]);
  c.Drop(offer);
  wl_display_flush(c.display);
  ::close(ends[1]);
  m_pipe = ends[0];
  m_type = type;
  m_bytes.clear();
  m_reading = new QSocketNotifier(m_pipe, QSocketNotifier::Read, this);
  connect(m_reading, &QSocketNotifier::activated, this, &DataControlClipboard::Readable);
  m_tooLong.start();
}

void DataControlClipboard::Readable() {
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(m_pipe, chunk, sizeof chunk);
    if (n > 0) {
      if (m_bytes.size() + n > kMostBytes) {
        Finish(false);
        return;
      }
      try {
        m_bytes.append(chunk, n);
      } catch (const std::bad_alloc &) {
        Finish(false); // no room for it: passed over like a picture too large
        return;
      }
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return; // more to come
    }
    Finish(n == 0);
    return;
  }
}

void DataControlClipboard::Finish(bool whole) {
  m_tooLong.stop();
  delete m_reading;
  m_reading = nullptr;
  ::close(std::exchange(m_pipe, -1));
  const QByteArray bytes = std::exchange(m_bytes, {});
  if (!whole) {
    emit unreadable();
  } else if (!bytes.isEmpty()) { // nothing: its program gave it up before it came
    emit pictureOffered(m_type, bytes);
  }
  ReadNext();
}

} // namespace orvelle
