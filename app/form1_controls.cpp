// The controls of the main window's strip, the canvas, the lines and the
// status bar, at their places in twips.

#include "app/form1.h"

#include "app/client_area.h"
#include "app/framing_label.h"
#include "app/separator_line.h"
#include "capture/canvas_area.h"
#include "capture/picture_box.h"
#include "common/units.h"

#include <QButtonGroup>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>

namespace orvelle {

namespace {

QRect Twips(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

struct LabelDesign {
  const char *name;
  QRect place;
  const char *caption;
  const char *hint;
};

struct CommandDesign {
  const char *name;
  const char *picture;
  const char *hint;
};

} // namespace

void Form1::CreateControls() {
  m_client = new ClientArea(this);
  m_client->setObjectName(QStringLiteral("Form1Client"));
  setCentralWidget(m_client);

  auto *picture3 = new QLabel(m_client);
  picture3->setObjectName(QStringLiteral("Picture3"));
  picture3->setGeometry(Twips(60, 60, 300, 300));
  picture3->setPixmap(QPixmap(QStringLiteral(":/pictures/position.png")));
  auto *picture4 = new QLabel(m_client);
  picture4->setObjectName(QStringLiteral("Picture4"));
  picture4->setGeometry(Twips(2640, 60, 300, 300));
  picture4->setPixmap(QPixmap(QStringLiteral(":/pictures/size.png")));

  static const LabelDesign labels[] = {
      {"Label1", Twips(360, 120, 885, 195), "Position X：", "トリミングを開始する位置でマウスボタンをクリックします"},
      {"Label6", Twips(1260, 120, 525, 195), "0", "開始X座標"},
      {"Label2", Twips(1800, 120, 225, 195), ",Y：", nullptr},
      {"Label7", Twips(2040, 120, 525, 195), "0", "開始Y座標"},
      {"Label3", Twips(2940, 120, 795, 195), "Size W：",
       "トリミングサイズです。トリミング終了位置までマウスをドラッグします。"},
      {"Label8", Twips(3780, 120, 525, 195), "0", "トリミングサイズ（幅）"},
      {"Label4", Twips(4320, 120, 285, 195), ",H：", nullptr},
      {"Label9", Twips(4620, 120, 525, 195), "0", "トリミングサイズ（高さ）"},
      {"Label5", Twips(5220, 120, 945, 195), "Ratio(H/W)：",
       "トリミング画像の縦横比が指定できます。0 を入力すると、縦横比は解除されます。"},
      {"Label10", Twips(6780, 120, 495, 195), "Color：", nullptr},
      {"Label11", Twips(11280, 120, 1455, 255), "File：\u3000\u3000\u3000 \u3000\u3000\u3000.jpg", nullptr},
      {"Label12", Twips(12900, 120, 315, 255), "Re：", nullptr},
      // Wide enough for "100", which the design's 255 twips cut to "10".
      {"Label13", Twips(14820, 120, 405, 195), "50", nullptr},
  };
  for (const LabelDesign &design : labels) {
    // The file-name caption frames the name box lying over its middle.
    const bool frames = QByteArrayView(design.name) == "Label11";
    QLabel *label = frames ? new FramingLabel(QString::fromUtf8(design.caption), m_client)
                           : new QLabel(QString::fromUtf8(design.caption), m_client);
    label->setObjectName(QLatin1String(design.name));
    label->setGeometry(design.place);
    if (design.hint != nullptr) {
      label->setToolTip(QString::fromUtf8(design.hint));
    }
  }
  Label6 = m_client->findChild<QLabel *>(QStringLiteral("Label6"));
  Label7 = m_client->findChild<QLabel *>(QStringLiteral("Label7"));
  Label8 = m_client->findChild<QLabel *>(QStringLiteral("Label8"));
  Label9 = m_client->findChild<QLabel *>(QStringLiteral("Label9"));
  Label13 = m_client->findChild<QLabel *>(QStringLiteral("Label13"));

  Text1 = new QLineEdit(QStringLiteral("0"), m_client);
  Text1->setObjectName(QStringLiteral("Text1"));
  Text1->setGeometry(Twips(6180, 60, 460, 270));

  auto *colours = new QButtonGroup(this);
  const auto option = [this, colours](const char *name, const QRect &place, const char *caption, const char *hint) {
    auto *button = new QRadioButton(QString::fromUtf8(caption), m_client);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    button->setToolTip(QString::fromUtf8(hint));
    // The places are narrow: keep the caption close to its indicator.
    button->setStyleSheet(QStringLiteral("QRadioButton { spacing: 1px; }"));
    colours->addButton(button);
    return button;
  };
  Option1 = option("Option1", Twips(7320, 80, 375, 255), "B", "トリムライン色：黒");
  Option2 = option("Option2", Twips(7740, 80, 435, 255), "W", "トリムライン色：白");
  Option3 = option("Option3", Twips(8220, 80, 375, 255), "R", "トリムライン色：赤");

  static const CommandDesign commands[] = {
      {"Command1", ":/pictures/load.png", "画像のトリミングの設定情報の読み込み"},
      {"Command2", ":/pictures/save-frame.png", "画像のトリミング位置・サイズ・縦横比を保存します。"},
      {"Command3", ":/pictures/capture.png", "クリップボードの画像をキャプチャーします"},
      {"Command4", ":/pictures/trim.png",
       "トリミングを実施します。クリップボードに画像をコピー後 ボタンを押してください。"},
      {"Command5", ":/pictures/save-trimmed.png", "トリミングした画像を保存します"},
      {"Command6", ":/pictures/save-original.png", "クリップボードからのオリジナル画像を保存します"},
  };
  for (std::size_t i = 0; i < m_commands.size(); ++i) {
    auto *button = new QToolButton(m_client);
    button->setObjectName(QLatin1String(commands[i].name));
    button->setGeometry(Twips(8700 + 420 * static_cast<int>(i), 20, 400, 400));
    button->setIcon(QIcon(QLatin1String(commands[i].picture)));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(QString::fromUtf8(commands[i].hint));
    button->setFocusPolicy(Qt::TabFocus);
    m_commands[i] = button;
  }

  Text2 = new QLineEdit(m_client);
  Text2->setObjectName(QStringLiteral("Text2"));
  Text2->setGeometry(Twips(11640, 60, 765, 300));
  QFont nameFont;
  nameFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                        QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
  nameFont.setPointSizeF(9.75);
  nameFont.setWeight(QFont::Normal);
  Text2->setFont(nameFont);

  Slider1 = new QSlider(Qt::Horizontal, m_client);
  Slider1->setObjectName(QStringLiteral("Slider1"));
  Slider1->setGeometry(Twips(13260, 60, 1515, 315));
  Slider1->setRange(0, 100);
  Slider1->setSingleStep(1);
  Slider1->setPageStep(5);
  Slider1->setValue(50);

  // The output picture lies on the canvas, over the frame, and scrolls with it.
  m_canvasArea = new CanvasArea(m_client);
  m_canvasArea->setObjectName(QStringLiteral("CanvasArea"));
  Picture1 = new PictureBox();
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setPixelSize(Twips(300, 660, 8355, 5775).size());
  m_canvasArea->setCanvas(Picture1);
  Picture2 = new PictureBox(Picture1);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Picture2->setPersistentImage(true);
  Picture2->setPixelSize(Twips(540, 1020, 2595, 1575).size());

  const std::array<std::pair<QPalette::ColorRole, int>, 4> lines = {{
      {QPalette::WindowText, 0},
      {QPalette::Base, 20},
      {QPalette::WindowText, 400},
      {QPalette::Base, 420},
  }};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    m_lines[i] = new SeparatorLine(lines[i].first, lines[i].second, m_client);
    m_lines[i]->setObjectName(QStringLiteral("Line%1").arg(i + 1));
  }

  StatusBar1 = new QStatusBar(m_client);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setFixedHeight(TwipsToPixels(315));
  StatusBar1->setSizeGripEnabled(false);
  m_panel1 = new QLabel(StatusBar1);
  m_panel1->setObjectName(QStringLiteral("Panel1"));
  m_panel1->setToolTip(QStringLiteral("現在設定されている保存先フォルダー名"));
  StatusBar1->addWidget(m_panel1, 1);
  m_panel2 = new QLabel(StatusBar1);
  m_panel2->setObjectName(QStringLiteral("Panel2"));
  StatusBar1->addWidget(m_panel2);
  m_panel2->hide();
  m_client->DockAtBottom(StatusBar1);
  m_client->FillBelow(m_canvasArea, CanvasTopPixels());

  for (SeparatorLine *line : m_lines) {
    line->raise();
  }
}

void Form1::SetTabOrder() {
  const std::array<QWidget *, 14> order = {Picture1,      Picture2,      Text1,   m_commands[1], m_commands[3],
                                           m_commands[0], m_commands[2], Option1, Option2,       Option3,
                                           m_commands[4], m_commands[5], Text2,   Slider1};
  for (std::size_t i = 1; i < order.size(); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
}

} // namespace orvelle
