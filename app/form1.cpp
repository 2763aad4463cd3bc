#include "app/form1.h"

#include "app/client_area.h"
#include "app/folder_dialog.h"
#include "app/frame_dialog.h"
#include "app/hidden_grab.h"
#include "app/library_placement.h"
#include "app/message_box.h"
#include "app/outcome_panel.h"
#include "batch/cli/problem_words.h"
#include "capture/canvas/canvas_area.h"
#include "capture/canvas/loupe.h"
#include "capture/canvas/output_view.h"
#include "capture/canvas/picture_box.h"
#include "common/numbers.h"
#include "export/jpeg_library.h"
#include "resources/pictures.h"
#include "settings/settings_file.h"
#include "settings/view_settings.h"
#include "sysinfo/form2.h"
#include "sysinfo/os_name.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

namespace orvelle {

Form1::Form1(Form1Environment environment, QWidget *parent)
    : QMainWindow(parent), m_env(std::move(environment)),
      m_session({SettingsFilePath(m_env.programFolder), m_env.bitmapFolder, JpegLibraryPath(m_env.executableFolder)}) {
  InitOrvellePictures();
  setObjectName(QStringLiteral("Form1"));
  setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
  m_ui = CreateForm1Controls(*this);
  CreateMenus();
  SetForm1TabOrder(m_ui);
  resize(1063, 525 + menuBar()->sizeHint().height());

  m_editor = std::make_unique<FrameEditor>(m_session.frame, *m_ui.Picture1, *m_ui.Text1,
                                           FrameReadouts{m_ui.Label6, m_ui.Label7, m_ui.Label8, m_ui.Label9},
                                           [this] { return frameColour(); });
  connect(m_ui.Picture1, &PictureBox::keyDown, this, &Form1::CanvasKeyDown);
  m_loupe = new Loupe(*m_ui.Picture1);
  m_outcome = new OutcomePanel(*m_ui.panel2);
  m_grab = new HiddenGrab(*this, [this](const ScreenPicture *screen, const QString &problem) {
    ComeBack();
    if (screen != nullptr) {
      m_session.TakePicture(screen->pixels);
      ShowCanvas();
    }
    if (!problem.isEmpty()) {
      ShowMessage(this, problem);
    }
  });

  const std::array<void (Form1::*)(), 6> clicks = {&Form1::Command1_Click, &Form1::Command2_Click,
                                                   &Form1::Command3_Click, &Form1::Command4_Click,
                                                   &Form1::Command5_Click, &Form1::Command6_Click};
  for (std::size_t i = 0; i < clicks.size(); ++i) {
    connect(m_ui.commands[i], &QToolButton::clicked, this, clicks[i]);
  }
  connect(m_ui.Text2, &QLineEdit::textChanged, this, [this](const QString &name) { m_session.baseName = name; });
  connect(m_ui.Slider1, &QSlider::valueChanged, this, &Form1::Slider1_Change);
  connect(m_env.clipboard, &QClipboard::dataChanged, this, &Form1::ClipboardChanged);
  // An empty canvas fits the window at every size, without scroll bars.
  connect(m_ui.client, &ClientArea::resized, this, [this] {
    if (m_session.canvas().picture.isNull() && !m_session.canvas().size.isEmpty()) {
      m_session.FitEmptyCanvas(canvasAreaPixels());
      m_ui.Picture1->setPixelSize(m_session.canvas().size);
    }
  });
}

Form1::~Form1() { delete m_versionWindow.data(); }

QSize Form1::canvasAreaPixels() const { return m_ui.client->FillPixels(); }

FrameColour Form1::frameColour() const { return FrameColourOf(m_ui.Option1->isChecked(), m_ui.Option2->isChecked()); }

bool Form1::Show(const Expected<void> &result) {
  if (!result) {
    ShowMessage(this, Words(result.problem()));
  }
  return result.ok();
}

void Form1::Start() {
  Load();
  showMaximized();
  activateWindow();
  m_ui.Picture1->setFocus();
  HoldTrimKey();
}

void Form1::Load() {
  setWindowTitle(kApplicationTitle);

  const ScreenMetrics screen = m_env.screen();
  MeasureScreen(screen, m_screenSize);
  FitWindowToScreen(*this, m_ui.lines, m_screenSize, screen.twipsPerPixel);

  // The window is not shown yet: lay it out so that the client area has the
  // fitted size. The canvas fills the canvas area between the strip and the
  // status bar.
  layout()->activate();
  m_ui.Picture1->setPixelSize(canvasAreaPixels());
  m_ui.Picture1->show();
  m_ui.Picture2->hide();
  m_ui.Option1->setChecked(true);

  m_session.Begin(canvasAreaPixels(), m_ui.Picture1->backColor(),
                  {m_ui.Picture2->pixelSize(), m_ui.Picture2->image(), std::nullopt});
  m_ui.panel1->setText(m_session.saveFolder());
  const QSignalBlocker quiet(m_loupeAction);
  m_loupeAction->setChecked(ReadLoupe(settingsPath()));
  m_loupe->setEnabled(m_loupeAction->isChecked());
  const QSignalBlocker quietFormat(m_pngAction);
  m_pngAction->setChecked(ReadPngChosen(settingsPath()));
  ShowFormat(m_pngAction->isChecked());

  const QString source = m_env.executableFolder + QLatin1Char('/') + kJpegLibraryFileName;
  const LibraryPlacement placement = PlaceJpegLibrary(GetOsName(m_env.osVersion()), source, m_env.systemRoot);
  if (const QString said = PlacementMessage(placement, source); !said.isEmpty()) {
    ShowMessage(this, said);
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

void Form1::ComeBack() {
  showMaximized();
  raise();
  activateWindow();
}

void Form1::CanvasKeyDown(int key, int shift) {
  if (const auto corner = m_editor->Nudge(key, shift)) {
    const QPoint p = m_ui.Picture1->logicalPoint(*corner).toPoint();
    m_ui.canvasArea->ensureVisible(p.x(), p.y(), 8, 8);
    m_loupe->ShowBriefly(*corner);
  }
}

void Form1::ShowCanvas() {
  m_ui.Picture2->hide();
  m_ui.Picture1->setPixelSize(m_session.canvas().size);
  m_ui.Picture1->setPicture(m_session.canvas().picture);
  m_ui.canvasArea->ensureVisible(0, 0, 0, 0);
}

void Form1::ShowOutput() { ShowOutputPicture(*m_ui.Picture2, m_session.output()); }

void Form1::Command1_Click() {
  if (Show(m_session.LoadTrimInfo())) {
    m_editor->ShowLoaded();
  }
}

void Form1::Command2_Click() { Show(m_session.SaveTrimInfo()); }

void Form1::Command3_Click() {
  const Expected<void> captured = m_session.Capture(m_env.clipboard->mimeData(), canvasAreaPixels());
  ShowCanvas();
  Show(captured);
}

void Form1::Command4_Click() {
  if (Show(m_session.Trim())) {
    ShowOutput();
  } else if (!m_session.trimmed()) {
    m_ui.Picture2->hide();
  }
}

namespace {
// The busy cursor while a save runs (a large picture takes seconds), gone
// before anything is said.
template <typename Save> Expected<void> WhileBusy(Save save) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const Expected<void> result = save();
  QGuiApplication::restoreOverrideCursor();
  return result;
}
} // namespace

void Form1::Command5_Click() {
  Show(WhileBusy([this] { return m_session.SaveTrimmed(); }));
}

void Form1::Command6_Click() {
  Show(WhileBusy([this] { return m_session.SaveOriginal(); }));
}

void Form1::M_S_SFolder_Click() {
  // A folder that could not be stored is the save folder all the same.
  Show(m_session.ChooseSaveFolder(BrowseForFolder(this)));
  m_ui.panel1->setText(m_session.saveFolder());
}

void Form1::M_R_Grab_Click() { m_grab->Start(); }

void Form1::M_E_Copy_Click() { Show(m_session.Copy(*m_env.clipboard)); }

void Form1::M_E_Frame_Click() {
  const auto ratio = m_editor->Ratio(); // nothing while the ratio switches the editor off
  const auto frame =
      ratio ? AskFrame(this, m_editor->FrameRect().value_or(QRect(0, 0, 100, 100)), *ratio) : std::nullopt;
  if (frame) {
    m_editor->DragFrame(*frame);
    const QRect shown = m_ui.Picture1->logicalRect(*frame);
    m_ui.canvasArea->ensureVisible(shown.center().x(), shown.center().y(), shown.width() / 2, shown.height() / 2);
  }
}

void Form1::M_S_Loupe_Toggled(bool on) {
  m_loupe->setEnabled(on);
  WriteLoupe(on, settingsPath());
}

void Form1::M_S_Png_Toggled(bool on) {
  ShowFormat(on);
  WritePngChosen(on, settingsPath());
}

void Form1::ShowFormat(bool png) {
  static const QString jpeg = QStringLiteral(".jpg");
  m_session.format = png ? PictureFormat::Png : PictureFormat::Jpeg;
  QString caption = m_ui.Label11->text();
  caption.replace(caption.size() - jpeg.size(), jpeg.size(), Suffix(m_session.format));
  m_ui.Label11->setText(caption);
  m_ui.Slider1->setEnabled(!png); // its value stays for JPEG
}

void Form1::M_H_Ver_Click() { Form2::ShowOne(m_versionWindow); }

void Form1::Slider1_Change() {
  m_session.quality = m_ui.Slider1->value();
  m_ui.Label13->setText(IntegerText(m_session.quality));
}

} // namespace orvelle
