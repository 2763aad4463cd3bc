// Drives the real program in a real X server, as a user would, with the X
// clipboard (xclip), the mouse and keys (xdotool) and screenshots: one whole
// use, from capture to saving and loading the frame in a second start. Leaves
// the screenshots and files in the output folder; ends with "N passed, M failed".

#include "tests/e2e/drive_support.h"

using namespace drive;

namespace {

// At a display scale, through real pointer events: a press on the screen
// pixel that shows a capture pixel and a release 200 x 150 pixels further
// store exactly that frame, for a row of neighbouring pixels (every place of
// a pixel in the scale's grid), and the trim then covers its frame with no
// seam: the pixels around it still show the capture, and the frame line below.
void DriveAtScale(const QString &program, const QString &folder, const QImage &sample, const QString &scale) {
  Session s(program, folder, scale);
  sample.save(folder + QStringLiteral("/capture.png"));
  const bool shown = s.capture(sample, folder + QStringLiteral("/capture.png"));
  Check(shown, qPrintable("capture shown pixel for pixel at scale " + scale));
  const QPoint origin = s.canvas(QPoint(0, 0));
  QPoint from;
  bool exact = shown;
  for (int i = 0; i < 8 && exact; ++i) {
    from = QPoint(100 + i, 50 + i);
    Xdo("mousemove " + At(origin + from) + " mousedown 1 mousemove " + At(origin + from + QPoint(100, 60)) +
        " mousemove " + At(origin + from + QPoint(200, 150)) + " mouseup 1");
    s.key(QStringLiteral("ctrl+s"));
    const QString stored = QStringLiteral("PicStartX=%1\nPicStartY=%2\nPicWidth=200\nPicHeight=150\n");
    exact =
        WaitFor([&] { return ReadFile(folder + "/trim.ini").contains(stored.arg(from.x()).arg(from.y()).toUtf8()); });
  }
  Check(exact, qPrintable("the frame stored is the one pressed, on each pixel of a row, at scale " + scale));
  if (scale == "1" || scale == "1.5") {
    // The magnifier, turned on at scale 1 and remembered: during a held drag
    // its blocks' middles show the capture's pixels around the pointer,
    // beside it; after the release it is gone and the frame the same.
    if (scale == "1") {
      s.key(QStringLiteral("alt"));
      Xdo(QStringLiteral("key Right Right Down Down Return")); // 設定(S), its second entry
    }
    const QPoint held = from + QPoint(100, 60), loupe = origin + held + QPoint(16, 16);
    Xdo("mousemove " + At(origin + from) + " mousedown 1 mousemove " + At(origin + held));
    bool blocks = WaitFor([&] {
      const QImage screen = Screen();
      bool all = true;
      for (int j = 0; j < 15; ++j) {
        for (int i = 0; i < 15; ++i) {
          all = all && screen.pixel(loupe + QPoint(i * 8 + 4, j * 8 + 4)) == sample.pixel(held + QPoint(i - 7, j - 7));
        }
      }
      return all;
    });
    Xdo("mousemove " + At(origin + from + QPoint(200, 150)) + " mouseup 1");
    const QRect under(held + QPoint(16, 16), QSize(84, 74)); // inside the frame, where the magnifier was
    blocks = blocks && WaitFor([&] { return Screen().copy(under.translated(origin)) == sample.copy(under); });
    s.key(QStringLiteral("ctrl+s"));
    Check(blocks && WaitFor([&] {
            return ReadFile(folder + "/trim.ini")
                .contains(QStringLiteral("PicStartX=%1\nPicStartY=%2\nPicWidth=200\nPicHeight=150\n")
                              .arg(from.x())
                              .arg(from.y())
                              .toUtf8());
          }),
          qPrintable("the magnifier shows the pixels around the pointer and goes, the frame kept, at scale " + scale));
  }
  s.key(QStringLiteral("Tab Tab Tab space")); // the trim button, three Tab stops after the canvas
  const QRect around = QRect(from, QSize(200, 150)).adjusted(-1, -1, 0, 0);
  QImage line(200, 1, QImage::Format_RGB32);
  line.fill(Qt::black);
  Check(WaitFor([&] {
          const QImage screen = Screen();
          return screen.copy(around.translated(origin)) == sample.copy(around) &&
                 screen.copy(QRect(origin + from + QPoint(0, 150), line.size())) == line;
        }),
        qPrintable("the trim covers its frame without a seam at scale " + scale));
  Check(s.quit(), "Ctrl+Q ends the program");
}

// A full-screen window of the driver showing a picture: the desktop under the program.
// 停止 brings the window back; Ctrl+C ends the command after whole files.
void DriveInterval(const QString &program, const QString &trim, const QString &folder, const QString &pictures,
                   Backdrop &backdrop, const QImage &desktop) {
  const QRect frame(200, 150, 600, 400);
  const QImage last = desktop.mirrored(false, true);
  QImage outside = desktop.copy();
  outside.fill(Qt::white); // the picture around the frame changes, the frame's area not
  QPainter(&outside).drawImage(frame.topLeft(), last.copy(frame));
  const QList<QImage> shown = {desktop, desktop.mirrored(true, false), last, outside};
  // Each picture new in the frame is shown until its file is there; one
  // unchanged in the frame, for a few ticks, which must save nothing.
  const auto show = [&](const QString &name, const QList<QImage> &series) {
    const auto files = [&] { return QDir(pictures).entryList({name + QStringLiteral("-*.jpg")}).size(); };
    QImage before;
    for (const QImage &picture : series) {
      const qsizetype had = files();
      backdrop.setPicture(picture);
      if (picture.copy(frame) != before.copy(frame)) {
        WaitFor([&] { return files() > had; }, 10000);
      } else {
        Pause(2500);
      }
      before = picture;
    }
  };
  {
    Session s(program, folder);
    s.key(QStringLiteral("ctrl+l Tab Tab Tab Tab Tab Tab Tab Tab Tab")); // the file-name box, nine Tab stops on
    Xdo("windowfocus --sync " + s.window() + " type --delay 30 tick");
    s.key(QStringLiteral("alt"));
    Xdo(QStringLiteral("key Right Right Right Down Up Return")); // the fourth menu's last entry
    Xdo("windowfocus --sync " + s.dialog() + " type 1");
    Xdo(QStringLiteral("key Return"));
    show(QStringLiteral("tick"), {shown[0], shown[1], shown[2], shown[2], shown[3]});
    Xdo("windowfocus --sync " + s.onlyWindow() + " key space");
    Check(WaitFor([&] { return !Xdo("search --onlyvisible --name ^Orvelle$").isEmpty(); }) &&
              Series(pictures, QStringLiteral("tick"), shown, frame) == QList<int>({0, 1, 2}),
          "the interval from the menu saves each change in the frame once, and 停止 brings the window back");
    Check(ReadFile(folder + "/trim.ini").contains("[View]\r\nInterval=1") ||
              ReadFile(folder + "/trim.ini").contains("[View]\nInterval=1"),
          "the interval's seconds are remembered");
    Check(s.quit(), "the program ends cleanly after the interval");
  }
  QProcess every;
  every.start(trim, {QStringLiteral("--screen"), QStringLiteral("--every"), QStringLiteral("1"),
                     QStringLiteral("--name"), QStringLiteral("every"), QStringLiteral("--settings"),
                     folder + QStringLiteral("/trim.ini"), QStringLiteral("--quality"), QStringLiteral("100")});
  Pause(500);
  show(QStringLiteral("every"), {shown[0], shown[1]});
  every.terminate(); // SIGTERM, as Ctrl+C's SIGINT
  every.waitForFinished(10000);
  Check(every.exitStatus() == QProcess::NormalExit && every.exitCode() == 0 &&
            Series(pictures, QStringLiteral("every"), shown, frame) == QList<int>({2, 0, 1}) &&
            QDir(pictures).entryList({QStringLiteral(".orvelle-*")}, QDir::Hidden | QDir::Files).isEmpty(),
        "orvelle-trim --every 1 saves each change once and ends on a signal after whole files, with 0");
}

// The screen grab: from the menu and with Ctrl+G at once after it, the canvas
// shows the desktop pixel for pixel without the program's own window; then
// orvelle-trim --screen saves the framed area, two at once each their own file.
void DriveScreenGrab(const QString &program, const QString &trim, const QString &folder, const QString &pictures,
                     const QImage &sample) {
  const QSize size = QGuiApplication::primaryScreen()->geometry().size();
  const QImage desktop = sample.scaled(size), other = desktop.mirrored(true, true);
  Backdrop backdrop(desktop);
  Check(WaitFor([&] { return Screen() == desktop; }), "the backdrop shows the known picture");
  const QString ini = folder + QStringLiteral("/trim.ini");
  {
    Session s(program, folder);
    s.key(QStringLiteral("alt"));
    Xdo(QStringLiteral("key Right Right Right Down Up Up Return")); // the fourth menu's entry above its last
    const auto canvasShows = [&](const QImage &picture) {
      return WaitFor([&] {
        const QImage screen = Screen();
        for (int y = 30; y < 200; ++y) { // below the program's menus and strip
          if (screen.copy(QRect(QPoint(0, y), QSize(800, 600))) == picture.copy(QRect(0, 0, 800, 600))) {
            return true;
          }
        }
        return false;
      });
    };
    Check(canvasShows(desktop), "画面キャプチャー puts the desktop into the canvas without the program's window");
    backdrop.setPicture(other);
    s.key(QStringLiteral("ctrl+g"));
    Check(canvasShows(other), "Ctrl+G right after it grabs the desktop again");
    Screen().save(folder + "/../screen-grabbed.png");
    Check(s.quit(), "the program ends cleanly after the grabs");
  }
  Check(WaitFor([&] { return Screen() == other; }), "the desktop shows again when the program has ended");
  orvelle::testing::WriteFile(ini,
                              "[File]\nF_Path=" + QFile::encodeName(pictures) +
                                  "\n[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=600\nPicHeight=400\n"
                                  "NewPicStartX=0\nNewPicStartY=0\nNewPicWidth=600\nNewPicHeight=400\nPicRatio=0\n");
  const QStringList args = {QStringLiteral("--screen"), QStringLiteral("--settings"), ini, QStringLiteral("--quality"),
                            QStringLiteral("100")};
  QList<QProcess *> runs;
  for (int i = 0; i < 3; ++i) {
    runs << new QProcess;
    runs.back()->start(trim, args);
    if (i == 0) {
      runs.back()->waitForFinished(30000); // one alone, then two at once
    }
  }
  QStringList saved;
  for (QProcess *run : runs) {
    run->waitForFinished(30000);
    saved << QString::fromLocal8Bit(run->readAllStandardOutput()).trimmed();
    Check(run->exitCode() == 0, "orvelle-trim --screen ends with 0");
    delete run;
  }
  const QRect frame(200, 150, 600, 400);
  const double difference = MeanDifference(QImage(saved[0]), other.copy(frame));
  Check(saved[0] == pictures + "/screen-001.jpg" && difference < 2.5 &&
            MeanDifference(QImage(saved[0]), other.copy(frame.translated(30, 30))) > 3 * difference,
        "orvelle-trim --screen saves the framed area of the desktop as screen-001.jpg");
  Check(QSet<QString>(saved.begin(), saved.end()).size() == 3 && QImage(saved[1]) == QImage(saved[0]) &&
            QImage(saved[2]) == QImage(saved[0]),
        "two at once save two numbered files of their own");
  DriveInterval(program, trim, folder, pictures, backdrop, other);
}

// On a screen of another depth (16: VNC and remote sessions; 30: deep
// colour): orvelle-trim --screen saves the framed area exactly as Qt turns
// the screen's pixels into 24-bit colour.
void DriveDepth(const QString &trim, const QString &folder, const QString &pictures, const QImage &sample) {
  const QImage picture = sample.scaled(QGuiApplication::primaryScreen()->geometry().size());
  Backdrop backdrop(picture);
  const QRect frame(200, 150, 600, 400);
  // At this depth the screen shows the picture's colours rounded.
  Check(WaitFor([&] { return MeanDifference(Screen().copy(frame), picture.copy(frame)) < 8; }),
        "the backdrop is on the screen");
  orvelle::testing::WriteFile(folder + "/trim.ini",
                              "[File]\nF_Path=" + QFile::encodeName(pictures) +
                                  "\n[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=600\nPicHeight=400\n"
                                  "NewPicStartX=0\nNewPicStartY=0\nNewPicWidth=600\nNewPicHeight=400\nPicRatio=0\n");
  QProcess run;
  run.start(trim, {"--screen", "--format", "png", "--settings", folder + "/trim.ini"});
  const bool ended = run.waitForFinished(30000) && run.exitCode() == 0;
  const QImage saved = QImage(QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed());
  Check(ended && saved.convertToFormat(QImage::Format_RGB32) == Screen().copy(frame),
        qPrintable(QStringLiteral("orvelle-trim --screen at depth %1 saves the framed area exactly")
                       .arg(QGuiApplication::primaryScreen()->depth())));
}

// Under a window manager (openbox) at scales 1 and 2: the interval's small
// window lies wholly on the screen, its frame and title bar included, in the
// corner away from the frame (here the lower right, where the title bar was
// forgotten before), and 停止 brings the main window back.
void DrivePlacement(const QString &program, const QString &folder, const QString &pictures) {
  QProcess manager;
  manager.start(QStringLiteral("openbox"), {});
  Check(manager.waitForStarted() && WaitFor([] {
          QProcess p;
          p.start(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
          p.waitForFinished();
          return p.readAllStandardOutput().contains("window id");
        }),
        "the window manager runs");
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  for (const char *scale : {"1", "2"}) {
    orvelle::testing::WriteFile(folder + "/trim.ini",
                                "[File]\nF_Path=" + QFile::encodeName(pictures) +
                                    "\n[Data]\nPicStartX=20\nPicStartY=20\nPicWidth=100\nPicHeight=80\n"
                                    "NewPicStartX=0\nNewPicStartY=0\nNewPicWidth=100\nNewPicHeight=80\nPicRatio=0\n");
    Session s(program, folder, QString::fromLatin1(scale));
    // Ctrl+L loads the frame; nine Tab stops after the canvas lies the file-name box.
    s.key(QStringLiteral("ctrl+l Tab Tab Tab Tab Tab Tab Tab Tab Tab"));
    Xdo("windowfocus --sync " + s.window() + " type --delay 30 placed");
    s.key(QStringLiteral("alt"));
    Xdo(QStringLiteral("key Right Right Right Down Up Return")); // 定期トリム..., the fourth menu's last entry
    Xdo("windowfocus --sync " + s.dialog() + " key Return");
    const QString interval = s.onlyWindow();
    QMap<QString, int> at;
    WaitFor([&] {
      QProcess info;
      info.start(QStringLiteral("xwininfo"), {"-frame", "-id", interval});
      info.waitForFinished();
      for (const QString &line : QString::fromLocal8Bit(info.readAllStandardOutput()).split('\n')) {
        at[line.section(':', 0, 0).trimmed()] = line.section(':', 1).trimmed().toInt();
      }
      return at["Absolute upper-left X"] > screen.width() / 2; // placed in its corner
    });
    const QRect whole(at["Absolute upper-left X"], at["Absolute upper-left Y"], at["Width"], at["Height"]);
    std::printf("the interval's window with its frame: %d,%d %dx%d\n", whole.x(), whole.y(), whole.width(),
                whole.height());
    Check(whole.height() > 20 && QRect(QPoint(0, 0), screen).contains(whole) && whole.bottom() > screen.height() - 40,
          qPrintable(QStringLiteral("the interval's window lies wholly on the screen, at scale %1").arg(scale)));
    Screen().save(folder + QStringLiteral("/../placed-%1.png").arg(scale));
    Xdo("windowfocus --sync " + interval + " key space"); // 停止
    Check(WaitFor([&] { return Xdo("search --onlyvisible --name ^Orvelle$").contains(s.window()); }),
          "停止 brings the main window back");
    Check(s.quit(), "the program ends cleanly after the interval");
  }
  manager.terminate();
  manager.waitForFinished();
}

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  const bool installedMode = argc == 5 && QByteArray(argv[1]) == "--installed";
  const bool scaledMode = argc == 5 && QByteArray(argv[1]) == "--scaled";
  const bool screenMode = argc == 5 && QByteArray(argv[1]) == "--screen";
  const bool placementMode = argc == 5 && QByteArray(argv[1]) == "--placement";
  const bool depthMode = argc == 5 && QByteArray(argv[1]) == "--depth";
  const bool keyMode = argc == 5 && QByteArray(argv[1]) == "--key";
  if (argc != (installedMode || scaledMode || screenMode || placementMode || depthMode || keyMode ? 5 : 4)) {
    std::fprintf(
        stderr, "usage: orvelle_drive [--installed|--scaled|--screen|--placement|--depth|--key] <orvelle> <screen.png> "
                "<output>\n");
    return 2;
  }
  const QStringList args = QCoreApplication::arguments().mid(argc == 5 ? 2 : 1);
  const QDir out(QFileInfo(args[2]).absoluteFilePath());
  const QImage sample = QImage(args[1]).convertToFormat(QImage::Format_RGB32);
  // The program's folder for trim.ini and the bitmaps, with the save folder
  // already chosen: beside a copy of the program and its library, or for the
  // installed program in the configuration folder.
  const QString programFolder = out.filePath(installedMode ? "config/Orvelle/Orvelle" : "program");
  const QString pictures = out.filePath(QStringLiteral("pictures"));
  const QString installed = installedMode ? args[0] : programFolder + QStringLiteral("/orvelle");
  QDir(programFolder).removeRecursively();
  QDir(pictures).removeRecursively();
  QDir().mkpath(programFolder);
  QDir().mkpath(pictures);
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(out.filePath(QStringLiteral("config"))));
  qputenv("XDG_CACHE_HOME", QFile::encodeName(out.filePath(QStringLiteral("cache"))));
  if (!installedMode && (!QFile::copy(args[0], installed) ||
                         !QFile::copy(QFileInfo(args[0]).absolutePath() + QStringLiteral("/libSaveJPG.so"),
                                      programFolder + QStringLiteral("/libSaveJPG.so")))) {
    return 2;
  }
  const QString ini = programFolder + QStringLiteral("/trim.ini");
  orvelle::testing::WriteFile(ini, "[File]\nF_Path=" + QFile::encodeName(pictures) + "\n");
  if (screenMode) {
    DriveScreenGrab(installed, QFileInfo(args[0]).absolutePath() + "/orvelle-trim", programFolder, pictures, sample);
  }
  if (scaledMode) {
    for (const char *scale : {"1", "1.25", "1.5", "1.75", "2"}) {
      DriveAtScale(installed, programFolder, sample.copy(0, 0, 640, 400), QString::fromLatin1(scale));
    }
  }
  if (placementMode) {
    DrivePlacement(installed, programFolder, pictures);
  }
  if (depthMode) {
    DriveDepth(QFileInfo(args[0]).absolutePath() + "/orvelle-trim", programFolder, pictures, sample);
  }
  if (keyMode) {
    DriveKey(installed, programFolder, pictures, sample);
  }
  if (scaledMode || screenMode || placementMode || depthMode || keyMode) {
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
  }
  const QImage second = sample.mirrored(true, true);
  second.save(out.filePath(QStringLiteral("second-screen.png")));

  const QRect frame(100, 80, 300, 220);
  {
    Session s(installed, programFolder);
    Screen().save(out.filePath(QStringLiteral("1-started.png")));
    Check(s.capture(sample, args[1]), "capture shows the clipboard image pixel for pixel");
    s.drag(frame.topLeft(), frame.topLeft() + QPoint(frame.width(), frame.height()));
    Screen().save(out.filePath(QStringLiteral("2-frame.png")));
    s.command(4);
    Check(s.shows(sample, frame), "the trim shows the frame's area over it, without frame lines");
    Screen().save(out.filePath(QStringLiteral("3-trimmed.png")));
    s.click(QPoint(776 + 25, 4 + 10)); // the file-name box
    Xdo("windowfocus --sync " + s.window() + " type --delay 30 shot");
    // Ctrl+E, which a text box takes for "end of line", opens the folder dialog, seen by
    // the focus it takes (xdotool cannot match its Japanese title in every locale); cancelled.
    s.key(QStringLiteral("ctrl+e"));
    QString folderDialog;
    Check(WaitFor([&] { return (folderDialog = Xdo("getwindowfocus")) != s.window(); }),
          "Ctrl+E in the file-name box asks for the save folder");
    Xdo("windowfocus --sync " + folderDialog + " key Escape");
    Xdo("windowfocus --sync " + FindWindow(QStringLiteral("Pemrose")) + " key Return");
    s.click(QPoint(884 + 50, 4 + 10)); // the quality slider, then to its end
    s.key(QStringLiteral("End"));
    s.command(5);
    s.command(6);
    // Quality 100: within JPEG's tolerance of the picture, far from any other.
    const auto differs = [&](const char *name, const QImage &expected) {
      WaitFor([&] { return QFile::exists(pictures + name); });
      return MeanDifference(QImage(pictures + name), expected);
    };
    const double trimmedDiff = differs("/shot.jpg", sample.copy(frame));
    Check(trimmedDiff < 2.5 && differs("/shot.jpg", sample.copy(frame.translated(40, 40))) > 3 * trimmedDiff,
          "shot.jpg holds the trimmed area");
    Check(differs("/shot-org.jpg", sample) < 2.5, "shot-org.jpg holds the whole capture");
    Screen().save(out.filePath(QStringLiteral("orvelle-window.png")));
    s.key(QStringLiteral("ctrl+s"));
    Check(WaitFor([&] { return ReadFile(ini).contains("PicStartX=100\nPicStartY=80\nPicWidth=300\nPicHeight=220\n"); }),
          "Ctrl+S stores the frame");
    const QByteArray saved = ReadFile(ini);
    Check(s.quit() && ReadFile(ini) == saved, "Ctrl+Q ends the program and writes nothing to trim.ini");
  }
  {
    Session s(installed, programFolder);
    Check(s.capture(second, out.filePath(QStringLiteral("second-screen.png"))), "the program starts again");
    s.key(QStringLiteral("ctrl+l"));
    s.command(4);
    Check(s.shows(second, frame), "after Ctrl+L the same area is cut out of a new capture");
    Screen().save(out.filePath(QStringLiteral("4-loaded-and-trimmed.png")));
    // Continuous trimming (Alt, the fourth menu, its third entry from the end) as "cont": a
    // picture that cannot be read saves nothing, one offered again is saved
    // once, and of a burst each file saved is another picture, the last among them.
    s.click(QPoint(776 + 25, 4 + 10));
    Xdo("windowfocus --sync " + s.window() + " type --delay 30 cont");
    s.key(QStringLiteral("alt"));
    Xdo(QStringLiteral("key Right Right Right Down Up Up Up Return"));
    const QList<QImage> burst = {sample, sample.mirrored(true, false), sample.mirrored(false, true), second};
    orvelle::testing::WriteFile(out.filePath(QStringLiteral("burst-x.png")), "not a picture");
    bool written = true;
    for (const QString i : {"x", "0", "0", "1", "2", "3"}) { // the first picture twice, the rest in a burst
      const QString png = out.filePath(QStringLiteral("burst-%1.png").arg(i));
      written = (i == "x" || burst[i.toInt()].save(png)) && written;
      PutOnClipboard(png, i.toInt() > 0 ? 40 : 600);
    }
    QList<int> shown; // which picture of the burst each file holds (-1: one held before)
    const auto saved = [&] {
      shown.clear();
      for (const QString &name : QDir(pictures).entryList({QStringLiteral("cont-*.jpg")})) {
        QList<double> differences;
        for (const QImage &picture : burst) {
          differences << MeanDifference(QImage(pictures + '/' + name), picture.copy(frame));
        }
        const int best = int(std::min_element(differences.begin(), differences.end()) - differences.begin());
        shown << (shown.contains(best) ? -1 : best);
      }
      return shown.contains(int(burst.size()) - 1); // the burst's last is there
    };
    WaitFor(saved, 10000);
    Check(written && shown.contains(0) && shown.contains(int(burst.size()) - 1) && !shown.contains(-1),
          "continuous trimming saves each picture once, none for an unreadable one, a burst's last too");
    // Ctrl+C on the canvas (two Tab stops after the file-name box) while
    // continuous trimming is on: the trimmed picture is pasteable, no file is added.
    const int files = int(QDir(pictures).entryList({QStringLiteral("cont-*.jpg")}).size());
    s.key(QStringLiteral("Tab Tab ctrl+c"));
    Check(WaitFor([&] { return Pasted() == burst.back().copy(frame); }) &&
              QDir(pictures).entryList({QStringLiteral("cont-*.jpg")}).size() == files,
          "Ctrl+C puts the trimmed picture on the clipboard, and continuous trimming passes it over");
    s.key(QStringLiteral("alt"));
    Xdo(QStringLiteral("key Right Right Right Down Up Up Up Return")); // continuous trimming off
    // A frame typed on a capture larger than the window: stored, scrolled to, trimmed exactly.
    const QImage large = sample.scaled(2000, 1400);
    large.save(out.filePath(QStringLiteral("large.png")));
    Check(s.capture(large, out.filePath(QStringLiteral("large.png")), QRect(0, 320, 900, 280)), // below the frame
          "a capture larger than the window is shown");
    // Ctrl+F, the numbers typed box after box, Return, Ctrl+S: whether trim.ini then holds the frame.
    const auto typedAndStored = [&](const QStringList &numbers, const QByteArray &stored) {
      s.key(QStringLiteral("ctrl+f"));
      Xdo("windowfocus --sync " + s.dialog() + " type " + numbers.first());
      for (const QString &number : numbers.mid(1)) {
        Xdo("key Tab type " + number);
      }
      Xdo(QStringLiteral("key Return"));
      s.key(QStringLiteral("ctrl+s"));
      return WaitFor([&] { return ReadFile(ini).contains(stored); });
    };
    Check(typedAndStored({"1300", "900", "500", "300"}, "PicStartX=1300\nPicStartY=900\nPicWidth=500\nPicHeight=300\n"),
          "Ctrl+F sets the typed frame, and Ctrl+S stores its numbers");
    s.command(4);
    s.key(QStringLiteral("ctrl+c"));
    Check(WaitFor([&] { return Pasted() == large.copy(1300, 900, 500, 300); }),
          "the typed frame trims exactly its area, copied pixel for pixel");
    // With the ratio 0.5 in its box, the typed width binds the height.
    s.click(QPoint(412 + 15, 4 + 9));
    Xdo(QStringLiteral("key ctrl+a type 0.5"));
    Check(typedAndStored({"100", "120", "401"}, "PicStartX=100\nPicStartY=120\nPicWidth=401\nPicHeight=200\n"),
          "with a ratio the typed width gives the height (half to even)");
    Check(s.quit(), "the second start ends cleanly too");
  }
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
