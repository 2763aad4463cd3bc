#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class QSocketNotifier;
struct wl_display;

namespace orvelle {

// The clipboard of a Wayland desktop watched through the compositor's
// clipboard control protocol (ext-data-control-v1, or the wlroots one before
// it), whichever window has the focus: a connection of its own, apart from
// Qt's. Each new clipboard content that offers a picture is read, one at a
// time (a picture offered while one is read replaces any waiting before it),
// and told with the type and the bytes it was read as: PNG first, then the
// other image types in the order offered. A content that offers `ownFormat`
// is never read, nor is text. A picture whose bytes take more than 10
// seconds or 1 GB is passed over and told as unreadable; one that comes
// without a byte (its program gave it up first) is passed over silently.
class DataControlClipboard : public QObject {
  Q_OBJECT
public:
  // Nothing where the program does not run on Wayland, or its compositor
  // offers neither protocol (or no seat). The content on the clipboard at
  // the start is not told.
  static std::unique_ptr<DataControlClipboard> Open(const QString &ownFormat);
  // Whether the program runs on Wayland, where only that connection sees the
  // clipboard without the focus.
  static bool OnWayland();
  ~DataControlClipboard() override;

  static constexpr qint64 kMostBytes = qint64(1) << 30;
  static constexpr int kMostMs = 10000;

  struct Connection; // the Wayland objects

signals:
  void pictureOffered(const QString &type, const QByteArray &bytes);
  void unreadable();

private:
  explicit DataControlClipboard(std::unique_ptr<Connection> connection);
  void Dispatch();
  void ReadNext();
  void Readable();
  void Finish(bool whole);

  std::unique_ptr<Connection> m_connection;
  QSocketNotifier *m_events = nullptr;
  // The picture being read.
  int m_pipe = -1;
  QSocketNotifier *m_reading = nullptr;
  QString m_type;
  QByteArray m_bytes;
  QTimer m_tooLong;
};

} // namespace orvelle
