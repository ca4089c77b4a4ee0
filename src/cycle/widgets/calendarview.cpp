#include "cycle/widgets/calendarview.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>

#include "app/config.h"
#include "app/datafolders.h"
#include "app/widgets/fonts.h"
#include "app/widgets/labels.h"
#include "app/widgets/linklabel.h"
#include "app/widgets/messages.h"
#include "app/widgets/printreport.h"
#include "app/widgets/reportbar.h"
#include "core/cyclemodel.h"
#include "core/textutil.h"
#include "cycle/cyclerecordstore.h"
#include "cycle/widgets/calendarreportwriter.h"
#include "cycle/widgets/monthcalendar.h"
#include "cycle/widgets/periodactions.h"
#include "cycle/widgets/probabilitychart.h"

namespace {
constexpr int kSideWidth = 345;
constexpr int kPageHeight = 451;
}  // namespace

CalendarView::CalendarView(ViewHost* host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName(QStringLiteral("DayPanel"));
  side_ = BuildSide();
  BuildDayPanel();
}

QWidget* CalendarView::BuildSide() {
  auto* side = new QWidget(this);
  side->setObjectName(QStringLiteral("CalendarPage"));
  side->setFixedSize(kSideWidth, kPageHeight);

  monthLabel_ = MakeLabel(side, QStringLiteral("ui_calendarmonth"), QString(), ArialFont(16, true),
                          QColor(192, 192, 192));
  monthLabel_->setAlignment(Qt::AlignCenter);
  monthLabel_->setGeometry(7, 52, 328, 24);

  auto* panel1 = new QWidget(side);
  panel1->setObjectName(QStringLiteral("panel1"));
  panel1->setGeometry(7, 81, 328, 272);
  grid_ = new MonthCalendar(host_, [host = host_] { return host->CurrentView(); }, panel1);
  grid_->setObjectName(QStringLiteral("Calendar"));
  grid_->setGeometry(0, 0, panel1->width(), panel1->height());
  grid_->hide();
  connect(grid_, &MonthCalendar::dateChanged, this, &CalendarView::OnGridDay);
  // The period start acts on the grid's day; P and Ctrl+Z work while the grid has the
  // focus, and the menu key opens the day's menu.
  actions_ = new PeriodActions(host_, [this] { return grid_->Date(); }, this);
  actions_->AddTo(grid_);
  dayMenu_ = new QMenu(this);
  dayMenu_->setObjectName(QStringLiteral("CalendarDayMenu"));
  dayMenu_->addAction(actions_->Start());
  dayMenu_->addAction(actions_->Undo());
  dayMenu_->addSeparator();
  QAction* cycles = dayMenu_->addAction(QStringLiteral("My cycles"));
  cycles->setObjectName(QStringLiteral("OpenMyCycles"));
  connect(cycles, &QAction::triggered, this, [this] { host_->ShowView(QStringLiteral("cycles")); });
  connect(grid_, &MonthCalendar::dayMenuRequested, this, &CalendarView::ShowDayMenu);
  // A double click on a day opens the weekly planner on it, or without the planner that
  // day's journal note.
  connect(grid_, &MonthCalendar::doubleClicked, this, [this] {
    if (host_->HasWeeklyPlanner())
      host_->OpenWeeklyPlanner();
    else
      host_->ShowView(QStringLiteral("note"));
  });

  LinkLabel* today = MakeLink(side, QStringLiteral("lblToday"), QStringLiteral("today"));
  today->setGeometry(7, 358, 60, 18);
  connect(today, &LinkLabel::clicked, this, [this] { host_->GoToday(); });
  LinkLabel* open = MakeLink(side, QStringLiteral("lblOpen"), QStringLiteral("Open"));
  open->setGeometry(290, 358, 45, 18);
  open->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  open->setToolTip(QStringLiteral("Weekly Planner"));
  open->setVisible(host_->HasWeeklyPlanner());
  connect(open, &LinkLabel::clicked, this, [this] { host_->OpenWeeklyPlanner(); });
  return side;
}

void CalendarView::BuildDayPanel() {
  dayCaption_ = MakeLabel(this, QStringLiteral("ui_calendar_day"), QString(), ArialFont(16));
  dayCaption_->setGeometry(10, 8, 300, 22);

  adviseTile_ = new QWidget(this);
  adviseTile_->setObjectName(QStringLiteral("ui_advise_tile"));
  adviseTile_->setGeometry(10, 38, 25, 17);
  adviseTile_->setStyleSheet(QStringLiteral("background: white; border-radius: 5px;"));
  advise_ = MakeMemo(this, QStringLiteral("ui_advise"), ArialFont(12));
  advise_->setGeometry(42, 34, 268, 44);
  advise_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  birthday_ = MakeMemo(this, QStringLiteral("ui_baby_birthday"), ArialFont(12));
  birthday_->setGeometry(10, 82, 300, 74);
  birthday_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (QPlainTextEdit* m : {advise_, birthday_}) {
    m->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    m->document()->setDocumentMargin(2);
  }

  chart_ = new ProbabilityChart(this);
  chart_->setGeometry(4, 160, 320, 286);

  MakeLabel(this, QStringLiteral("Label10"), QStringLiteral("Your Ovulation Cycle"),
            ArialFont(19, true), QColor(128, 128, 128))
      ->setGeometry(335, 8, 270, 26);
  LinkLabel* view = MakeLink(this, QStringLiteral("Label9"), QStringLiteral("View Report"));
  view->setGeometry(335, 40, 90, 18);
  connect(view, &LinkLabel::clicked, this, [this] {
    if (WriteCalendarReport())
      OpenDocument(host_->Dir().BuildFolder() + QStringLiteral("calendar.html"));
  });
  LinkLabel* print = MakeLink(this, QStringLiteral("ui_print_link"), QStringLiteral("Print Report"));
  print->setGeometry(440, 40, 100, 18);
  connect(print, &LinkLabel::clicked, this, [this] {
    if (WriteCalendarReport())
      PrintReport(host_->Dir().BuildFolder() + QStringLiteral("calendar.html"),
                  PrintWait::Complete);
  });
  LinkLabel* pdf = MakeSavePdfLink(
      this,
      [this] {
        return WriteCalendarReport() ? host_->Dir().BuildFolder() + QStringLiteral("calendar.html")
                                     : QString();
      },
      QStringLiteral("Calendar report.pdf"));
  pdf->setGeometry(530, 40, 90, 18);

  QPlainTextEdit* help = MakeMemo(this, QStringLiteral("Memo2"), ArialFont(12));
  help->setGeometry(335, 66, 270, 228);
  help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette hp = help->palette();
  hp.setColor(QPalette::Text, QColor(128, 128, 128));
  help->setPalette(hp);
  help->setPlainText(QStringLiteral(
      "Mavelo predicts your most fertile days, and the days that are more likely to give "
      "you a boy or a girl.\n\n"
      "The results depend on two settings at the bottom of the window:\n\n"
      "How many days in your cycle? \n"
      "The average cycle is 28 days. Count from the first day of bleeding of your last "
      "period up to and including the day before your next period starts.\n\n"
      "How long is your 'Luteal Phase' ?\n"
      "Typically 12 days: from your last ovulation day to the day before your next period "
      "starts. If you do not know it, keep the default."));

  // What her own records say about the day, below the help.
  MakeLabel(this, QStringLiteral("ui_cycle_caption"), QStringLiteral("From your own records"),
            ArialFont(13, true), QColor(96, 96, 96))
      ->setGeometry(339, 298, 266, 18);
  records_ = MakeMemo(this, QStringLiteral("ui_cycle_reading"), ArialFont(12));
  records_->setGeometry(335, 318, 270, 108);
  records_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  records_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
  records_->document()->setDocumentMargin(2);
  startLink_ = MakeLink(this, QStringLiteral("ui_period_started"),
                        QStringLiteral("Period started on this day"));
  startLink_->setGeometry(339, 428, 190, 18);
  connect(startLink_, &LinkLabel::clicked, actions_, &PeriodActions::ToggleStart);
  undoLink_ = MakeLink(this, QStringLiteral("ui_period_undo"), QStringLiteral("Undo"));
  undoLink_->setGeometry(535, 428, 70, 18);
  connect(undoLink_, &LinkLabel::clicked, actions_, &PeriodActions::UndoLast);
  connect(actions_, &PeriodActions::done, this, &CalendarView::FillRecords);
}

void CalendarView::StartView(const QDate&) {
  monthLabel_->setText(FormatDate(QStringLiteral("mmmm"), host_->SelectedDate()));
  if (CycleRecordStore* store = host_->CycleRecords()) {
    connect(store, &CycleRecordStore::changed, this, &CalendarView::OnRecordsChanged);
    // Asked while the grid paints: no message box from there (FillRecords tells).
    grid_->SetPredictedDays([this](const QDate& d) {
      const CycleReading* r = Reading(false);
      return r && r->Forecast().InWindow(d);
    });
  }
  grid_->show();
}

const CycleReading* CalendarView::Reading(bool tellErrors) {
  CycleRecordStore* store = host_->CycleRecords();
  if (!store) return nullptr;
  const CycleReading& r = store->Reading(TemperatureUnitFromSetting(host_->Settings().TemperatureUnits));
  // A file that could not be read is said once.
  if (tellErrors) {
    const QStringList errors = store->TakeErrors();
    if (!errors.isEmpty()) ShowError(errors.join(QLatin1Char('\n')), this);
  }
  return &r;
}

void CalendarView::FillRecords() {
  actions_->Update();
  const bool hasRecords = host_->CycleRecords() != nullptr;
  startLink_->setText(actions_->Start()->text());
  startLink_->setEnabled(hasRecords);
  undoLink_->setVisible(actions_->Undo()->isEnabled());
  undoLink_->setToolTip(actions_->Undo()->text());
  const CycleReading* r = Reading();
  if (!r || !panelDate_.isValid()) {
    records_->clear();
    return;
  }
  // The next period, then the day as her signs read it; both say what they rest on, and
  // the day's text ends by saying that it is no contraception.
  QStringList lines;
  const QString next = r->NextPeriodText();
  if (!next.isEmpty()) lines << next;
  lines << r->StatusOn(panelDate_).text;
  records_->setPlainText(lines.join(QStringLiteral("\n\n")));
}

void CalendarView::OnRecordsChanged() {
  FillRecords();
  grid_->update();
}

void CalendarView::ShowDayMenu(const QDate&, const QPoint& globalPos) {
  actions_->Update();
  dayMenu_->popup(globalPos);
}

void CalendarView::ShowDate(const QDate& date) {
  if (!date.isValid()) return;
  monthLabel_->setText(FormatDate(QStringLiteral("mmmm"), date));
  if (grid_->Date() != date)
    grid_->MoveToDate(date);  // dateChanged: OnGridDay
  else if (panelDate_ != date)
    OnGridDay(date);  // the grid starts on that day: nothing moved, the panel is still empty
  RefreshChart();
}

void CalendarView::OnGridDay(const QDate& date) {
  dayCaption_->setText(FormatDate(QStringLiteral("dddddd"), date));
  panelDate_ = date;
  FillAdvice();
  FillRecords();
  host_->GridDayChosen(date);
  RefreshChart();
}

void CalendarView::FillAdvice() {
  if (!panelDate_.isValid()) return;
  const QDate d = panelDate_;
  const CycleSettings& c = host_->Cycle();
  adviseTile_->setStyleSheet(
      QStringLiteral("background: %1; border-radius: 5px;").arg(CycleColour(c, d).name()));
  const QString advice = AdviceText(c, d);
  // Without a goal there is no advice: the panel keeps what it said.
  if (advice.isNull()) return;
  advise_->setPlainText(advice);
  const QDate due = DueDate(d);
  birthday_->setPlainText(
      QStringLiteral("If you conceive on this day, your baby will be born approximately ") +
      FormatDate(QStringLiteral("dddddd"), due) +
      QStringLiteral("\n\nYour baby's Zodiac sign will be '") + ZodiacSign(due) +
      QLatin1Char('\''));
}

void CalendarView::RefreshChart() { chart_->Refresh(host_->Cycle(), host_->SelectedDate()); }

void CalendarView::RefreshCharts() {
  FillAdvice();
  RefreshChart();
  grid_->update();
}

QWidget* CalendarView::FirstInput() { return grid_; }

void CalendarView::RepaintMarks() { grid_->update(); }

bool CalendarView::WriteCalendarReport() {
  return WriteCalendarReportFromScreen(*grid_, *chart_, host_->Cycle(), host_->SelectedDate(),
                                       host_->Dir().BuildFolder(), this);
}
