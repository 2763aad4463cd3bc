#include "capture/screen/screen_grab.h"

#include "capture/picture/picture_pixels.h"
#include "common/memory_budget.h"
#include "common/regular_file.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle {

namespace {
const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
// The portal may first ask the user (GNOME does before the first grab): a
// request from the window waits for that; one made without an active window
// (no one is there to be asked) gives up sooner.
constexpr int kAnswerMs = 120000;
constexpr int kUnattendedAnswerMs = 30000;
// The most a portal's picture file may hold.
constexpr qint64 kMaxPortalFileBytes = qint64(512) << 20;
// A Screenshot request to the desktop portal, answered by a Response signal
// on the request's own object.
class PortalRequest : public QObject {
  Q_OBJECT

public:
  using Answer = std::function<void(const Expected<ScreenPicture> &)>;

  PortalRequest(Answer answer, bool unattended) : m_answer(std::move(answer)), m_unattended(unattended) {
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this,
            [this] { Finish(MakeProblem(ProblemKind::GrabNoAnswer, {QString::number(m_timeout.interval() / 1000)})); });
  }

  void Start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
      QTimer::singleShot(0, this, [this] { Finish(MakeProblem(ProblemKind::GrabNoBus)); });
      return;
    }
    // The first call to the portal names the program, where the portal takes
    // names (xdg-desktop-portal 1.19 and later): a permission the user grants
    // once then holds for the window and orvelle-trim alike. Where it does
    // not, the answer is an error, and the grab is asked for all the same.
    static bool registered = false;
    if (!registered) {
      registered = true;
      QDBusMessage name = QDBusMessage::createMethodCall(kPortal, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                         QStringLiteral("org.freedesktop.host.portal.Registry"),
                                                         QStringLiteral("Register"));
      name << QStringLiteral("io.orvelle.Orvelle") << QVariantMap();
      auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(name, 5000), this);
      connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        Ask();
      });
      return;
    }
    Ask();
  }

  void Ask() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = QStringLiteral("orvelle%1").arg(QRandomGenerator::global()->generate());
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    // Listening before asking: the answer may come before the call returns.
    Listen(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token));
    QDBusMessage call = QDBusMessage::createMethodCall(kPortal, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                       QStringLiteral("org.freedesktop.portal.Screenshot"),
                                                       QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("interactive"), false}};
    const int patience = m_unattended ? kUnattendedAnswerMs : kAnswerMs;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, patience), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
      w->deleteLater();
      const QDBusPendingReply<QDBusObjectPath> reply = *w;
      if (reply.isError()) {
        Finish(MakeProblem(ProblemKind::GrabPortalError, {reply.error().message()}));
      } else if (reply.value().path() != m_request) {
        Listen(reply.value().path()); // an older portal chose its own path
      }
    });
    m_timeout.start(patience);
  }

public slots:
  void Response(uint response, const QVariantMap &results) {
    if (response == 1) {
      Finish(MakeProblem(ProblemKind::GrabCancelled));
      return;
    }
    if (response != 0) {
      // Asked for without a window of the program's in front, a desktop may
      // refuse without asking the user at all.
      Finish(MakeProblem(m_unattended ? ProblemKind::GrabRefusedUnattended : ProblemKind::GrabRefused));
      return;
    }
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile()) {
      Finish(MakeProblem(ProblemKind::GrabNoFile));
      return;
    }
    const Expected<QImage> picture = TakePortalFile(uri.toLocalFile());
    if (!picture) {
      Finish(picture.problem());
      return;
    }
    Finish(ScreenPicture{picture->size(), picture->rect(), *picture});
  }

private:
  void Listen(const QString &path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_request.isEmpty()) {
      bus.disconnect(kPortal, m_request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                     this, SLOT(Response(uint, QVariantMap)));
    }
    m_request = path;
    bus.connect(kPortal, m_request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"), this,
                SLOT(Response(uint, QVariantMap)));
  }

  void Finish(const Expected<ScreenPicture> &answer) {
    if (m_finished) {
      return;
    }
    m_finished = true;
    m_timeout.stop();
    m_answer(answer);
  }

  Answer m_answer;
  bool m_unattended;
  QString m_request;
  QTimer m_timeout;
  bool m_finished = false;
};

} // namespace

ScreenGrab::ScreenGrab(QObject *parent) : ScreenSource(parent) {}

ScreenGrab::~ScreenGrab() = default;

void ScreenGrab::Start(Choose choose) {
  const auto answer = [this, choose](const Expected<ScreenPicture> &grabbed) {
    if (grabbed) {
      Answer(*grabbed, choose);
    } else {
      emit failed(grabbed.problem());
    }
  };
  if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    auto portal = std::make_unique<PortalRequest>(answer, m_unattended);
    portal->Start();
    m_request = std::move(portal);
    return;
  }
  // Answered from the event loop, as the portal is.
  auto request = std::make_unique<QObject>();
  QTimer::singleShot(0, request.get(), [answer, grabbed = GrabX11(choose)] { answer(grabbed); });
  m_request = std::move(request);
}

void ScreenGrab::Cancel() { m_request.reset(); }

namespace {
// The portal file's bytes, from one descriptor opened without following a
// link and checked on that descriptor (a regular file of this user's, of at
// most 512 MB), so that nothing can be swapped in between; or why not. Too
// large a file is refused by its size, without reading it.
Expected<QByteArray> ReadPortalFile(const QString &path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
    if (fd >= 0) {
      ::close(fd);
    }
    return MakeProblem(ProblemKind::GrabFileNotOwn, {path});
  }
  const RegularFile file(fd, st.st_size);
  if (st.st_size > kMaxPortalFileBytes) {
    return MakeProblem(ProblemKind::GrabFileTooLarge,
                       {QString::number(st.st_size >> 20), QString::number(kMaxPortalFileBytes >> 20)});
  }
  QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return MakeProblem(ProblemKind::GrabFileUnreadable);
    }
    done += n;
  }
  return bytes;
}
} // namespace

Expected<QImage> TakePortalFile(const QString &path) {
  Expected<QByteArray> bytes = ReadPortalFile(path);
  // A full screenshot is not left in a folder that every user can read.
  const QString folder = QFileInfo(path).absolutePath();
  if (folder == QDir::tempPath() || folder == QLatin1String("/tmp") || folder == QLatin1String("/var/tmp")) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()) {
      unlink(QFile::encodeName(path).constData());
    }
  }
  if (!bytes) {
    return bytes.problem();
  }
  QBuffer buffer(&bytes.value());
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (PictureBytes(size.width(), size.height()) > kPictureBudgetBytes) {
    return MakeProblem(ProblemKind::GrabTooLarge, {QString::number(size.width()), QString::number(size.height())});
  }
  const QImage image = reader.read();
  if (image.isNull()) {
    return MakeProblem(ProblemKind::GrabUndecodable, {reader.errorString()});
  }
  return OpaquePicture(image);
}

} // namespace orvelle

#include "screen_grab.moc"
