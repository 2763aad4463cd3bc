#include "capture/screen/pipewire_stream.h"

#include <QSocketNotifier>
#include <cstring>
#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/buffers.h>
#include <spa/param/video/format-utils.h>
#include <unistd.h>

namespace orvelle {

struct PipeWireStream::Listeners {
  spa_hook core{};
  spa_hook stream{};
  spa_hook registry{};
};

// The C library's callbacks, passed on to the stream.
struct PipeWireEvents {
  static void CoreError(void *data, uint32_t id, int, int, const char *message) {
    auto *self = static_cast<PipeWireStream *>(data);
    qWarning("orvelle: PipeWire: %s", message);
    if (id == PW_ID_CORE) {
      self->End(); // the connection itself broke
    }
  }

  static void StateChanged(void *data, pw_stream_state, pw_stream_state state, const char *error) {
    auto *self = static_cast<PipeWireStream *>(data);
    if (state == PW_STREAM_STATE_STREAMING) {
      self->m_streaming = true;
    } else if (state == PW_STREAM_STATE_ERROR) {
      qWarning("orvelle: PipeWire stream: %s", error != nullptr ? error : "error");
      self->End();
    } else if (state == PW_STREAM_STATE_UNCONNECTED && self->m_streaming) {
      self->End(); // the node went away
    }
  }

  static void ParamChanged(void *data, uint32_t id, const spa_pod *param) {
    auto *self = static_cast<PipeWireStream *>(data);
    if (param == nullptr || id != SPA_PARAM_Format) {
      return;
    }
    uint32_t mediaType = 0, mediaSubtype = 0;
    spa_video_info_raw info{};
    if (spa_format_parse(param, &mediaType, &mediaSubtype) < 0 || mediaType != SPA_MEDIA_TYPE_video ||
        mediaSubtype != SPA_MEDIA_SUBTYPE_raw || spa_format_video_raw_parse(param, &info) < 0) {
      return;
    }
    self->m_format = info.format;
    self->m_formatSize = QSize(int(info.size.width), int(info.size.height));
    // Buffers in memory the program can map (no GPU buffers), with a header
    // that tells a damaged picture.
    uint8_t room[512];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof(room));
    const spa_pod *params[2];
    params[0] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))));
    params[1] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
        SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header))));
    pw_stream_update_params(self->m_stream, params, 2);
  }

  static void Process(void *data) { static_cast<PipeWireStream *>(data)->Process(); }

  // The producer's node gone: the desktop has ended the cast (the stream
  // itself only pauses).
  static void GlobalRemoved(void *data, uint32_t id) {
    auto *self = static_cast<PipeWireStream *>(data);
    if (id == self->m_node) {
      self->End();
    }
  }
};

namespace {
const pw_core_events kCoreEvents = [] {
  pw_core_events events{};
  events.version = PW_VERSION_CORE_EVENTS;
  events.error = PipeWireEvents::CoreError;
  return events;
}();

const pw_registry_events kRegistryEvents = [] {
  pw_registry_events events{};
  events.version = PW_VERSION_REGISTRY_EVENTS;
  events.global_remove = PipeWireEvents::GlobalRemoved;
  return events;
}();

const pw_stream_events kStreamEvents = [] {
  pw_stream_events events{};
  events.version = PW_VERSION_STREAM_EVENTS;
  events.state_changed = PipeWireEvents::StateChanged;
  events.param_changed = PipeWireEvents::ParamChanged;
  events.process = PipeWireEvents::Process;
  return events;
}();

// The pixel layouts taken: four bytes a pixel, blue first (as RGB32 lies in
// memory) or red first.
bool RedFirst(quint32 format) { return format == SPA_VIDEO_FORMAT_RGBx || format == SPA_VIDEO_FORMAT_RGBA; }
} // namespace

PipeWireStream::PipeWireStream(QObject *parent) : QObject(parent), m_listeners(std::make_unique<Listeners>()) {}

PipeWireStream::~PipeWireStream() {
  m_notifier.reset();
  if (m_loop != nullptr) {
    pw_loop_enter(m_loop);
  }
  if (m_stream != nullptr) {
    pw_stream_destroy(m_stream);
  }
  if (m_registry != nullptr) {
    pw_proxy_destroy(reinterpret_cast<pw_proxy *>(m_registry));
  }
  if (m_core != nullptr) {
    pw_core_disconnect(m_core);
  }
  if (m_context != nullptr) {
    pw_context_destroy(m_context);
  }
  if (m_loop != nullptr) {
    pw_loop_leave(m_loop);
    pw_loop_destroy(m_loop);
  }
}

Expected<void> PipeWireStream::Open(int remote, unsigned node) {
  static const bool initialized = [] {
    pw_init(nullptr, nullptr);
    return true;
  }();
  (void)initialized;
  m_loop = pw_loop_new(nullptr);
  m_context = m_loop != nullptr ? pw_context_new(m_loop, nullptr, 0) : nullptr;
  if (m_context == nullptr) { // PipeWire's plugins missing, or no memory
    ::close(remote);
    return MakeProblem(ProblemKind::PortalError, {QStringLiteral("PipeWire"), {}});
  }
  // The loop is entered for each turn of it here, in this thread.
  pw_loop_enter(m_loop);
  const Expected<void> connected = Connect(remote, node);
  pw_loop_leave(m_loop);
  return connected;
}

Expected<void> PipeWireStream::Connect(int remote, unsigned node) {
  m_core = pw_context_connect_fd(m_context, remote, nullptr, 0);
  if (m_core == nullptr) {
    return MakeProblem(ProblemKind::PortalError, {QString::fromLocal8Bit(std::strerror(errno)), QString()});
  }
  pw_core_add_listener(m_core, &m_listeners->core, &kCoreEvents, this);
  m_node = node;
  m_registry = pw_core_get_registry(m_core, PW_VERSION_REGISTRY, 0);
  if (m_registry != nullptr) {
    pw_registry_add_listener(m_registry, &m_listeners->registry, &kRegistryEvents, this);
  }
  m_stream = pw_stream_new(m_core, "orvelle",
                           pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                                             PW_KEY_MEDIA_ROLE, "Screen", nullptr));
  if (m_stream == nullptr) {
    return MakeProblem(ProblemKind::PortalError, {QString::fromLocal8Bit(std::strerror(errno)), QString()});
  }
  pw_stream_add_listener(m_stream, &m_listeners->stream, &kStreamEvents, this);
  uint8_t room[1024];
  spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof(room));
  spa_rectangle size{1920, 1080}, least{1, 1}, most{16384, 16384};
  spa_fraction rate{0, 1}, slowest{0, 1}, fastest{1000, 1};
  const spa_pod *format = static_cast<const spa_pod *>(spa_pod_builder_add_object(
      &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
      SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
      SPA_POD_CHOICE_ENUM_Id(5, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                             SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA),
      SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &least, &most), SPA_FORMAT_VIDEO_framerate,
      SPA_POD_CHOICE_RANGE_Fraction(&rate, &slowest, &fastest)));
  if (pw_stream_connect(m_stream, PW_DIRECTION_INPUT, node,
                        pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS), &format, 1) < 0) {
    return MakeProblem(ProblemKind::PortalError, {QString::fromLocal8Bit(std::strerror(errno)), QString()});
  }
  m_notifier = std::make_unique<QSocketNotifier>(pw_loop_get_fd(m_loop), QSocketNotifier::Read);
  connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
    pw_loop_enter(m_loop);
    pw_loop_iterate(m_loop, 0);
    pw_loop_leave(m_loop);
  });
  pw_loop_iterate(m_loop, 0);
  return {};
}

void PipeWireStream::Process() {
  // Only the newest picture waiting is looked at; every buffer goes back.
  pw_buffer *newest = nullptr;
  while (pw_buffer *buffer = pw_stream_dequeue_buffer(m_stream)) {
    if (newest != nullptr) {
      pw_stream_queue_buffer(m_stream, newest);
    }
    newest = buffer;
  }
  if (newest == nullptr) {
    return;
  }
  const spa_buffer *buffer = newest->buffer;
  const auto *header =
      static_cast<const spa_meta_header *>(spa_buffer_find_meta_data(buffer, SPA_META_Header, sizeof(spa_meta_header)));
  const spa_data &data = buffer->datas[0];
  const QSize size = m_formatSize;
  const bool usable =
      buffer->n_datas > 0 && data.data != nullptr && data.chunk != nullptr &&
      (header == nullptr || (header->flags & SPA_META_HEADER_FLAG_CORRUPTED) == 0) && data.chunk->size > 0 &&
      size.isValid() && data.chunk->stride >= size.width() * 4 &&
      qint64(data.chunk->offset) + qint64(data.chunk->stride) * (size.height() - 1) + size.width() * 4 <=
          qint64(data.maxsize);
  if (usable) {
    const QRect whole(QPoint(0, 0), size);
    QRect area = m_keep ? m_keep(size) & whole : whole;
    if (area.isEmpty()) {
      area = whole;
    }
    const auto *first = static_cast<const uchar *>(data.data) + data.chunk->offset;
    const bool redFirst = RedFirst(m_format);
    QImage kept(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height() && !kept.isNull(); ++y) {
      const auto *from =
          reinterpret_cast<const quint32 *>(first + qsizetype(data.chunk->stride) * (area.y() + y)) + area.x();
      auto *to = reinterpret_cast<quint32 *>(kept.scanLine(y));
      for (int x = 0; x < area.width(); ++x) {
        const quint32 pixel = from[x];
        to[x] = 0xff000000u |
                (redFirst ? ((pixel & 0xff) << 16) | (pixel & 0xff00) | ((pixel >> 16) & 0xff) : (pixel & 0xffffff));
      }
    }
    m_kept = kept;
    m_keptArea = kept.isNull() ? QRect() : area;
    m_size = size;
  }
  pw_stream_queue_buffer(m_stream, newest);
  if (usable) {
    ++m_sequence;
    emit arrived();
  }
}

void PipeWireStream::End() {
  if (m_ended) {
    return;
  }
  m_ended = true;
  // Told from the event loop: the library is in the middle of a callback.
  QMetaObject::invokeMethod(this, &PipeWireStream::ended, Qt::QueuedConnection);
}

QImage PipeWireStream::Copy(const QRect &area) const {
  if (area.isEmpty() || !m_keptArea.contains(area)) {
    return {};
  }
  return m_kept.copy(area.translated(-m_keptArea.topLeft()));
}

} // namespace orvelle
