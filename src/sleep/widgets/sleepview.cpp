#include "sleep/widgets/sleepview.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QEvent>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/alarmnotifier.h"
#include "app/config.h"
#include "app/datafolders.h"
#include "app/widgets/editortext.h"
#include "app/widgets/fonts.h"
#include "app/widgets/messages.h"
#include "app/widgets/reportbar.h"
#include "core/clock.h"
#include "core/cyclemodel.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "sleep/alarmentry.h"
#include "sleep/sleepcycle.h"
#include "sleep/sleepreport.h"
#include "sleep/soundplayer.h"
#include "sleep/widgets/alarmsetdialog.h"
#include "sleep/widgets/effectsoundoutput.h"
#include "sleep/widgets/sleepgrid.h"

namespace {

constexpr int kPageWidth = 966;
constexpr int kPageHeight = 506;
constexpr int kPagesLeft = 160;

constexpr int kDayColumnWidth = 18;
constexpr int kSlotRowHeight = 8;    // 7 pixels and the grid line
constexpr int kHeaderRowHeight = 17;
constexpr int kDateRowHeight = 13;
constexpr int kHourRowHeight = 16;   // two slot rows
constexpr int kTimeColumnWidth = 62;
constexpr int kGridLeft = 8 + kTimeColumnWidth;
constexpr int kDateTop = 8;
constexpr int kGridTop = kDateTop + 3 * kDateRowHeight;
constexpr int kMidnightRow = 8;  // the line under slot 8 marks midnight

const QColor kHeaderColour(244, 244, 244);
const QColor kOddColumnColour(247, 247, 247);
const QColor kAsleepColour(145, 200, 255);
const QColor kDayLineColour(192, 192, 192);
const QColor kMidnightColour(0, 64, 128);
const QColor kSelectedDateColour(255, 0, 0);
const QColor kGridLineColour(224, 224, 224);
const QColor kCycleColour(0, 128, 255);

const QString kOneDecimal = QStringLiteral("0.0");

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int w,
                 int h) {
  auto* l = new QLabel(text, parent);
  if (!name.isEmpty()) l->setObjectName(name);
  l->setGeometry(x, y, w, h);
  return l;
}

QLabel* AddHeading(QWidget* parent, const QString& name, const QString& text, int x, int y,
                   int w) {
  QLabel* l = AddLabel(parent, name, text, x, y, w, 26);
  l->setFont(ArialFont(18, true));
  return l;
}

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& text, int x, int y,
                       int w, int h = 26) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setGeometry(x, y, w, h);
  b->setAutoDefault(false);
  return b;
}

void DrawGridLines(QPainter& p, const QRect& rect) {
  p.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), kGridLineColour);
  p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), kGridLineColour);
}

QRect Inner(const QRect& rect) { return rect.adjusted(0, 0, -1, -1); }

// Draws a single line inside rect, squeezed sideways when it is wider: three-letter day
// and month names and "10.5" must fit an 18-pixel day column.
void DrawFittedText(QPainter& p, const QRect& rect, const QString& text, Qt::Alignment align) {
  if (text.isEmpty() || rect.width() <= 0) return;
  const int width = p.fontMetrics().horizontalAdvance(text);
  p.setPen(Qt::black);
  if (width <= rect.width()) {
    p.drawText(rect, align | Qt::TextSingleLine, text);
    return;
  }
  p.save();
  p.translate(rect.left(), rect.top());
  p.scale(qreal(rect.width()) / width, 1.0);
  const Qt::Alignment vertical = align & Qt::AlignVertical_Mask;
  p.drawText(QRect(0, 0, width, rect.height()), vertical | Qt::AlignLeft | Qt::TextSingleLine, text);
  p.restore();
}

QLabel* AddNoSoundNotice(QWidget* page, const QString& name, int x, int y, int w) {
  QLabel* l = AddLabel(page, name,
                       QStringLiteral("No sound can play: this computer has no audio device. "
                                      "Alarms show here and as a desktop notice."),
                       x, y, w, 40);
  l->setWordWrap(true);
  l->setStyleSheet(QStringLiteral("color: rgb(180, 0, 0);"));
  l->hide();
  return l;
}

QChart* MakeChart() {
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(4, 4, 4, 4));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  return chart;
}

}  // namespace

SleepView::SleepView(ViewHost* host, const SleepSetup& setup, QWidget* parent)
    : QWidget(parent),
      host_(host),
      setup_(setup),
      player_(SoundPlayer::Instance()),
      clock_(SoundPlayer::Instance()) {
  setObjectName(setup_.objectName);
  EnsureSoundOutput();
  const QString folder = setup_.Folder(host_->Dir());
  log_.SetFolder(folder);
  bedList_.SetPath(folder + QStringLiteral("bedtimes.txt"));
  secondList_.SetPath(folder + QStringLiteral("wakeuptimes.txt"));
  BuildFrame();

  // 59 seconds, not 60: every minute of the clock sees at least one tick.
  clockTimer_ = new QTimer(this);
  clockTimer_->setObjectName(QStringLiteral("Clock"));
  clockTimer_->setInterval(AlarmClock::kTickMs);
  connect(clockTimer_, &QTimer::timeout, this, [this] { ClockTimer(); });
  clockTimer_->start();
  snoozeTimer_ = new QTimer(this);
  snoozeTimer_->setSingleShot(true);
  connect(snoozeTimer_, &QTimer::timeout, this, [this] { RingDueSnooze(); });
}

SleepView::~SleepView() = default;

QSize SleepView::sizeHint() const { return QSize(kPageWidth, kPageHeight); }

// ---------------------------------------------------------------------------------
// Building

void SleepView::BuildFrame() {
  resize(kPageWidth, kPageHeight);
  setFont(ArialFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);

  QLabel* title = AddLabel(this, QStringLiteral("Title"), setup_.title, 10, 8, 145, 30);
  title->setFont(ArialFont(21, true));

  shelf_ = new QListWidget(this);
  shelf_->setObjectName(QStringLiteral("Shelf"));
  shelf_->setGeometry(10, 44, 140, 22 * setup_.shelf.size() + 6);
  shelf_->setFont(ArialFont(13));
  for (const QString& text : setup_.shelf) {
    auto* item = new QListWidgetItem(text, shelf_);
    item->setSizeHint(QSize(130, 22));
    // An empty item names no page: it cannot be chosen.
    if (text.isEmpty()) item->setFlags(Qt::NoItemFlags);
  }
  connect(shelf_, &QListWidget::currentItemChanged, this,
          [this](QListWidgetItem* item, QListWidgetItem*) {
            if (item) ShowPage(item->text());
          });
  connect(shelf_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ShowPage(item->text()); });
  auto* report = new ReportBar(
      [this] { return WriteReport(); },
      setup_.kind == SleepViewKind::Kids ? QStringLiteral("Baby and kids report.pdf")
                                         : QStringLiteral("Sleep report.pdf"),
      this, Qt::Vertical);
  report->setGeometry(10, shelf_->geometry().bottom() + 16, 140, report->sizeHint().height());

  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("pgSleep"));
  pages_->setGeometry(kPagesLeft, 0, kPageWidth - kPagesLeft, kPageHeight);
  for (int i = 0; i < setup_.pages.size(); ++i) {
    auto* page = new QWidget(pages_);
    page->setProperty("caption", setup_.pages.at(i));
    page->setObjectName(QStringLiteral("Page") + QString::number(i));
    pages_->addWidget(page);
    switch (i) {
      case 0:
        BuildGoToBedPage(page);
        break;
      case 1:
        BuildTrackPage(page);
        break;
      case 4:
        BuildNotePage(page);
        break;
      case 5:
        BuildGraphPage(page);
        break;
      case 6:
        BuildSecondListPage(page);
        break;
      default:
        break;  // "Data" and "Dreams": no shelf item shows them
    }
  }
}

QTreeWidget* SleepView::MakeAlarmList(QWidget* page, const QString& name, const QString& column) {
  auto* list = new QTreeWidget(page);
  list->setObjectName(name);
  list->setColumnCount(1);
  list->setHeaderLabels({column});
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setGeometry(8, 40, 270, 290);
  return list;
}

void SleepView::BuildGoToBedPage(QWidget* page) {
  AddHeading(page, QString(), QString::fromLatin1(kGoToBedPage), 8, 8, 270);
  bedListView_ = MakeAlarmList(page, QStringLiteral("List_BedTimes"), QStringLiteral("Go to Bed"));
  connect(bedListView_, &QTreeWidget::itemChanged, this,
          [this](QTreeWidgetItem* item, int) { ListItemChanged(bedList_, bedListView_, item); });
  // The chart follows the selected bed time, by mouse or keyboard.
  connect(bedListView_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem*, QTreeWidgetItem*) { ShowBedTimeCycle(); });
  connect(AddButton(page, QStringLiteral("Button3"), QStringLiteral("Add"), 8, 336, 80),
          &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(AddButton(page, QStringLiteral("Button4"), QStringLiteral("Delete"), 96, 336, 80),
          &QPushButton::clicked, this, [this] { Button4Click(); });

  AddLabel(page, QString(), QStringLiteral("Go to bed to the sound of"), 8, 376, 270, 18);
  bedSound_ = new QComboBox(page);
  bedSound_->setObjectName(QStringLiteral("Bed_Sound"));
  bedSound_->addItems(BedSoundItems());
  bedSound_->setGeometry(8, 396, 150, 26);
  connect(bedSound_, &QComboBox::activated, this,
          [this](int) { host_->Settings().BedSound = bedSound_->currentText(); });
  connect(AddButton(page, QStringLiteral("Bed_Play"), QStringLiteral("Play"), 164, 396, 54),
          &QPushButton::clicked, this, [this] { Bed_PlayClick(); });
  connect(AddButton(page, setup_.bedStopName, QStringLiteral("Stop"), 224, 396, 54),
          &QPushButton::clicked, this, [this] { Alarm_StopButtonClick(); });
  bedNoSound_ = AddNoSoundNotice(page, QStringLiteral("Bed_NoSound"), 8, 430, 290);

  // The sleep-cycle chart, with the sleep depths named beside it.
  auto* chart = MakeChart();
  chart->setTitle(QStringLiteral("Adult Sleep Cycle (7.5 hours)"));
  QFont titleFont = ArialFont(13, true);
  chart->setTitleFont(titleFont);
  auto* cycle = new QLineSeries;
  cycle->setName(QStringLiteral("Sleep Cycle"));
  QPen cyclePen(kCycleColour);
  cyclePen.setWidth(2);
  cycle->setPen(cyclePen);
  auto* wake = new QLineSeries;
  wake->setName(QStringLiteral("Wake Up"));
  QPen wakePen(Qt::red);
  wakePen.setWidth(3);
  wake->setPen(wakePen);
  chart->addSeries(cycle);
  chart->addSeries(wake);
  auto* x = new QDateTimeAxis;
  x->setFormat(QStringLiteral("h AP"));
  x->setLabelsAngle(-90);
  x->setTruncateLabels(false);
  x->setLabelsFont(ArialFont(10));
  x->setTickCount(25);
  // The sleep depths name the values beside the chart: Awake 1 at the top down to Deep
  // Sleep -4.
  auto* y = new QCategoryAxis;
  y->setRange(-4.5, 1.5);
  y->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  y->append(QStringLiteral("Deep Sleep"), -4);
  y->append(QStringLiteral("Light Sleep"), -2);
  y->append(QStringLiteral("Dreaming"), -1);
  y->append(QStringLiteral("Awake"), 1);
  y->setLineVisible(false);
  y->setGridLineVisible(false);
  y->setLabelsFont(ArialFont(12));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QLineSeries* s : {cycle, wake}) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  cycleGraph_ = new QChartView(chart, page);
  cycleGraph_->setObjectName(QStringLiteral("Cycle_graph"));
  cycleGraph_->setRenderHint(QPainter::Antialiasing);
  cycleGraph_->setGeometry(300, 8, 498, 414);
  cycleGraph_->setFocusPolicy(Qt::NoFocus);
  cycleCaption_ = AddLabel(page, QStringLiteral("Cycle_Caption"), QString(), 304, 426, 494, 18);
  cycleCaption_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void SleepView::BuildTrackPage(QWidget* page) {
  dateChart_ = new SleepGrid(kSleepDayColumns, 3, page);
  dateChart_->setObjectName(QStringLiteral("Date_Chart"));
  for (int c = 0; c < kSleepDayColumns; ++c) dateChart_->SetColumnWidth(c, kDayColumnWidth);
  for (int r = 0; r < 3; ++r) dateChart_->SetRowHeight(r, kDateRowHeight);
  dateChart_->move(kGridLeft, kDateTop);
  dateChart_->setFont(ArialFont(9));
  dateChart_->SetTextSource([this](int c, int r) -> QString {
    const QDate d = log_.ColumnDate(c + 1);
    if (!initialised_ || !d.isValid()) return {};
    static const char* const kPatterns[] = {"ddd", "mmm", "d"};
    return FormatDate(QString::fromLatin1(kPatterns[r]), d);
  });
  dateChart_->SetCellPainter(
      [this](QPainter& p, const QRect& r, int c, int row) { PaintDateCell(p, r, c, row); });

  timeChart_ = new SleepGrid(1, 25, page);
  timeChart_->setObjectName(QStringLiteral("Time_Chart"));
  timeChart_->SetColumnWidth(0, kTimeColumnWidth);
  timeChart_->SetRowHeight(0, kHeaderRowHeight);
  for (int r = 1; r <= 24; ++r) timeChart_->SetRowHeight(r, kHourRowHeight);
  timeChart_->move(8, kGridTop);
  timeChart_->setFont(ArialFont(11));
  const QStringList hours = HourLabels();
  timeChart_->SetTextSource([hours](int, int r) { return hours.value(r); });
  timeChart_->SetCellPainter(
      [this](QPainter& p, const QRect& r, int c, int row) { PaintTimeCell(p, r, c, row); });

  sleepChart_ = new SleepGrid(kSleepDayColumns + 1, kSleepSlots + 1, page);
  sleepChart_->setObjectName(QStringLiteral("Sleep_Chart"));
  // Column 0 stands for the day before the window: it has no width and takes no clicks.
  sleepChart_->SetColumnWidth(0, 0);
  for (int c = 1; c <= kSleepDayColumns; ++c) sleepChart_->SetColumnWidth(c, kDayColumnWidth);
  sleepChart_->SetRowHeight(0, kHeaderRowHeight);
  for (int r = 1; r <= kSleepSlots; ++r) sleepChart_->SetRowHeight(r, kSlotRowHeight);
  sleepChart_->SetActiveRange(QRect(QPoint(1, 1), QPoint(kSleepDayColumns, kSleepSlots)));
  sleepChart_->move(kGridLeft, kGridTop);
  sleepChart_->setFont(ArialFont(9));
  sleepChart_->SetTextSource([this](int c, int r) -> QString {
    if (!initialised_ || c < 1 || c > kSleepDayColumns) return {};
    if (r == 0) return log_.HoursText(c);
    return log_.IsAsleep(c, r) ? QStringLiteral(" ") : QString();
  });
  sleepChart_->SetCellPainter(
      [this](QPainter& p, const QRect& r, int c, int row) { PaintSlotCell(p, r, c, row); });
  connect(sleepChart_, &SleepGrid::cellActivated, this,
          [this](int c, int r) { Sleep_ChartSelectCell(c, r); });
  connect(sleepChart_, &SleepGrid::paintStarted, this,
          [this](int c, int r) { PaintStarted(c, r); });
  connect(sleepChart_, &SleepGrid::paintEntered, this,
          [this](int c, int r) { PaintEntered(c, r); });
  connect(sleepChart_, &SleepGrid::paintFinished, this, [this] { PaintFinished(); });
  connect(sleepChart_, &SleepGrid::currentMoved, this, [this](int, int r) {
    // The keyboard only moves: the hint tells which half hour Space or Enter would mark.
    sleepChart_->setToolTip(SlotHint(r));
  });

  sleep7_ = AddLabel(page, QStringLiteral("Sleep_7"), QString(), kGridLeft,
                     kGridTop + sleepChart_->height() + 8, 600, 18);
  const int right = kGridLeft + sleepChart_->width() + 16;
  AddLabel(page, QStringLiteral("Sleep_Caption"), setup_.trackCaption, right, kGridTop, 120, 18);
  sleepLabel_ = AddLabel(page, QStringLiteral("Sleep_Label"), QString(), right, kGridTop + 20,
                         120, 26);
  sleepLabel_->setFont(ArialFont(18, true));
}

void SleepView::BuildGraphPage(QWidget* page) {
  AddHeading(page, QString(), QStringLiteral("Hours of sleep per day"), 8, 8, 400);
  AddLabel(page, QString(), QStringLiteral("30 Day Average"), 8, 38, 200, 18)
      ->setFont(ArialFont(13, true));
  rangeLabel_ = AddLabel(page, QStringLiteral("Label_Range"), QString(), 8, 58, 300, 18);

  auto* chart = MakeChart();
  auto* axisX = new QBarCategoryAxis;
  QStringList days;
  for (int w = 1; w <= 7; ++w) days << WeekdayName(w);
  axisX->append(days);
  auto* axisY = new QValueAxis;
  axisY->setTitleText(QStringLiteral("Hours of Sleep"));
  axisY->setLabelFormat(QStringLiteral("%.0f"));
  axisY->setRange(0, 10);
  axisY->setTickCount(6);
  chart->addAxis(axisX, Qt::AlignBottom);
  chart->addAxis(axisY, Qt::AlignLeft);
  weekChart_ = new QChartView(chart, page);
  weekChart_->setObjectName(QStringLiteral("Week_chart"));
  weekChart_->setGeometry(8, 84, 600, 380);
  weekChart_->setFocusPolicy(Qt::NoFocus);
}

void SleepView::BuildNotePage(QWidget* page) {
  AddHeading(page, QStringLiteral("Note_Heading"), setup_.noteHeading, 8, 8, 260);
  dateLabel_ = AddLabel(page, QStringLiteral("Date_Label"), QString(), 280, 12, 320, 22);
  dateLabel_->setFont(ArialFont(14));
  note_ = new QPlainTextEdit(page);
  note_->setObjectName(QStringLiteral("Note"));
  note_->setGeometry(8, 44, 600, 420);
  note_->setFont(ArialFont(13));
  note_->setTabChangesFocus(true);
  note_->installEventFilter(this);
  // A pause in typing writes the note, so that a crash loses at most the last seconds.
  noteTimer_ = new QTimer(this);
  noteTimer_->setSingleShot(true);
  noteTimer_->setInterval(2000);
  connect(noteTimer_, &QTimer::timeout, this, [this] { SaveDayNote(true); });
  connect(note_, &QPlainTextEdit::textChanged, this, [this] {
    if (!loadingNote_) noteTimer_->start();
  });
}

void SleepView::BuildSecondListPage(QWidget* page) {
  AddHeading(page, QStringLiteral("Second_Heading"), setup_.secondHeading, 8, 8, 270);
  secondListView_ = MakeAlarmList(page, QStringLiteral("List_WakeUp"), setup_.secondListColumn);
  connect(secondListView_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
    ListItemChanged(secondList_, secondListView_, item);
  });
  connect(AddButton(page, QStringLiteral("Button5"), QStringLiteral("Add"), 8, 336, 80),
          &QPushButton::clicked, this, [this] { Button5Click(); });
  connect(AddButton(page, QStringLiteral("Button6"), QStringLiteral("Delete"), 96, 336, 80),
          &QPushButton::clicked, this, [this] { Button6Click(); });

  QLabel* caption = AddLabel(page, QString(), setup_.secondSoundCaption, 8, 376, 300, 18);
  caption->setWordWrap(false);
  secondSound_ = new QComboBox(page);
  secondSound_->setObjectName(setup_.secondSoundName);
  secondSound_->addItems(setup_.secondSoundItems);
  secondSound_->setGeometry(8, 396, 150, 26);
  connect(secondSound_, &QComboBox::activated, this, [this](int) {
    Config& c = host_->Settings();
    (setup_.kind == SleepViewKind::Kids ? c.FeedSound : c.WakeUpSound) = secondSound_->currentText();
  });
  connect(AddButton(page, QStringLiteral("wakeup_play"), QStringLiteral("Play"), 164, 396, 54),
          &QPushButton::clicked, this, [this] { wakeup_playClick(); });

  QPushButton* stop = AddButton(page, QStringLiteral("Alarm_StopButton"), QStringLiteral("Stop"),
                                310, 40, 150, 56);
  stop->setFont(ArialFont(18, true));
  connect(stop, &QPushButton::clicked, this, [this] { Alarm_StopButtonClick(); });
  QPushButton* snooze = AddButton(page, QStringLiteral("Alarm_SnoozeButton"),
                                  QStringLiteral("Snooze"), 310, 104, 150, 56);
  snooze->setFont(ArialFont(18, true));
  snooze->setToolTip(QStringLiteral("Snooze 5 Minutes"));
  connect(snooze, &QPushButton::clicked, this, [this] { Alarm_SnoozeButtonClick(); });
  secondNoSound_ = AddNoSoundNotice(page, QStringLiteral("Alarm_NoSound"), 310, 170, 300);
}

// ---------------------------------------------------------------------------------
// Dates

void SleepView::ShowDate(const QDate& date) {
  if (!date.isValid()) return;
  if (initialised_) SaveSleepState();
  selected_ = date;
  // The note always belongs to the date shown: typing there writes into that day.
  LoadDayNote(date);
  OpenYear(date);
  BuildWindow();
  dateLabel_->setText(FormatDate(QStringLiteral("mmmm d, yyyy"), date));
  initialised_ = true;
  ShowDayFigures();

  QListWidgetItem* item = shelf_->currentItem();
  if (!item) {
    const QSignalBlocker block(shelf_);
    shelf_->setCurrentRow(0);
    item = shelf_->currentItem();
  }
  if (item) ShowPage(item->text());

  LoadLists();
  SelectSounds();
  RefreshCharts();
}

void SleepView::OpenYear(const QDate& date) {
  QStringList errors;
  log_.Open(date, &errors);
  ReportErrors(errors);
}

void SleepView::BuildWindow() {
  // The slot grid asks the log at paint time: the keyboard's current cell goes to the
  // selected day, so that Space marks a slot of that day.
  const int c = log_.DateColumn(selected_);
  if (c > 0) {
    const int row = std::max(sleepChart_->CurrentRow(), 1);
    sleepChart_->SetCurrent(c, row);
  } else {
    sleepChart_->SetCurrent(-1, -1);
  }
  sleepChart_->update();
  dateChart_->update();
}

void SleepView::ShowDayFigures() {
  const int c = log_.DateColumn(selected_);
  const double hours = c > 0 ? log_.ColumnHours(c) : 0.0;
  sleepLabel_->setText(FormatNumber(kOneDecimal, hours) + QStringLiteral(" hours"));
  sleep7_->setText(AveragesText(log_.Averages(selected_)));
}

void SleepView::RefreshCharts() {
  if (!initialised_) return;
  sleepChart_->update();
  dateChart_->update();
}

bool SleepView::MarkSlot(int col, int row, bool asleep) {
  if (!initialised_ || col < 1 || col > kSleepDayColumns || row < 1 || row > kSleepSlots)
    return false;
  QString error;
  if (!log_.SetAsleep(col, row, asleep, &error)) {
    if (!error.isEmpty()) ShowError(error, this);
    return false;
  }
  selected_ = log_.ColumnDate(col);
  host_->SetSelectedDate(selected_);
  sleepChart_->SetCurrent(col, row);
  ShowDayFigures();
  dateLabel_->setText(FormatDate(setup_.toggleDatePattern, selected_));
  sleepChart_->setToolTip(SlotHint(row));
  // The column's slots and its hours in the header row.
  const QRect column = sleepChart_->CellRect(col, 0).united(sleepChart_->CellRect(col, kSleepSlots));
  sleepChart_->update(column.adjusted(-1, -1, 1, 1));
  return true;
}

void SleepView::SlotsMarked() {
  SaveSleepState();
  LoadDayNote(selected_);
  dateChart_->update();
}

void SleepView::Sleep_ChartSelectCell(int col, int row) {
  if (!initialised_) return;
  if (MarkSlot(col, row, !log_.IsAsleep(col, row))) SlotsMarked();
}

void SleepView::PaintStarted(int col, int row) {
  paintMarked_ = false;
  painting_ = initialised_;
  if (!painting_) return;
  paintAsleep_ = !log_.IsAsleep(col, row);
  paintMarked_ = MarkSlot(col, row, paintAsleep_);
  // A year that takes no marks is told once, not at every slot of the stroke.
  painting_ = paintMarked_;
}

void SleepView::PaintEntered(int col, int row) {
  if (!painting_) return;
  if (MarkSlot(col, row, paintAsleep_)) paintMarked_ = true;
  else painting_ = false;
}

void SleepView::PaintFinished() {
  painting_ = false;
  if (!paintMarked_) return;
  paintMarked_ = false;
  SlotsMarked();
}

void SleepView::SaveSleepState() {
  if (!initialised_) return;
  QStringList errors;
  log_.Save(&errors);
  for (AlarmList* list : {&bedList_, &secondList_}) {
    if (!list->HasUnsavedChanges()) continue;
    QString error;
    if (!list->Save(&error)) errors << error;
  }
  if (errors.isEmpty()) {
    unsavedReported_.clear();  // a failure after this one is news again
    return;
  }
  // A disk that is full stays full for a while: each failure is told once, not again at
  // every click and date change that retries the save, until a save works again.
  QStringList news;
  for (const QString& e : std::as_const(errors))
    if (!unsavedReported_.contains(e)) news << e;
  for (const QString& e : std::as_const(news)) unsavedReported_.insert(e);
  if (!news.isEmpty()) ShowError(news.join(u'\n'), this);
}

void SleepView::SaveOnLeave() {
  SaveDayNote();
  SaveUnsavedNotes();
  SaveSleepState();
}

void SleepView::ReportErrors(const QStringList& errors) {
  for (const QString& e : errors) ShowError(e, this);
}

// ---------------------------------------------------------------------------------
// Pages

QString SleepView::CurrentPage() const {
  const QWidget* page = pages_->currentWidget();
  return page ? page->property("caption").toString() : QString();
}

void SleepView::ShowPage(int page) {
  if (page >= 0 && page < setup_.pages.size()) ShowPage(setup_.pages.at(page));
}

void SleepView::ShowPage(const QString& caption) {
  if (caption.isEmpty()) return;
  for (int i = 0; i < pages_->count(); ++i) {
    if (pages_->widget(i)->property("caption").toString() != caption) continue;
    pages_->setCurrentIndex(i);
    // The shelf shows which page is in front, whoever turned it.
    const QList<QListWidgetItem*> items = shelf_->findItems(caption, Qt::MatchExactly);
    if (!items.isEmpty() && shelf_->currentItem() != items.first()) {
      const QSignalBlocker block(shelf_);
      shelf_->setCurrentItem(items.first());
    }
    if (caption == setup_.graphPage) ShowWeekdayChart(selected_);
    return;
  }
}

void SleepView::ShowWeekdayChart(const QDate& date) {
  if (!date.isValid()) return;
  rangeLabel_->setText(WeekdayRangeText(date));
  const std::array<double, 7> hours = log_.Weekdays(date);

  QChart* chart = weekChart_->chart();
  // A new series each time, so the chart's theme gives every bar its own colour.
  for (QAbstractSeries* s : chart->series()) {
    chart->removeSeries(s);
    delete s;
  }
  auto* series = new QStackedBarSeries;
  series->setBarWidth(0.7);
  double top = 0;
  for (int w = 0; w < 7; ++w) {
    auto* set = new QBarSet(WeekdayName(w + 1));
    for (int i = 0; i < 7; ++i) *set << (i == w ? hours[w] : 0.0);
    series->append(set);
    top = std::max(top, hours[w]);
  }
  chart->addSeries(series);
  for (QAbstractAxis* axis : chart->axes()) series->attachAxis(axis);
  if (auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0))) {
    // A tick every two hours, so that every label is a whole number of hours.
    const int hoursTop = std::max(10, 2 * int(std::ceil((top + 1) / 2)));
    y->setRange(0, hoursTop);
    y->setTickCount(hoursTop / 2 + 1);
  }
}

// ---------------------------------------------------------------------------------
// The day note

void SleepView::LoadDayNote(const QDate& date) {
  SaveDayNote();
  notePath_ = SleepNotePath(setup_.Folder(host_->Dir()), date);
  MemoText memo;
  bool unsaved = false;
  if (unsavedNotes_.contains(notePath_)) {
    memo.text = unsavedNotes_.value(notePath_);
    unsaved = true;
  } else {
    QString error;
    // One that cannot be read is shown empty and read-only (whatever was typed could only
    // be written over it); one shown only (far too large, damaged) read-only as well.
    if (!ReadMemoText(notePath_, &memo, &error)) ShowError(error, this);
    else if (memo.readOnly) ShowError(ReadOnlyNotice(notePath_), this);
  }
  loadingNote_ = true;
  note_->setPlainText(memo.text);
  note_->setReadOnly(memo.readOnly);
  note_->document()->setModified(unsaved);
  loadingNote_ = false;
}

bool SleepView::SaveDayNote(bool quiet) {
  noteTimer_->stop();
  if (notePath_.isEmpty() || !note_->document()->isModified() || !MayWriteFile(notePath_))
    return true;
  const QString text = EditorText(note_);
  // An empty note is an empty file; otherwise every line ends with CR LF.
  const QStringList lines = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  QString error;
  if (!WriteTextLines(notePath_, lines, &error)) {
    unsavedNotes_.insert(notePath_, text);
    if (!quiet) ShowError(error, this);
    return false;
  }
  unsavedNotes_.remove(notePath_);
  note_->document()->setModified(false);
  return true;
}

void SleepView::SaveUnsavedNotes() {
  // Notes of other days whose write failed: one more try before the program ends.
  const QStringList paths = unsavedNotes_.keys();
  for (const QString& path : paths) {
    if (path == notePath_) continue;
    const QString text = unsavedNotes_.value(path);
    QString error;
    if (WriteTextLines(path, text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n')), &error))
      unsavedNotes_.remove(path);
    else
      ShowError(error, this);
  }
}

bool SleepView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == note_ && event->type() == QEvent::FocusOut) NoteExit();
  return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------
// Alarm lists

void SleepView::LoadLists() {
  for (auto [list, view] : {std::pair{&bedList_, bedListView_}, std::pair{&secondList_, secondListView_}}) {
    QString error;
    list->Load(&error);
    ShowError(error, this);  // a read error, or the notice of a list read only in part
    FillListItems(*list, view);
  }
  ShowBedTimeCycle();
}

void SleepView::FillList(const AlarmList& list, QTreeWidget* view) {
  if (!view) return;
  FillListItems(list, view);
  // The chart shows the bed time now selected (a delete selects the next one), or the
  // night before the wake-up time.
  ShowBedTimeCycle();
}

void SleepView::FillListItems(const AlarmList& list, QTreeWidget* view) {
  const QSignalBlocker block(view);
  const int current = view->indexOfTopLevelItem(view->currentItem());
  view->clear();
  for (const ListViewItem& entry : list.Items()) {
    auto* item = new QTreeWidgetItem(view, {entry.caption});
    if (list.HasCheckBoxes()) {
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(0, entry.checked ? Qt::Checked : Qt::Unchecked);
    } else {
      item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    }
  }
  if (current >= 0 && current < view->topLevelItemCount())
    view->setCurrentItem(view->topLevelItem(current));
}

void SleepView::SaveList(AlarmList& list) {
  QString error;
  if (!list.Save(&error)) ShowError(error, this);
}

void SleepView::AddEntry(AlarmList& list, QTreeWidget* view) {
  if (list.ReadFailed()) {
    ShowError(list.RefusedMessage(), this);
    return;
  }
  AlarmSetDialog dialog(this);
  if (dialog.exec() == QDialog::Accepted) {
    if (dialog.Frequency() == AlarmFrequency::Weekly && dialog.Weekdays() == 0) {
      ShowMessage(QStringLiteral("No Days of the Week Selected"), this);
      return;
    }
    const QString days =
        AlarmDaysText(dialog.Frequency(), dialog.Weekdays(), dialog.FixedDate());
    list.Insert(MakeAlarmEntry(days, dialog.Time()));
    FillList(list, view);
    view->setCurrentItem(view->topLevelItem(0));
  }
  SaveList(list);
}

void SleepView::DeleteEntry(AlarmList& list, QTreeWidget* view) {
  if (list.ReadFailed()) {
    ShowError(list.RefusedMessage(), this);
    return;
  }
  const int i = view->indexOfTopLevelItem(view->currentItem());
  if (i >= 0 && view->currentItem()->isSelected()) {
    list.Remove(i);
    FillList(list, view);
  }
  SaveList(list);
}

void SleepView::ListItemChanged(AlarmList& list, QTreeWidget* view, QTreeWidgetItem* item) {
  const int i = view->indexOfTopLevelItem(item);
  if (i < 0 || !list.HasCheckBoxes()) return;
  const bool checked = item->checkState(0) == Qt::Checked;
  if (i >= list.Count() || list.Items().at(i).checked == checked) return;
  // The clock obeys at once, and the file keeps it at once.
  list.SetChecked(i, checked);
  SaveList(list);
}

// ---------------------------------------------------------------------------------
// Sounds and the clock

void SleepView::SelectSounds() {
  const Config& c = host_->Settings();
  const QSignalBlocker b1(bedSound_);
  const QSignalBlocker b2(secondSound_);
  bedSound_->setCurrentIndex(SelectComboItem(BedSoundItems(), c.BedSound));
  const QString second = setup_.kind == SleepViewKind::Kids ? c.FeedSound : c.WakeUpSound;
  secondSound_->setCurrentIndex(SelectComboItem(setup_.secondSoundItems, second));
}

QString SleepView::SoundPath(const QString& file) const {
  return file.isEmpty() ? QString() : host_->Dir().SoundFolder() + file;
}

QString SleepView::AlarmSoundPath(int list) const {
  if (list == AlarmClock::kBedList) return SoundPath(BedSoundFile(bedSound_->currentText()));
  return SoundPath(setup_.SecondSoundFile(secondSound_->currentIndex(), secondSound_->currentText()));
}

void SleepView::Bed_PlayClick() { player_.Play(AlarmSoundPath(AlarmClock::kBedList)); }

void SleepView::wakeup_playClick() { player_.Play(AlarmSoundPath(AlarmClock::kSecondList)); }

void SleepView::Alarm_StopButtonClick() {
  clock_.Stop();
  snoozeTimer_->stop();
  WithdrawNotice();
}

void SleepView::Alarm_SnoozeButtonClick() {
  if (!clock_.Snooze(Clock::Now())) return;
  snoozeTimer_->start(AlarmClock::kSnoozeMinutes * 60 * 1000);
  WithdrawNotice();  // back when the snooze rings
}

void SleepView::RingDueSnooze() {
  if (clock_.RingDueSnooze(Clock::Now())) AlarmRang(ringingList_, ringingCaption_, true);
}

void SleepView::ClockTimer() {
  const AlarmClock::TickResult r =
      clock_.Tick(Clock::Now(), {&bedList_, &secondList_},
                  [this](int list) { return AlarmSoundPath(list); });
  if (r.stopped) WithdrawNotice();
  // The second list's sound replaces the bed time's when both ring in one tick.
  const int list = r.secondRang ? AlarmClock::kSecondList
                   : r.bedRang  ? AlarmClock::kBedList
                                : -1;
  if (list >= 0) {
    const AlarmList& rang = list == AlarmClock::kBedList ? bedList_ : secondList_;
    const int e = r.entry[list];
    AlarmRang(list, e >= 0 && e < rang.Count() ? rang.Items().at(e).caption : QString(), false);
  } else if (r.snoozeRang) {
    AlarmRang(ringingList_, ringingCaption_, true);
  }
}

void SleepView::AlarmRang(int list, const QString& caption, bool snoozed) {
  if (list < 0) return;
  ringingList_ = list;
  ringingCaption_ = caption;
  // The window comes forward with this view, on the page of the ringing list's Stop (and
  // Snooze) button.
  host_->RaiseView(this);
  ShowPage(setup_.pages.at(list == AlarmClock::kSecondList ? 6 : 0));
  const bool heard = player_.CanBeHeard();
  (list == AlarmClock::kSecondList ? secondNoSound_ : bedNoSound_)->setVisible(!heard);
  AlarmNotifier* notifier = host_->Notifier();
  if (!notifier) return;
  AlarmNotice notice;
  notice.title = list == AlarmClock::kSecondList ? setup_.secondNoticeTitle : setup_.bedNoticeTitle;
  QStringList lines;
  if (!caption.isEmpty()) lines << caption;
  if (snoozed) lines << QStringLiteral("Snoozed for %1 minutes").arg(AlarmClock::kSnoozeMinutes);
  if (!heard) lines << QStringLiteral("No sound can play: this computer has no audio device.");
  notice.text = lines.join(u'\n');
  // The notice may outlive the view (a restore makes the views again).
  const QPointer<SleepView> self(this);
  notifier->Show(setup_.objectName, notice, [self](AlarmAnswer answer) {
    if (!self) return;
    if (answer == AlarmAnswer::Stop) self->Alarm_StopButtonClick();
    else self->Alarm_SnoozeButtonClick();
  });
}

void SleepView::WithdrawNotice() {
  if (AlarmNotifier* notifier = host_->Notifier()) notifier->Withdraw(setup_.objectName);
}

// ---------------------------------------------------------------------------------
// The sleep-cycle chart

void SleepView::ShowBedTimeCycle() {
  QTreeWidgetItem* item = bedListView_->currentItem();
  const int i = item ? bedListView_->indexOfTopLevelItem(item) : -1;
  // The kids' second list holds feeding times, not the end of a night.
  const ChartNight night =
      ChartNightOf(bedList_, i, setup_.kind == SleepViewKind::Sleep ? &secondList_ : nullptr);
  cycleCaption_->setText(night.caption);
  DrawSleepCycle(night.bedTime);
}

void SleepView::ClearSleepCycle() {
  QChart* chart = cycleGraph_->chart();
  for (QAbstractSeries* s : chart->series())
    if (auto* line = qobject_cast<QLineSeries*>(s)) line->clear();
  for (QAbstractAxis* a : chart->axes(Qt::Horizontal)) a->setVisible(false);
}

void SleepView::DrawSleepCycle(const QDateTime& bedTime) {
  if (!bedTime.isValid()) {
    ClearSleepCycle();
    return;
  }
  QChart* chart = cycleGraph_->chart();
  auto* cycle = qobject_cast<QLineSeries*>(chart->series().value(0));
  auto* wake = qobject_cast<QLineSeries*>(chart->series().value(1));
  auto* x = qobject_cast<QDateTimeAxis*>(chart->axes(Qt::Horizontal).value(0));
  if (!cycle || !wake || !x) return;
  // Stairs: each value holds until the next quarter hour.
  QList<QPointF> steps;
  const QList<SleepCyclePoint> points = SleepCyclePoints(bedTime);
  for (int i = 0; i < points.size(); ++i) {
    const qreal t0 = qreal(points.at(i).at.toMSecsSinceEpoch());
    const qreal t1 = qreal(points.at(i).at.addSecs(15 * 60).toMSecsSinceEpoch());
    steps << QPointF(t0, points.at(i).value) << QPointF(t1, points.at(i).value);
  }
  cycle->replace(steps);
  const qreal w = qreal(WakeUpTime(bedTime).toMSecsSinceEpoch());
  wake->replace({QPointF(w, -4), QPointF(w, 1)});
  x->setRange(bedTime, bedTime.addDays(1));
  x->setVisible(true);
}

// ---------------------------------------------------------------------------------
// Painting

void SleepView::PaintSlotCell(QPainter& p, const QRect& rect, int col, int row) const {
  const QRect cell = Inner(rect);
  p.fillRect(cell, row == 0 ? kHeaderColour : QColor(Qt::white));
  DrawGridLines(p, rect);
  if (!initialised_ || col < 1) return;
  if (row == 0) {
    DrawFittedText(p, cell.adjusted(1, 0, -1, 0), sleepChart_->Text(col, 0), Qt::AlignCenter);
    return;
  }
  // Alternate day columns are lightly shaded.
  if (col % 2) p.fillRect(cell, kOddColumnColour);
  // Reaching one pixel above and below, so that neighbouring asleep slots join into a bar.
  if (log_.IsAsleep(col, row)) p.fillRect(cell.adjusted(0, -1, 0, 1), kAsleepColour);
  const QDate date = log_.ColumnDate(col);
  if (date == Clock::Today() || date.dayOfWeek() == Qt::Monday)
    p.fillRect(QRect(cell.left(), rect.top(), 1, rect.height()), kDayLineColour);
  if (row == kMidnightRow)
    p.fillRect(QRect(rect.left() - 1, rect.bottom(), rect.width() + 2, 1), kMidnightColour);
}

void SleepView::PaintDateCell(QPainter& p, const QRect& rect, int col, int row) const {
  if (!initialised_) return;
  const QDate date = log_.ColumnDate(col + 1);
  const QRect cell = Inner(rect).adjusted(-1, -1, 1, 1);
  p.fillRect(cell, CycleColour(host_->Cycle(), date));
  // The text 2 pixels right of and below the filled rectangle's corner, within the column.
  DrawFittedText(p, QRect(cell.topLeft() + QPoint(2, 2), QSize(cell.width() - 3, cell.height() - 2)),
                 dateChart_->Text(col, row), Qt::AlignLeft | Qt::AlignTop);
  if (date == selected_) {
    p.fillRect(QRect(cell.left(), rect.top(), 2, rect.height()), kSelectedDateColour);
    p.fillRect(QRect(cell.right() - 2, rect.top(), 2, rect.height()), kSelectedDateColour);
  }
}

void SleepView::PaintTimeCell(QPainter& p, const QRect& rect, int, int row) const {
  const QRect cell = Inner(rect);
  p.fillRect(cell, kHeaderColour);
  DrawGridLines(p, rect);
  p.setPen(Qt::black);
  p.drawText(cell.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
             timeChart_->Text(0, row));
}

// ---------------------------------------------------------------------------------
// Report

QString SleepView::WriteReport() {
  SleepReportInput in;
  in.title = setup_.kind == SleepViewKind::Kids ? QStringLiteral("Baby & Kids Tracker")
                                                : QStringLiteral("Sleep Tracker");
  in.selected = selected_.isValid() ? selected_ : host_->SelectedDate();
  // The grid as the page draws it, whichever page is in front.
  if (QWidget* page = sleepChart_ ? sleepChart_->parentWidget() : nullptr) {
    // A page never shown has not been given its size yet.
    if (page->size() != pages_->size()) page->resize(pages_->size());
    in.grid = QImage(page->size(), QImage::Format_RGB32);
    in.grid.fill(Qt::white);
    page->render(&in.grid);
  }
  const QString base = SleepReportBase(setup_.kind);
  QString error;
  if (!WriteSleepReport(host_->Dir().BuildFolder(), base, in, log_, &error)) {
    ShowError(error, this);
    return {};
  }
  return host_->Dir().BuildFolder() + base + QStringLiteral(".html");
}
