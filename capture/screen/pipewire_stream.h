#pragma once

#include "common/expected.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <functional>
#include <memory>

class QSocketNotifier;

struct pw_loop;
struct pw_context;
struct pw_core;
struct pw_stream;
struct pw_registry;
struct pw_buffer;

namespace orvelle {

// One video stream of a PipeWire node, taken in the caller's thread (its
// loop runs in the Qt event loop). Of each picture that comes, only the area
// `keep` names is converted and kept, and the buffer goes back to the
// producer at once (it may have no more than two). Pictures come when the
// screen changes; each has a sequence number one higher than the last.
class PipeWireStream : public QObject {
  Q_OBJECT

public:
  // The area of a picture of this size to keep; empty: the whole picture.
  using Keep = std::function<QRect(QSize size)>;

  explicit PipeWireStream(QObject *parent = nullptr);
  ~PipeWireStream() override;

  // Connects over the remote's descriptor (taken over) to the node; false,
  // and why, when PipeWire cannot be reached at all.
  Expected<void> Open(int remote, unsigned node);

  void setKeep(Keep keep) { m_keep = std::move(keep); }

  // Whether the producer streams: pictures come when the screen changes.
  bool streaming() const { return m_streaming && m_formatSize.isValid(); }
  quint64 sequence() const { return m_sequence; }
  // The latest picture's size in pixels (none before the first).
  QSize size() const { return m_size; }
  // An area of the latest picture as opaque RGB32; null where it was not kept.
  QImage Copy(const QRect &area) const;

signals:
  // A newer picture is held.
  void arrived();
  // The stream has ended or cannot go on: its producer went away, or the
  // connection broke. Comes once.
  void ended();

private:
  friend struct PipeWireEvents;
  Expected<void> Connect(int remote, unsigned node);
  void Process();
  void End();

  pw_loop *m_loop = nullptr;
  pw_context *m_context = nullptr;
  pw_core *m_core = nullptr;
  pw_stream *m_stream = nullptr;
  pw_registry *m_registry = nullptr; // tells when the producer's node goes
  unsigned m_node = 0;
  struct Listeners;
  std::unique_ptr<Listeners> m_listeners;
  std::unique_ptr<QSocketNotifier> m_notifier;
  Keep m_keep;
  QImage m_kept;        // the area kept of the latest picture
  QRect m_keptArea;     // where it lies in that picture
  QSize m_size;         // the latest picture's
  QSize m_formatSize;   // the negotiated
  quint32 m_format = 0; // spa_video_format
  bool m_streaming = false;
  bool m_ended = false;
  quint64 m_sequence = 0;
};

} // namespace orvelle
