#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QMainWindow;
class QRadioButton;
class QSlider;
class QStatusBar;
class QToolButton;

namespace orvelle {

class CanvasArea;
class ClientArea;
class PictureBox;
class SeparatorLine;

// The main window's controls: the strip of read-outs, inputs and six picture
// buttons, the canvas, the lines and the status bar.
struct Form1Controls {
  ClientArea *client = nullptr;
  CanvasArea *canvasArea = nullptr;
  PictureBox *Picture1 = nullptr; // the canvas
  PictureBox *Picture2 = nullptr; // the output picture, over the frame
  QLabel *Label6 = nullptr;       // the frame's start and size
  QLabel *Label7 = nullptr;
  QLabel *Label8 = nullptr;
  QLabel *Label9 = nullptr;
  QLabel *Label11 = nullptr;  // "File：… .jpg", the caption around the name box
  QLabel *Label13 = nullptr;  // the quality
  QLineEdit *Text1 = nullptr; // the ratio
  QLineEdit *Text2 = nullptr; // the base name
  QRadioButton *Option1 = nullptr;
  QRadioButton *Option2 = nullptr;
  QRadioButton *Option3 = nullptr;
  std::array<QToolButton *, 6> commands{};
  QSlider *Slider1 = nullptr;
  QStatusBar *StatusBar1 = nullptr;
  QLabel *panel1 = nullptr; // the save folder
  QLabel *panel2 = nullptr; // the count of a trim over and over
  std::array<SeparatorLine *, 4> lines{};
};

// Creates the controls in the window at their places in twips.
Form1Controls CreateForm1Controls(QMainWindow &window);
void SetForm1TabOrder(const Form1Controls &controls);

} // namespace orvelle
