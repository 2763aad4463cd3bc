#pragma once

#include "app/form1_environment.h"
#include "app/shared_state.h"
#include "app/window_fit.h"
#include "capture/frame_editor.h"
#include "export/jpeg_export.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QStatusBar;
class QToolButton;

namespace orvelle {

class CanvasArea;
class ClientArea;
class Form2;
class PictureBox;
class SeparatorLine;

// The main window: a strip of read-outs, inputs and six picture buttons, the
// canvas below it, the status bar with the save folder, and the menus, which
// repeat the buttons' commands.
class Form1 : public QMainWindow {
  Q_OBJECT

public:
  explicit Form1(Form1Environment environment, QWidget *parent = nullptr);
  ~Form1() override;

  // The load sequence, then the window shown maximized and active.
  void Start();
  // The load sequence alone: title, fitting, canvas, colour, save folder and
  // the JPEG library's place.
  void Load();

  // The buttons' click handlers, which the menu entries call directly.
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();

  // Trims the image files to the current frame into the save folder, with a
  // progress window; says which files failed and why.
  void BatchTrimFiles(const QStringList &files);

  const SharedState &state() const { return m_state; }
  QString settingsPath() const;

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  void CreateControls();
  void CreateMenus();
  void SetTabOrder();
  QSize canvasAreaPixels() const;
  // What a JPEG save under this base name takes from the window.
  JpegExport SaveJob(const QString &baseName);
  void CanvasKeyDown(int key, int shift);
  FrameColour frameColour() const;

  void M_F_Exit_Click();
  void M_S_SFolder_Click();
  void M_H_Ver_Click();
  void M_R_Batch_Click();
  void M_R_Continuous_Toggled(bool on);
  void ClipboardChanged();
  void StopContinuous();
  void ShowContinuousCount();
  void TakeContinuousPicture();
  // Takes the clipboard's picture into the canvas; why it could not, or empty.
  QString Capture();
  QString BatchProblem() const;
  void Slider1_Change();

  Form1Environment m_env;
  SharedState m_state;
  ScreenSize m_screenSize;

  ClientArea *m_client = nullptr;
  CanvasArea *m_canvasArea = nullptr;
  PictureBox *Picture1 = nullptr;
  PictureBox *Picture2 = nullptr;
  QLabel *Label6 = nullptr;
  QLabel *Label7 = nullptr;
  QLabel *Label8 = nullptr;
  QLabel *Label9 = nullptr;
  QLabel *Label13 = nullptr;
  QLineEdit *Text1 = nullptr;
  QLineEdit *Text2 = nullptr;
  QRadioButton *Option1 = nullptr;
  QRadioButton *Option2 = nullptr;
  QRadioButton *Option3 = nullptr;
  std::array<QToolButton *, 6> m_commands{};
  QSlider *Slider1 = nullptr;
  QStatusBar *StatusBar1 = nullptr;
  QLabel *m_panel1 = nullptr;
  QLabel *m_panel2 = nullptr; // continuous trimming's count
  QAction *m_continuous = nullptr;
  int m_continuousSaved = 0;
  int m_continuousUnreadable = 0; // pictures passed over because they could not be read
  QImage m_lastSaved;             // the last picture continuous trimming saved
  bool m_takingPicture = false;   // a clipboard picture is being taken
  bool m_pictureWaiting = false;  // and another one arrived meanwhile
  std::array<SeparatorLine *, 4> m_lines{};

  std::unique_ptr<FrameEditor> m_editor;
  QPointer<Form2> m_versionWindow;
};

} // namespace orvelle
