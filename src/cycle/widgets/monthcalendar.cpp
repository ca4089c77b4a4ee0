#include "cycle/widgets/monthcalendar.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/dateview.h"
#include "core/clock.h"
#include "core/textutil.h"
#include "core/cyclemodel.h"
#include "cycle/gridpictures.h"
#include "cycle/monthlayout.h"

namespace {

const QColor kGridGrey(128, 128, 128);
const QColor kGridLine(192, 192, 192);
const QColor kCrossColour(255, 117, 117);
constexpr int kCrossClipWidth = 12;

QFont GridFont(int points) {
  QFont f(QStringLiteral("Arial"), points, QFont::Bold);
  return f;
}

// Text centred in r the way the grid always did it: whole-pixel halves, rounded toward
// zero, from the font's full height.
void DrawCentred(QPainter& p, const QRect& r, const QString& text) {
  const QFontMetrics fm = p.fontMetrics();
  const int left = r.left() + (r.width() - fm.horizontalAdvance(text)) / 2;
  const int top = r.top() + (r.height() - fm.height()) / 2;
  p.drawText(left, top + fm.ascent(), text);
}

}  // namespace

MonthCalendar::MonthCalendar(ViewHost* host, CurrentViewFn currentView, QWidget* parent)
    : QWidget(parent), host_(host), currentView_(std::move(currentView)) {
  QDate start = host_ ? host_->SelectedDate() : QDate();
  if (!start.isValid()) start = Clock::Today();
  date_ = QDate(start.year(), start.month(), 1);
  setFont(GridFont(15));
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void MonthCalendar::MoveToDate(const QDate& date) {
  if (!date.isValid()) return;
  SelectDate(date);
}

void MonthCalendar::SelectDate(const QDate& date) {
  const bool differs = date != date_;
  date_ = date;
  update();
  if (differs) emit dateChanged(date_);
}

QRect MonthCalendar::CellRect(int col, int row) const {
  return GridCellRect(col, row, width(), height());
}

QRect MonthCalendar::DayRect(const QDate& date) const {
  if (!date.isValid() || date.year() != date_.year() || date.month() != date_.month()) return {};
  const QPoint cell = CellOfDay(date.year(), date.month(), date.day());
  return CellRect(cell.x(), cell.y());
}

void MonthCalendar::SetPredictedDays(PredictedFn predicted) {
  predicted_ = std::move(predicted);
  update();
}

bool MonthCalendar::ShowsGoalMarks() const {
  const QString viewName = host_ ? host_->CurrentViewName() : QString();
  return viewName == QLatin1String("calendar") || viewName == QLatin1String("basal");
}

bool MonthCalendar::FramesPredicted(const QDate& date) const {
  return predicted_ && ShowsGoalMarks() && date.isValid() && predicted_(date);
}

QImage MonthCalendar::RenderImage() {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  // The picture is the month, not the keyboard focus.
  rendering_ = true;
  render(&image);
  rendering_ = false;
  return image;
}

void MonthCalendar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int w = width(), h = height();
  p.fillRect(rect(), Qt::white);

  // Lines between the cells only; the pixels right of and below the last cells stay white.
  const int cw = GridColumnWidth(w), rh = GridRowHeight(h);
  const int gridW = kGridColumns * cw + (kGridColumns - 1) * kGridLineWidth;
  const int gridH = kGridRows * rh + (kGridRows - 1) * kGridLineWidth;
  for (int c = 1; c < kGridColumns; ++c)
    p.fillRect(c * (cw + kGridLineWidth) - kGridLineWidth, 0, kGridLineWidth, gridH, kGridLine);
  for (int r = 1; r < kGridRows; ++r)
    p.fillRect(0, r * (rh + kGridLineWidth) - kGridLineWidth, gridW, kGridLineWidth, kGridLine);

  static const CycleSettings kNoSettings;
  const CycleSettings& cycle = host_ ? host_->Cycle() : kNoSettings;
  const bool goalMarks = ShowsGoalMarks();
  // The calendar report's picture stays the settings' calendar.
  const bool predictedFrames = goalMarks && predicted_ && !rendering_;
  const QColor frameColour = PredictedWindowColour();

  // What the tracker view on screen marks, asked once per repaint.
  DateView* view = currentView_ ? currentView_() : nullptr;
  const QImage* trackerPicture = nullptr;
  if (view && view->HasLoaded()) {
    switch (view->MarkPicture()) {
      case DayMarkPicture::Berry: trackerPicture = &GridPictureImage(GridPicture::Berry); break;
      case DayMarkPicture::Arrow: trackerPicture = &GridPictureImage(GridPicture::Arrow); break;
      case DayMarkPicture::None: break;
    }
  }

  const QFont normalFont = GridFont(15);
  const QFont selectedFont = GridFont(21);
  QFont crossFont(QStringLiteral("Arial"), 9);
  const QLocale locale = AppLocale();
  const int year = date_.year(), month = date_.month();

  for (int row = 0; row < kGridRows; ++row) {
    for (int col = 0; col < kGridColumns; ++col) {
      const QRect r = CellRect(col, row);
      QString text;
      int day = 0;
      if (row == 0) {
        // Sunday first; QLocale counts Monday 1 .. Sunday 7.
        text = locale.dayName(col == 0 ? 7 : col, QLocale::ShortFormat);
      } else {
        day = DayAtCell(year, month, col, row);
        if (day > 0) text = QString::number(day);
      }
      const QDate cellDate = day > 0 ? QDate(year, month, day) : QDate();
      const QColor background = day > 0 ? CycleColour(cycle, cellDate) : QColor(Qt::white);
      const bool selected = day > 0 && day == date_.day();

      p.fillRect(r, background);
      if (!text.isEmpty()) {
        p.setFont(selected ? selectedFont : normalFont);
        p.setPen(selected ? QColor(Qt::black) : kGridGrey);
        DrawCentred(p, r, text);
      }
      if (day == 0) continue;

      if (trackerPicture && view->IsDayMarked(cellDate))
        p.drawImage(r.left() + 1, r.top() + 1, *trackerPicture);

      if (predictedFrames && predicted_(cellDate)) {
        constexpr int kFrame = 2;
        p.fillRect(QRect(r.left(), r.top(), r.width(), kFrame), frameColour);
        p.fillRect(QRect(r.left(), r.bottom() - kFrame + 1, r.width(), kFrame), frameColour);
        p.fillRect(QRect(r.left(), r.top(), kFrame, r.height()), frameColour);
        p.fillRect(QRect(r.right() - kFrame + 1, r.top(), kFrame, r.height()), frameColour);
      }

      if (!goalMarks) continue;
      switch (GoalMark(cycle, cellDate)) {
        case GoalMarkKind::Heart:
          p.drawImage(r.left() + 1, r.top() + 10, GridPictureImage(GridPicture::Heart));
          break;
        case GoalMarkKind::OvulationHeart:
          p.drawImage(r.left() + 1, r.top() + 10,
                      GridPictureImage(GridPicture::HeartOvulation));
          break;
        case GoalMarkKind::Cross: {
          const QRect clip = QRect(r.left(), r.top(), kCrossClipWidth, r.height()) & r;
          p.save();
          p.setClipRect(clip);
          p.fillRect(clip, background);
          p.setFont(crossFont);
          p.setPen(kCrossColour);
          p.drawText(r.left() + 1, r.top() + 10 + p.fontMetrics().ascent(), QStringLiteral("x"));
          p.restore();
          break;
        }
        case GoalMarkKind::None:
          break;
      }
    }
  }

  // Where the keyboard is: a dotted frame inside the selected day.
  if (hasFocus() && !rendering_) {
    const int index = QDate(year, month, 1).dayOfWeek() % 7 + date_.day() - 1;
    const QRect r = CellRect(index % 7, 1 + index / 7).adjusted(1, 1, -2, -2);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
  }
}

void MonthCalendar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  const QPoint cell = GridCellAt(event->position().toPoint(), width(), height());
  const int day = DayAtCell(date_.year(), date_.month(), cell.x(), cell.y());
  if (day > 0) SelectDate(QDate(date_.year(), date_.month(), day));
}

void MonthCalendar::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
  QWidget::mouseDoubleClickEvent(event);
}

void MonthCalendar::keyPressEvent(QKeyEvent* event) {
  QDate next;
  switch (event->key()) {
    case Qt::Key_Left: next = date_.addDays(-1); break;
    case Qt::Key_Right: next = date_.addDays(1); break;
    case Qt::Key_Up: next = date_.addDays(-kGridColumns); break;
    case Qt::Key_Down: next = date_.addDays(kGridColumns); break;
    case Qt::Key_PageUp: next = date_.addMonths(-1); break;
    case Qt::Key_PageDown: next = date_.addMonths(1); break;
    default: QWidget::keyPressEvent(event); return;
  }
  // The keys walk on into the month before or after, as a calendar's days do.
  if (next.isValid()) SelectDate(next);
}

void MonthCalendar::contextMenuEvent(QContextMenuEvent* event) {
  QDate day = date_;
  QPoint at = event->globalPos();
  if (event->reason() == QContextMenuEvent::Mouse) {
    const QPoint cell = GridCellAt(event->pos(), width(), height());
    const int d = DayAtCell(date_.year(), date_.month(), cell.x(), cell.y());
    if (d <= 0) return;
    day = QDate(date_.year(), date_.month(), d);
    SelectDate(day);
  } else {
    at = mapToGlobal(DayRect(day).center());
  }
  emit dayMenuRequested(day, at);
}

void MonthCalendar::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void MonthCalendar::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}
