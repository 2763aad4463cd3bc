#include "capture/canvas/frame_editor.h"

#include "capture/canvas/frame_outline.h"
#include "capture/canvas/picture_box.h"
#include "common/numbers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace orvelle {

namespace {
constexpr int kLeftButton = 1;
} // namespace

FrameEditor::FrameEditor(FrameState &state, PictureBox &canvas, QLineEdit &ratioBox, FrameReadouts readouts,
                         std::function<FrameColour()> colour)
    : m_state(state), m_canvas(canvas), m_ratioBox(ratioBox), m_readouts(readouts), m_colour(std::move(colour)) {
  QObject::connect(&canvas, &PictureBox::mouseDown, &canvas,
                   [this](int b, int, float x, float y) { MouseDown(b, x, y); });
  QObject::connect(&canvas, &PictureBox::mouseMove, &canvas,
                   [this](int b, int, float x, float y) { MouseMove(b, x, y); });
  QObject::connect(&canvas, &PictureBox::mouseUp, &canvas, [this](int b, int, float x, float y) { MouseUp(b, x, y); });
}

FrameEditor::~FrameEditor() { QObject::disconnect(&m_canvas, nullptr, &m_canvas, nullptr); }

void FrameEditor::MarkRatioBox(bool holdsNumber) {
  const bool mark = !holdsNumber;
  if (mark == m_ratioBoxMarked) {
    return; // the style sheet is set only when the state changes
  }
  m_ratioBoxMarked = mark;
  m_ratioBox.setStyleSheet(mark ? QStringLiteral("QLineEdit { border: 2px solid #d00000; }") : QString());
  m_ratioBox.setToolTip(mark ? QStringLiteral("縦横比には数値を入力してください（0 で解除）") : QString());
}

bool FrameEditor::ReadRatio() {
  const auto number = ParseDecimal(m_ratioBox.text());
  const auto ratio = number ? ToSingle(*number) : std::nullopt;
  MarkRatioBox(ratio.has_value());
  if (!ratio) {
    return false;
  }
  m_state.FrameRatio = *ratio;
  return m_state.FrameRatio < kEditorOffRatio;
}

void FrameEditor::DrawTrackedFrame() {
  const float ratio = m_state.FrameRatio;
  const float cornerY = ratio != 0 ? AnchorY + (TrackX - AnchorX) * ratio : TrackY;
  DrawFrameOutline(m_canvas, QPointF(AnchorX, AnchorY), QPointF(TrackX, cornerY), m_colour());
}

void FrameEditor::MouseDown(int buttons, float x, float y) {
  // A left press only marks where a drag would start: a click that stays
  // within the drag distance focuses the canvas and leaves the frame be.
  m_pressed = (buttons & kLeftButton) != 0 ? std::optional<QPointF>(QPointF(x, y)) : std::nullopt;
}

bool FrameEditor::StartsDrag(float x, float y) const {
  if (!m_pressed) {
    return false;
  }
  const qreal pixelsPerPoint = m_canvas.devicePixelRatioF();
  const QPointF moved = (QPointF(x, y) - *m_pressed) / pixelsPerPoint;
  return moved.manhattanLength() >= QApplication::startDragDistance();
}

void FrameEditor::Press(int buttons, float x, float y) {
  if (!ReadRatio()) {
    return;
  }
  TrimFrame &trim = m_state.trim;
  if (buttons & kLeftButton) {
    AnchorX = x;
    AnchorY = y;
    TrackX = x;
    TrackY = y;
    trim.PicStartX = x;
    m_readouts.startX->setText(SingleText(trim.PicStartX));
    trim.PicStartY = y;
    m_readouts.startY->setText(SingleText(trim.PicStartY));
  }
  m_state.drag.NewPicStartX = 0;
  m_state.drag.NewPicStartY = 0;
}

void FrameEditor::MouseMove(int buttons, float x, float y) {
  if ((buttons & kLeftButton) != 0 && m_pressed) {
    if (!StartsDrag(x, y)) {
      return; // still a click
    }
    const QPointF press = *m_pressed;
    m_pressed.reset();
    m_dragging = true;
    Press(kLeftButton, float(press.x()), float(press.y()));
  }
  Track(m_dragging ? buttons : buttons & ~kLeftButton, x, y);
}

void FrameEditor::Track(int buttons, float x, float y) {
  if (!ReadRatio()) {
    return;
  }
  TrimFrame &trim = m_state.trim;
  const float ratio = m_state.FrameRatio;
  if (buttons & kLeftButton) {
    m_canvas.setDrawStyle(PictureBox::DrawStyle::Dot);
    m_canvas.clearDrawings();
    DrawTrackedFrame();
    TrackX = x;
    TrackY = ratio != 0 ? (x - AnchorX) * ratio : y;
    trim.PicWidth = x - trim.PicStartX;
    m_readouts.width->setText(SingleText(trim.PicWidth));
    if (!SetHeight(ratio != 0 ? ratio * trim.PicWidth : y - trim.PicStartY)) {
      return; // a height beyond any integer: the rest of the frame stays as it was
    }
  }
  // The output picture's placement follows the frame's size at every move.
  if (const auto height = ToInt16(trim.PicHeight)) {
    m_state.drag.NewPicWidth = trim.PicWidth;
    m_state.drag.NewPicHeight = *height;
  }
}

bool FrameEditor::SetHeight(float height) {
  const auto rounded = ToInt32(height);
  if (!rounded) {
    return false;
  }
  m_state.trim.PicHeight = *rounded;
  m_readouts.height->setText(IntegerText(*rounded));
  return true;
}

std::optional<QPoint> FrameEditor::Nudge(int key, int shift) {
  const int step = (shift & 1) != 0 ? 10 : 1;
  const bool resize = (shift & 2) != 0;
  const QPoint by = key == Qt::Key_Left    ? QPoint(-step, 0)
                    : key == Qt::Key_Right ? QPoint(step, 0)
                    : key == Qt::Key_Up    ? QPoint(0, -step)
                    : key == Qt::Key_Down  ? QPoint(0, step)
                                           : QPoint();
  TrimFrame &trim = m_state.trim;
  if (by.isNull() || (trim.PicWidth == 0 && trim.PicHeight == 0) || !ReadRatio()) {
    return std::nullopt;
  }
  const float ratio = m_state.FrameRatio;
  if (resize && by.y() != 0 && ratio != 0) {
    return std::nullopt; // the ratio holds the height
  }
  if (resize) {
    trim.PicWidth += static_cast<float>(by.x());
    if (!SetHeight(ratio != 0 ? ratio * trim.PicWidth : static_cast<float>(trim.PicHeight + by.y()))) {
      trim.PicWidth -= static_cast<float>(by.x());
      return std::nullopt;
    }
    m_readouts.width->setText(SingleText(trim.PicWidth));
  } else {
    trim.PicStartX += static_cast<float>(by.x());
    trim.PicStartY += static_cast<float>(by.y());
    m_readouts.startX->setText(SingleText(trim.PicStartX));
    m_readouts.startY->setText(SingleText(trim.PicStartY));
  }
  if (const auto height = ToInt16(trim.PicHeight)) {
    m_state.drag.NewPicWidth = trim.PicWidth;
    m_state.drag.NewPicHeight = *height;
  }
  // The frame as a drag to its moving corner would have left it.
  AnchorX = trim.PicStartX;
  AnchorY = trim.PicStartY;
  TrackX = trim.PicStartX + trim.PicWidth;
  TrackY = ratio != 0 ? (TrackX - AnchorX) * ratio : trim.PicStartY + static_cast<float>(trim.PicHeight);
  m_canvas.setDrawStyle(PictureBox::DrawStyle::Solid);
  m_canvas.clearDrawings();
  DrawTrackedFrame();
  return QPoint(static_cast<int>(trim.PicStartX + trim.PicWidth), static_cast<int>(trim.PicStartY) + trim.PicHeight);
}

void FrameEditor::MouseUp(int buttons, float /*x*/, float /*y*/) {
  const bool dragged = m_dragging;
  if (buttons & kLeftButton) {
    m_pressed.reset();
    m_dragging = false;
  }
  if (!ReadRatio()) {
    return;
  }
  if ((buttons & kLeftButton) && dragged) {
    m_canvas.setDrawStyle(PictureBox::DrawStyle::Solid);
    m_canvas.clearDrawings();
    DrawTrackedFrame();
  }
}

std::optional<float> FrameEditor::Ratio() {
  return ReadRatio() ? std::optional<float>(m_state.FrameRatio) : std::nullopt;
}

std::optional<QRect> FrameEditor::FrameRect() const {
  const TrimFrame &trim = m_state.trim;
  if (trim.PicWidth == 0 || trim.PicHeight == 0) {
    return std::nullopt;
  }
  const QPointF a(trim.PicStartX, trim.PicStartY);
  const QPointF b = a + QPointF(trim.PicWidth, trim.PicHeight);
  return QRectF(a, b).normalized().toRect();
}

void FrameEditor::DragFrame(const QRect &frame) {
  const auto x = float(frame.x()), y = float(frame.y());
  const float right = x + float(frame.width()), bottom = y + float(frame.height());
  // A negative ratio grows the frame upwards: the drag starts at the bottom
  // so that the frame covers the rectangle, not the one above it.
  const bool upwards = Ratio().value_or(0) < 0;
  Press(kLeftButton, x, upwards ? bottom : y);
  Track(kLeftButton, right, upwards ? y : bottom);
  m_dragging = true;
  MouseUp(kLeftButton, right, bottom);
}

void FrameEditor::ShowLoaded() {
  const TrimFrame &trim = m_state.trim;
  m_readouts.startX->setText(SingleText(trim.PicStartX));
  m_readouts.startY->setText(SingleText(trim.PicStartY));
  m_readouts.width->setText(SingleText(trim.PicWidth));
  m_readouts.height->setText(IntegerText(trim.PicHeight));
  m_ratioBox.setText(SingleText(m_state.FrameRatio));
  const auto x = static_cast<long long>(trim.PicStartX);
  const auto y = static_cast<long long>(trim.PicStartY);
  const auto w = static_cast<long long>(trim.PicWidth);
  const long long h = trim.PicHeight;
  DrawFrameOutline(m_canvas, QPointF(double(x), double(y)), QPointF(double(x + w), double(y + h)), m_colour());
}

} // namespace orvelle
