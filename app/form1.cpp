#include "app/form1.h"

#include "app/client_area.h"
#include "app/library_placement.h"
#include "app/separator_line.h"
#include "capture/acquire.h"
#include "capture/canvas_area.h"
#include "capture/picture_box.h"
#include "capture/trim.h"
#include "common/device_grid.h"
#include "common/message_box.h"
#include "common/numbers.h"
#include "common/units.h"
#include "export/jpeg_export.h"
#include "export/jpeg_library.h"
#include "export/save_folder.h"
#include "resources/pictures.h"
#include "settings/settings_file.h"
#include "settings/trim_info.h"
#include "sysinfo/form2.h"
#include "sysinfo/os_name.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>

namespace orvelle {

Form1::Form1(Form1Environment environment, QWidget *parent) : QMainWindow(parent), m_env(std::move(environment)) {
  InitOrvellePictures();
  setObjectName(QStringLiteral("Form1"));
  setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
  CreateControls();
  CreateMenus();
  SetTabOrder();
  resize(1063, 525 + menuBar()->sizeHint().height());

  m_editor =
      std::make_unique<FrameEditor>(m_state.frame, *Picture1, *Text1, FrameReadouts{Label6, Label7, Label8, Label9},
                                    [this] { return frameColour(); });
  connect(Picture1, &PictureBox::mouseDown, this,
          [this](int b, int, float x, float y) { m_editor->MouseDown(b, x, y); });
  connect(Picture1, &PictureBox::mouseMove, this,
          [this](int b, int, float x, float y) { m_editor->MouseMove(b, x, y); });
  connect(Picture1, &PictureBox::mouseUp, this, [this](int b, int, float x, float y) { m_editor->MouseUp(b, x, y); });
  connect(Picture1, &PictureBox::keyDown, this, &Form1::CanvasKeyDown);

  const std::array<void (Form1::*)(), 6> clicks = {&Form1::Command1_Click, &Form1::Command2_Click,
                                                   &Form1::Command3_Click, &Form1::Command4_Click,
                                                   &Form1::Command5_Click, &Form1::Command6_Click};
  for (std::size_t i = 0; i < clicks.size(); ++i) {
    connect(m_commands[i], &QToolButton::clicked, this, clicks[i]);
  }
  connect(Slider1, &QSlider::valueChanged, this, &Form1::Slider1_Change);
  connect(m_env.clipboard, &QClipboard::dataChanged, this, &Form1::ClipboardChanged);
}

Form1::~Form1() { delete m_versionWindow.data(); }

QString Form1::settingsPath() const { return SettingsFilePath(m_env.programFolder); }

QSize Form1::canvasAreaPixels() const {
  // The device pixels the canvas area holds wherever the grid falls in it, so
  // that an empty canvas fits without scroll bars.
  const DeviceGrid grid(devicePixelRatioF());
  const QSize logical = m_client->FillRect().size();
  return {grid.pixelsIn(logical.width()), grid.pixelsIn(logical.height())};
}

FrameColour Form1::frameColour() const { return FrameColourOf(Option1->isChecked(), Option2->isChecked()); }

void Form1::Start() {
  Load();
  showMaximized();
  activateWindow();
  Picture1->setFocus();
}

void Form1::Load() {
  setWindowTitle(kApplicationTitle);

  const ScreenMetrics screen = m_env.screen();
  MeasureScreen(screen, m_screenSize);
  FitWindowToScreen(*this, m_lines, m_screenSize, screen.twipsPerPixel);

  // The window is not shown yet: lay it out so that the client area has the
  // fitted size. The canvas fills the canvas area between the strip and the
  // status bar.
  layout()->activate();
  Picture1->setPixelSize(canvasAreaPixels());
  Picture1->show();
  Picture2->hide();
  Option1->setChecked(true);

  m_state.SaveFolder = ReadSetting(QStringLiteral("F_Path"), QStringLiteral("File"), settingsPath());
  m_panel1->setText(m_state.SaveFolder);

  const QString source = m_env.executableFolder + QLatin1Char('/') + kJpegLibraryFileName;
  const LibraryPlacement placement = PlaceJpegLibrary(GetOsName(m_env.osVersion()), source, m_env.systemRoot);
  switch (placement.outcome) {
  case LibraryPlacement::Outcome::NoTarget:
    ShowMessage(this, QStringLiteral("このOSでは、動作を確認していません。"));
    return;
  case LibraryPlacement::Outcome::CopyFailed:
    ShowMessage(
        this, QStringLiteral("JPEG 保存ライブラリ「%1」を「%2」へコピーできませんでした。\n%3")
                  .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(placement.target), placement.error));
    return;
  case LibraryPlacement::Outcome::AlreadyPresent:
  case LibraryPlacement::Outcome::Copied:
    return;
  }
}

void Form1::closeEvent(QCloseEvent *event) {
  QCoreApplication::processEvents();
  event->accept();
  QMainWindow::closeEvent(event);
  if (m_versionWindow) {
    m_versionWindow->close();
  }
  m_env.terminate();
}

void Form1::M_F_Exit_Click() { close(); }

void Form1::CanvasKeyDown(int key, int shift) {
  if (const auto corner = m_editor->Nudge(key, shift)) {
    const QPoint p = Picture1->logicalPoint(*corner).toPoint();
    m_canvasArea->ensureVisible(p.x(), p.y(), 8, 8);
  }
}

void Form1::Command1_Click() {
  auto loaded = LoadTrimInfo(settingsPath());
  if (const QString *message = std::get_if<QString>(&loaded)) {
    ShowMessage(this, *message);
    return;
  }
  m_state.frame = std::get<FrameState>(loaded);
  const TrimFrame &trim = m_state.frame.trim;
  Label6->setText(SingleText(trim.PicStartX));
  Label7->setText(SingleText(trim.PicStartY));
  Label8->setText(SingleText(trim.PicWidth));
  Label9->setText(IntegerText(trim.PicHeight));
  Text1->setText(SingleText(m_state.frame.FrameRatio));
  const auto x = static_cast<long long>(trim.PicStartX);
  const auto y = static_cast<long long>(trim.PicStartY);
  const auto w = static_cast<long long>(trim.PicWidth);
  const long long h = trim.PicHeight;
  const QPointF start(static_cast<float>(x * kTwipsPerPixel), static_cast<float>(y * kTwipsPerPixel));
  const QPointF end(static_cast<float>((x + w) * kTwipsPerPixel), static_cast<float>((y + h) * kTwipsPerPixel));
  DrawFrameOutline(*Picture1, start, end, frameColour());
}

void Form1::Command2_Click() {
  const QString message = SaveTrimInfo(m_state.frame, settingsPath());
  if (!message.isEmpty()) {
    ShowMessage(this, message);
  }
}

void Form1::Command3_Click() {
  if (const QString problem = Capture(); !problem.isEmpty()) {
    ShowMessage(this, problem);
  }
}

QString Form1::Capture() {
  Picture2->hide();
  const QString problem = AcquireScreenImage(*Picture1, canvasAreaPixels(), *m_env.clipboard);
  m_canvasArea->ensureVisible(0, 0, 0, 0);
  return problem;
}

void Form1::Command4_Click() {
  if (const auto size = TrimOutputSize(m_state.frame.drag)) {
    if (const QString problem = OutputSizeProblem(*size); !problem.isEmpty()) {
      ShowMessage(this, problem);
      return;
    }
  }
  TrimToFrame(*Picture1, *Picture2, m_state.frame.trim, m_state.frame.drag);
}

JpegExport Form1::SaveJob(const QString &baseName) {
  return {this,
          baseName,
          Slider1->value(),
          m_env.programFolder,
          m_env.bitmapFolder,
          JpegLibraryPath(m_env.executableFolder)};
}

void Form1::Command5_Click() {
  SaveTrimmedJpeg(SaveJob(Text2->text()), m_panel1->text(), m_state.SaveFolder, Picture2->image());
}

void Form1::Command6_Click() { SaveOriginalJpeg(SaveJob(Text2->text()), m_state.SaveFolder, Picture1->image()); }

void Form1::M_S_SFolder_Click() {
  const QString chosen = BrowseForFolder(this);
  if (ApplyChosenFolder(this, chosen, m_state.SaveFolder, settingsPath())) {
    m_panel1->setText(m_state.SaveFolder);
  }
}

void Form1::M_H_Ver_Click() {
  if (!m_versionWindow) {
    m_versionWindow = new Form2();
  }
  m_versionWindow->show();
  m_versionWindow->raise();
  m_versionWindow->activateWindow();
}

void Form1::Slider1_Change() { Label13->setText(IntegerText(Slider1->value())); }

} // namespace orvelle
