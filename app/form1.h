#pragma once

#include "app/form1_environment.h"
#include "app/main_controls.h"
#include "app/window_fit.h"
#include "capture/canvas/frame_editor.h"
#include "core/continuous_trim.h"
#include "core/trim_session.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>

class QAction;
class QMimeData;

namespace orvelle {

class BatchWindow;
class DataControlClipboard;
class HiddenGrab;
class KeyTrim;
class IntervalWindow;
class Loupe;
class OutcomePanel;
class Form2;

// The main window: it binds its controls to the trim session and shows what
// the session's operations say. The menus repeat the buttons' commands.
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
  bool BatchRunning() const { return !m_batch.isNull(); }

  const TrimSession &session() const { return m_session; }
  QString settingsPath() const { return m_session.places().settingsPath; }

protected:
  void closeEvent(QCloseEvent *event) override;

private:
  void CreateMenus();
  QSize canvasAreaPixels() const;
  FrameColour frameColour() const;
  // Shows the result's message, if any; whether the operation was done.
  bool Show(const Expected<void> &result);
  void ShowCanvas();
  void ShowOutput();
  void CanvasKeyDown(int key, int shift);

  void M_F_Exit_Click();
  void M_E_Copy_Click();
  void M_E_Frame_Click();
  void M_S_Loupe_Toggled(bool on);
  void M_S_Png_Toggled(bool on);
  // The file format chosen, in the session and on the strip: the caption's
  // ending and the quality slider, which only JPEG uses.
  void ShowFormat(bool png);
  void M_S_SFolder_Click();
  void M_S_Key_Click();
  void HoldTrimKey();
  void M_H_Ver_Click();
  void M_R_Batch_Click();
  void M_R_Continuous_Toggled(bool on);
  void M_R_Grab_Click();
  void M_R_Interval_Click();
  void IntervalEnded(const Expected<void> &result, int saved, const QString &note);
  void ClipboardChanged();
  // A clipboard picture for continuous trimming, one at a time: `data` is
  // the watched clipboard's, or none for Qt's clipboard as it is when taken.
  void PictureArrived(std::shared_ptr<const QMimeData> data);
  void TakeContinuousPicture(const std::shared_ptr<const QMimeData> &data);
  // On Wayland, the clipboard watched without the focus where the desktop
  // lets a program do so, or the user told that it cannot be.
  void WatchClipboard(bool on);
  void ShowContinuousState();
  // The window shown again maximized and active, after it hid.
  void ComeBack();
  void Slider1_Change();

  Form1Environment m_env;
  TrimSession m_session;
  ContinuousTrim m_continuous{m_session};
  ScreenSize m_screenSize;
  Form1Controls m_ui;
  QAction *m_continuousAction = nullptr;
  QAction *m_loupeAction = nullptr;
  QAction *m_pngAction = nullptr;
  Loupe *m_loupe = nullptr;
  OutcomePanel *m_outcome = nullptr;                // the status bar's second panel
  bool m_takingPicture = false;                     // a clipboard picture is being taken
  bool m_pictureWaiting = false;                    // and another one arrived meanwhile
  std::shared_ptr<const QMimeData> m_waitingData;   // what it brought, when the watcher did
  DataControlClipboard *m_clipboardWatch = nullptr; // while continuous trimming runs on Wayland
  std::unique_ptr<FrameEditor> m_editor;
  QPointer<Form2> m_versionWindow;
  QPointer<BatchWindow> m_batch;
  QPointer<IntervalWindow> m_interval; // while the interval runs
  HiddenGrab *m_grab = nullptr;
  KeyTrim *m_keys = nullptr; // the global key
};

} // namespace orvelle
