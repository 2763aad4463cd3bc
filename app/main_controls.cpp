#include "app/main_controls.h"

#include "app/client_area.h"
#include "app/framing_label.h"
#include "app/separator_line.h"
#include "capture/canvas/canvas_area.h"
#include "capture/canvas/picture_box.h"
#include "common/units.h"

#include <QButtonGroup>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
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

Form1Controls CreateForm1Controls(QMainWindow &window) {
  Form1Controls c;
  auto *m_client = new ClientArea(&window);
  c.client = m_client;
  m_client->setObjectName(QStringLiteral("Form1Client"));
  window.setCentralWidget(m_client);

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
  c.Label6 = m_client->findChild<QLabel *>(QStringLiteral("Label6"));
  c.Label7 = m_client->findChild<QLabel *>(QStringLiteral("Label7"));
  c.Label8 = m_client->findChild<QLabel *>(QStringLiteral("Label8"));
  c.Label9 = m_client->findChild<QLabel *>(QStringLiteral("Label9"));
  c.Label11 = m_client->findChild<QLabel *>(QStringLiteral("Label11"));
  c.Label13 = m_client->findChild<QLabel *>(QStringLiteral("Label13"));

  c.Text1 = new QLineEdit(QStringLiteral("0"), m_client);
  c.Text1->setObjectName(QStringLiteral("Text1"));
  c.Text1->setGeometry(Twips(6180, 60, 460, 270));

  auto *colours = new QButtonGroup(&window);
  const auto option = [m_client, colours](const char *name, const QRect &place, const char *caption, const char *hint) {
    auto *button = new QRadioButton(QString::fromUtf8(caption), m_client);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    button->setToolTip(QString::fromUtf8(hint));
    // The places are narrow: keep the caption close to its indicator.
    button->setStyleSheet(QStringLiteral("QRadioButton { spacing: 1px; }"));
    colours->addButton(button);
    return button;
  };
  c.Option1 = option("Option1", Twips(7320, 80, 375, 255), "B", "トリムライン色：黒");
  c.Option2 = option("Option2", Twips(7740, 80, 435, 255), "W", "トリムライン色：白");
  c.Option3 = option("Option3", Twips(8220, 80, 375, 255), "R", "トリムライン色：赤");

  static const CommandDesign commands[] = {
      {"Command1", ":/pictures/load.png", "画像のトリミングの設定情報の読み込み"},
      {"Command2", ":/pictures/save-frame.png", "画像のトリミング位置・サイズ・縦横比を保存します。"},
      {"Command3", ":/pictures/capture.png", "クリップボードの画像をキャプチャーします"},
      {"Command4", ":/pictures/trim.png",
       "トリミングを実施します。クリップボードに画像をコピー後 ボタンを押してください。"},
      {"Command5", ":/pictures/save-trimmed.png", "トリミングした画像を保存します"},
      {"Command6", ":/pictures/save-original.png", "クリップボードからのオリジナル画像を保存します"},
  };
  for (std::size_t i = 0; i < c.commands.size(); ++i) {
    auto *button = new QToolButton(m_client);
    button->setObjectName(QLatin1String(commands[i].name));
    button->setGeometry(Twips(8700 + 420 * static_cast<int>(i), 20, 400, 400));
    button->setIcon(QIcon(QLatin1String(commands[i].picture)));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(QString::fromUtf8(commands[i].hint));
    button->setFocusPolicy(Qt::TabFocus);
    c.commands[i] = button;
  }

  c.Text2 = new QLineEdit(m_client);
  c.Text2->setObjectName(QStringLiteral("Text2"));
  c.Text2->setGeometry(Twips(11640, 60, 765, 300));
  QFont nameFont;
  nameFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                        QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP")});
  nameFont.setPointSizeF(9.75);
  nameFont.setWeight(QFont::Normal);
  c.Text2->setFont(nameFont);

  c.Slider1 = new QSlider(Qt::Horizontal, m_client);
  c.Slider1->setObjectName(QStringLiteral("Slider1"));
  c.Slider1->setGeometry(Twips(13260, 60, 1515, 315));
  c.Slider1->setRange(0, 100);
  c.Slider1->setSingleStep(1);
  c.Slider1->setPageStep(5);
  c.Slider1->setValue(50);

  // The output picture lies on the canvas, over the frame, and scrolls with it.
  c.canvasArea = new CanvasArea(m_client);
  c.canvasArea->setObjectName(QStringLiteral("CanvasArea"));
  c.Picture1 = new PictureBox();
  c.Picture1->setObjectName(QStringLiteral("Picture1"));
  c.Picture1->setPixelSize(Twips(300, 660, 8355, 5775).size());
  c.canvasArea->setCanvas(c.Picture1);
  c.Picture2 = new PictureBox(c.Picture1);
  c.Picture2->setObjectName(QStringLiteral("Picture2"));
  c.Picture2->setPixelSize(Twips(540, 1020, 2595, 1575).size());

  const std::array<std::pair<QPalette::ColorRole, int>, 4> lines = {{
      {QPalette::WindowText, 0},
      {QPalette::Base, 20},
      {QPalette::WindowText, 400},
      {QPalette::Base, 420},
  }};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    c.lines[i] = new SeparatorLine(lines[i].first, lines[i].second, m_client);
    c.lines[i]->setObjectName(QStringLiteral("Line%1").arg(i + 1));
  }

  c.StatusBar1 = new QStatusBar(m_client);
  c.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  c.StatusBar1->setFixedHeight(TwipsToPixels(315));
  c.StatusBar1->setSizeGripEnabled(false);
  c.panel1 = new QLabel(c.StatusBar1);
  c.panel1->setObjectName(QStringLiteral("Panel1"));
  c.panel1->setToolTip(QStringLiteral("現在設定されている保存先フォルダー名"));
  c.StatusBar1->addWidget(c.panel1, 1);
  c.panel2 = new QLabel(c.StatusBar1);
  c.panel2->setObjectName(QStringLiteral("Panel2"));
  c.StatusBar1->addWidget(c.panel2);
  c.panel2->hide();
  m_client->DockAtBottom(c.StatusBar1);
  m_client->FillBelow(c.canvasArea, CanvasTopPixels());

  for (SeparatorLine *line : c.lines) {
    line->raise();
  }
  return c;
}

void SetForm1TabOrder(const Form1Controls &c) {
  const std::array<QWidget *, 14> order = {c.Picture1,    c.Picture2,    c.Text1,   c.commands[1], c.commands[3],
                                           c.commands[0], c.commands[2], c.Option1, c.Option2,     c.Option3,
                                           c.commands[4], c.commands[5], c.Text2,   c.Slider1};
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1], order[i]);
  }
}

} // namespace orvelle
