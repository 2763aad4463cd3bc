#include "capture/screen/screen_grab.h"

#include "capture/picture/picture_pixels.h"
#include "capture/screen/portal_request.h"
#include "common/memory_budget.h"
#include "common/regular_file.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
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
// The portal may first ask the user (GNOME does before the first grab): a
// request from the window waits for that; one made without an active window
// (no one is there to be asked) gives up sooner.
constexpr int kAnswerMs = 120000;
constexpr int kUnattendedAnswerMs = 30000;
// The most a portal's picture file may hold.
constexpr qint64 kMaxPortalFileBytes = qint64(512) << 20;
// A Screenshot request, non interactive, with the window it is asked for
// (if any); one that the portal refuses for that window is asked once more
// without it.
class ScreenshotRequest : public QObject {
public:
  using Answer = std::function<void(const Expected<ScreenPicture> &)>;

  ScreenshotRequest(Answer answer, bool unattended, QString parent)
      : m_answer(std::move(answer)), m_unattended(unattended), m_parent(std::move(parent)) {}

  void Start() {
    auto *request = new PortalRequest(QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"),
                                      {m_parent, QVariantMap{{QStringLiteral("interactive"), false}}},
                                      m_unattended ? kUnattendedAnswerMs : kAnswerMs, this);
    connect(request, &PortalRequest::answered, this, &ScreenshotRequest::Answered);
    connect(request, &PortalRequest::failed, this, [this](const Problem &problem) {
      if (problem.kind == ProblemKind::PortalError && !m_parent.isEmpty()) {
        qWarning("orvelle: the desktop portal refused a screenshot for window %s (%s); asked again without it",
                 qPrintable(m_parent), qPrintable(problem.details.value(0)));
        m_parent.clear();
        Start();
        return;
      }
      m_answer(MakeProblem(ProblemKind::GrabFailed, {}, problem));
    });
    request->Start();
  }

private:
  void Answered(uint response, const QVariantMap &results) {
    if (response == 1) {
      m_answer(MakeProblem(ProblemKind::GrabCancelled));
    } else if (response != 0) {
      // Asked for without a window of the program's in front, a desktop may
      // refuse without asking the user at all.
      m_answer(MakeProblem(m_unattended ? ProblemKind::GrabRefusedUnattended : ProblemKind::GrabRefused));
    } else if (const QUrl uri(results.value(QStringLiteral("uri")).toString()); !uri.isLocalFile()) {
      m_answer(MakeProblem(ProblemKind::GrabNoFile));
    } else if (const Expected<QImage> picture = TakePortalFile(uri.toLocalFile()); !picture) {
      m_answer(picture.problem());
    } else {
      m_answer(ScreenPicture{picture->size(), picture->rect(), *picture});
    }
  }

  Answer m_answer;
  bool m_unattended;
  QString m_parent; // "x11:<window id>", or empty
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
    // Where the program's window is on an X server (XWayland) and shown, the
    // portal is told which window asks.
    QString parent;
    if (m_parent != nullptr && m_parent->isVisible() && QGuiApplication::platformName() == QLatin1String("xcb")) {
      parent = QStringLiteral("x11:%1").arg(m_parent->winId(), 0, 16);
    }
    auto portal = std::make_unique<ScreenshotRequest>(answer, m_unattended, parent);
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
