#include "trackers/widgets/exerciseview.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/config.h"
#include "app/datafolders.h"
#include "app/widgets/editortext.h"
#include "app/widgets/fonts.h"
#include "app/widgets/messages.h"
#include "app/widgets/reportbar.h"
#include "core/clock.h"
#include "core/textfile.h"
#include "cycle/journal.h"
#include "trackers/bodyweight.h"
#include "trackers/exercisereport.h"
#include "trackers/metvalues.h"
#include "trackers/widgets/trackerlinks.h"

namespace {
constexpr int kMaxRun = 9999;      // miles, one decimal
constexpr int kMaxFeet = 999999;   // feet, whole
const QColor kBarColour(241, 158, 248);

QSpinBox* MakeSpin(const QString& name, int max, QWidget* parent) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(name);
  s->setRange(0, max);
  s->setAlignment(Qt::AlignRight);
  s->setAccelerated(true);
  return s;
}

QDoubleSpinBox* MakeMiles(const QString& name, QWidget* parent) {
  auto* s = new QDoubleSpinBox(parent);
  s->setObjectName(name);
  s->setDecimals(1);
  s->setRange(0, kMaxRun + 0.9);
  s->setSingleStep(0.1);
  s->setAlignment(Qt::AlignRight);
  s->setAccelerated(true);
  return s;
}

QLabel* Caption(const QString& text, QWidget* parent, bool bold = false) {
  auto* l = new QLabel(text, parent);
  l->setTextFormat(Qt::PlainText);
  if (bold) l->setFont(ArialFont(13, true));
  return l;
}

// A read-only summary table: no headers, every row the same height, column 0 and row 0
// in bold as their captions.
QTableWidget* MakeSummaryGrid(const QString& name, int rows, QWidget* parent) {
  auto* t = new QTableWidget(rows, 4, parent);
  t->setObjectName(name);
  t->horizontalHeader()->hide();
  t->verticalHeader()->hide();
  t->horizontalHeader()->setDefaultSectionSize(100);
  t->horizontalHeader()->setMinimumSectionSize(20);
  t->verticalHeader()->setMinimumSectionSize(16);
  t->verticalHeader()->setDefaultSectionSize(22);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionMode(QAbstractItemView::NoSelection);
  t->setTabKeyNavigation(false);
  t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  t->setFixedSize(4 * 100 + 2 * t->frameWidth() + 1, rows * 22 + 2 * t->frameWidth() + 1);
  t->setFont(ArialFont(12));
  t->setStyleSheet(QStringLiteral("QTableWidget { gridline-color: rgb(200,210,220); }"));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
      if (r == 0 || c == 0) {
        QFont f = ArialFont(12, true);
        item->setFont(f);
        item->setBackground(QColor(236, 242, 250));
      }
      t->setItem(r, c, item);
    }
  return t;
}

void FillSummaryGrid(QTableWidget* table, const QVector<QStringList>& rows) {
  for (int r = 0; r < rows.size() && r < table->rowCount(); ++r)
    for (int c = 0; c < rows[r].size() && c < table->columnCount(); ++c)
      table->item(r, c)->setText(rows[r].at(c));
}
}  // namespace

ExerciseView::ExerciseView(ViewHost* host, QWidget* parent)
    : QWidget(parent), host_(host), log_(host->Dir().ExerciseFolder()) {
  setObjectName(QStringLiteral("frmExercise"));
  setFont(ArialFont(12));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);

  lblDate_ = new QLabel(QStringLiteral("My Workout"), this);
  lblDate_->setObjectName(QStringLiteral("lblDate"));
  lblDate_->setFont(ArialFont(16, true));
  layout->addWidget(lblDate_);

  pg_ = new QTabWidget(this);
  pg_->setObjectName(QStringLiteral("pg"));
  pg_->addTab(BuildLogPage(), QStringLiteral("Log"));
  pg_->addTab(BuildActivitiesPage(), QStringLiteral("Activities"));
  pg_->addTab(BuildCaloriesPage(), QStringLiteral("Calories"));
  pg_->addTab(BuildCardioPage(), QStringLiteral("Cardio"));
  layout->addWidget(pg_, 1);
  pg_->setCornerWidget(new ReportBar([this] { return WriteReport(); },
                                     QStringLiteral("Exercise report.pdf"), pg_));
  connect(pg_, &QTabWidget::currentChanged, this, [this] {
    ShowWeekChart();
    ShowSummaries();
  });

  FillActivityList(BuiltInActivities());
  units_ = host_->Settings().Units();
  log_.SetUnmarkedUnits(host_->Settings().UnmarkedUnits());
  ShowUnits();
  RefreshIntensityTexts();
  madeFromTicks_.clear();
}

ExerciseView::~ExerciseView() {
  // A focused field that goes away while QWidget deletes the children reports its last
  // edit: no handler may run on a half-destroyed view.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

QWidget* ExerciseView::BuildLogPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(8, 6, 8, 6);
  v->setSpacing(6);

  auto* top = new QHBoxLayout;
  top->setSpacing(8);
  auto* timeBox = new QGroupBox(QStringLiteral("Workout Time"), page);
  auto* timeRow = new QHBoxLayout(timeBox);
  timeRow->setContentsMargins(8, 4, 8, 6);
  hours_ = MakeSpin(QStringLiteral("Exercise_Hours"), kMaxExerciseHours, timeBox);
  minutes_ = MakeSpin(QStringLiteral("Exercise_Minutes"), kMaxExerciseMinutes, timeBox);
  minutes_->setSingleStep(5);
  timeRow->addWidget(hours_);
  timeRow->addWidget(Caption(QStringLiteral("Hours"), timeBox));
  timeRow->addSpacing(6);
  timeRow->addWidget(minutes_);
  timeRow->addWidget(Caption(QStringLiteral("Minutes"), timeBox));
  top->addWidget(timeBox);

  auto* calBox = new QGroupBox(QStringLiteral("Calories Burned"), page);
  auto* calRow = new QHBoxLayout(calBox);
  calRow->setContentsMargins(8, 4, 8, 6);
  calories_ = MakeSpin(QStringLiteral("Workout_Calories"), kMaxWorkoutCalories, calBox);
  calories_->setMinimumWidth(calories_->fontMetrics().horizontalAdvance(QStringLiteral("100000")) + 30);
  calRow->addWidget(calories_);
  calRow->addWidget(Caption(QStringLiteral("during workout"), calBox));
  estimate_ = MakeTrackerLink(QStringLiteral("Label26"), QStringLiteral("Estimate"), calBox);
  calRow->addWidget(estimate_);
  top->addWidget(calBox);
  top->addStretch(1);

  auto* links = new QVBoxLayout;
  links->setSpacing(2);
  auto* clear = MakeTrackerLink(QStringLiteral("UserClear"), QStringLiteral("clear"), page);
  auto* save = MakeTrackerLink(QStringLiteral("UserSave"), QStringLiteral("save"), page);
  auto* linkRow = new QHBoxLayout;
  linkRow->addWidget(clear);
  linkRow->addWidget(save);
  links->addLayout(linkRow);
  links->addStretch(1);
  top->addLayout(links);
  v->addLayout(top);
  v->addWidget(BuildActivityEstimateRow(page));

  // The note, or the estimate panel in its place.
  auto* notesBox = new QGroupBox(QStringLiteral("Workout Notes"), page);
  auto* stack = new QStackedLayout(notesBox);
  stack->setStackingMode(QStackedLayout::StackOne);
  note_ = new QPlainTextEdit(notesBox);
  note_->setObjectName(QStringLiteral("Note"));
  note_->setTabChangesFocus(true);
  note_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(249,255,252); }"));
  note_->installEventFilter(this);
  stack->addWidget(note_);

  estimatePanel_ = new QFrame(notesBox);
  estimatePanel_->setObjectName(QStringLiteral("Estimate_Panel"));
  estimatePanel_->setAutoFillBackground(true);
  estimatePanel_->setStyleSheet(
      QStringLiteral("QFrame#Estimate_Panel { background: rgb(245,245,245); }"));
  auto* ev = new QVBoxLayout(estimatePanel_);
  ev->setContentsMargins(12, 6, 12, 6);
  ev->setSpacing(4);
  lblIntensity_ = Caption(QString(), estimatePanel_, true);
  lblIntensity_->setObjectName(QStringLiteral("lblInensity"));
  ev->addWidget(lblIntensity_);
  auto* slideRow = new QHBoxLayout;
  slideRow->addWidget(Caption(QStringLiteral("Easy"), estimatePanel_));
  intensity_ = new QSlider(Qt::Horizontal, estimatePanel_);
  intensity_->setObjectName(QStringLiteral("ui_Intensity"));
  intensity_->setRange(0, kMaxIntensity);
  intensity_->setPageStep(1);
  intensity_->setTickPosition(QSlider::TicksBelow);
  intensity_->setTickInterval(1);
  intensity_->setFocusPolicy(Qt::StrongFocus);
  slideRow->addWidget(intensity_, 1);
  slideRow->addWidget(Caption(QStringLiteral("Very Hard"), estimatePanel_));
  ev->addLayout(slideRow);
  lblLike_ = Caption(QString(), estimatePanel_);
  lblLike_->setObjectName(QStringLiteral("lblLike"));
  lblLike_->setAlignment(Qt::AlignCenter);
  ev->addWidget(lblLike_);
  auto* doneRow = new QHBoxLayout;
  doneRow->addStretch(1);
  auto* done = MakeTrackerLink(QStringLiteral("Label28"), QStringLiteral("done"), estimatePanel_);
  doneRow->addWidget(done);
  ev->addLayout(doneRow);
  ev->addStretch(1);
  stack->addWidget(estimatePanel_);
  estimatePanel_->hide();
  stack->setCurrentWidget(note_);
  v->addWidget(notesBox, 1);

  auto* cardioBox = new QGroupBox(QStringLiteral("Today's Cardio"), page);
  auto* grid = new QGridLayout(cardioBox);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setHorizontalSpacing(6);
  run_ = MakeMiles(QStringLiteral("Distance_run"), cardioBox);
  bike_ = MakeMiles(QStringLiteral("Distance_bike"), cardioBox);
  swim_ = MakeSpin(QStringLiteral("Distance_Swim"), kMaxFeet, cardioBox);
  climb_ = MakeSpin(QStringLiteral("Distance_Climb"), kMaxFeet, cardioBox);
  runUnit_ = Caption(QStringLiteral("miles"), cardioBox);
  bikeUnit_ = Caption(QStringLiteral("miles"), cardioBox);
  swimUnit_ = Caption(QStringLiteral("feet"), cardioBox);
  climbUnit_ = Caption(QStringLiteral("feet"), cardioBox);
  runUnit_->setObjectName(QStringLiteral("RunUnit"));
  bikeUnit_->setObjectName(QStringLiteral("BikeUnit"));
  swimUnit_->setObjectName(QStringLiteral("SwimUnit"));
  climbUnit_->setObjectName(QStringLiteral("ClimbUnit"));
  grid->addWidget(Caption(QStringLiteral("Run / Walk"), cardioBox), 0, 0);
  grid->addWidget(run_, 0, 1);
  grid->addWidget(runUnit_, 0, 2);
  grid->addWidget(Caption(QStringLiteral("Bike"), cardioBox), 1, 0);
  grid->addWidget(bike_, 1, 1);
  grid->addWidget(bikeUnit_, 1, 2);
  grid->setColumnMinimumWidth(3, 24);
  grid->addWidget(Caption(QStringLiteral("Swim"), cardioBox), 0, 4);
  grid->addWidget(swim_, 0, 5);
  grid->addWidget(swimUnit_, 0, 6);
  grid->addWidget(Caption(QStringLiteral("Climb"), cardioBox), 1, 4);
  grid->addWidget(climb_, 1, 5);
  grid->addWidget(climbUnit_, 1, 6);
  grid->setColumnStretch(7, 1);
  v->addWidget(cardioBox);

  setTabOrder(hours_, minutes_);
  setTabOrder(minutes_, calories_);
  setTabOrder(calories_, estimate_);
  setTabOrder(estimate_, clear);
  setTabOrder(clear, save);
  setTabOrder(save, activityEstimate_);
  setTabOrder(activityEstimate_, useEstimate_);
  setTabOrder(useEstimate_, note_);
  setTabOrder(note_, intensity_);
  setTabOrder(intensity_, done);
  setTabOrder(done, run_);
  setTabOrder(run_, bike_);
  setTabOrder(bike_, swim_);
  setTabOrder(swim_, climb_);

  connect(hours_, &QSpinBox::valueChanged, this, [this] { TimeChanged(); });
  connect(minutes_, &QSpinBox::valueChanged, this, [this] { TimeChanged(); });
  connect(intensity_, &QSlider::valueChanged, this, [this] { TimeChanged(); });
  connect(calories_, &QSpinBox::valueChanged, this, [this] {
    if (!loading_) RefreshWorkout();
  });
  connect(run_, &QDoubleSpinBox::valueChanged, this, [this] { DistanceChanged(); });
  connect(bike_, &QDoubleSpinBox::valueChanged, this, [this] { DistanceChanged(); });
  connect(swim_, &QSpinBox::valueChanged, this, [this] { DistanceChanged(); });
  connect(climb_, &QSpinBox::valueChanged, this, [this] { DistanceChanged(); });
  connect(note_, &QPlainTextEdit::textChanged, this, [this] { NoteChanged(); });
  connect(estimate_, &QPushButton::clicked, this, [this] { Label26Click(); });
  connect(done, &QPushButton::clicked, this, [this] { Label28Click(); });
  connect(save, &QPushButton::clicked, this, [this] { UserSaveClick(); });
  connect(clear, &QPushButton::clicked, this, [this] { UserClearClick(); });
  return page;
}

QWidget* ExerciseView::BuildActivitiesPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(8, 6, 8, 6);
  v->setSpacing(4);

  workout_ = new QLineEdit(page);
  workout_->setObjectName(QStringLiteral("edWorkout"));
  workout_->setFont(ArialFont(13));
  workout_->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(233,242,252); }"));
  workout_->setPlaceholderText(QStringLiteral("Workout"));
  v->addWidget(workout_);

  auto* captionRow = new QHBoxLayout;
  captionRow->addWidget(
      Caption(QStringLiteral("Keep a check list of exercises or sports you practiced "), page));
  captionRow->addStretch(1);
  auto* clear = MakeTrackerLink(QStringLiteral("Label2"), QStringLiteral("Clear"), page);
  auto* add = MakeTrackerLink(QStringLiteral("Label12"), QStringLiteral("Add"), page);
  auto* del = MakeTrackerLink(QStringLiteral("Label13"), QStringLiteral("Delete"), page);
  captionRow->addWidget(clear);
  captionRow->addWidget(add);
  captionRow->addWidget(del);
  v->addLayout(captionRow);

  activities_ = new QListWidget(page);
  activities_->setObjectName(QStringLiteral("ui_Activity"));
  activities_->setFont(ArialFont(11));
  // Four columns, filled top to bottom as a check list box lays out its columns.
  activities_->setFlow(QListView::TopToBottom);
  activities_->setWrapping(true);
  activities_->setResizeMode(QListView::Adjust);
  activities_->setUniformItemSizes(true);
  activities_->setSelectionMode(QAbstractItemView::SingleSelection);
  activities_->viewport()->installEventFilter(this);
  v->addWidget(activities_, 1);

  setTabOrder(workout_, activities_);
  setTabOrder(activities_, clear);
  setTabOrder(clear, add);
  setTabOrder(add, del);

  connect(workout_, &QLineEdit::textEdited, this, [this] { DistanceChanged(); });
  connect(activities_, &QListWidget::itemChanged, this, [this] {
    if (!loading_) RefreshWorkout();
    UpdateActivityEstimate();
  });
  connect(clear, &QPushButton::clicked, this, [this] { Label2Click(); });
  connect(add, &QPushButton::clicked, this, [this] { Label12Click(); });
  connect(del, &QPushButton::clicked, this, [this] { Label13Click(); });
  return page;
}

QWidget* ExerciseView::BuildCaloriesPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(8, 6, 8, 6);
  v->setSpacing(4);

  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("Calories burned (7 days)"));
  chart->setTitleFont(ArialFont(13, true));
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  auto* series = new QBarSeries;
  bars_ = new QBarSet(QStringLiteral("Calories"));
  bars_->setColor(kBarColour);
  bars_->setBorderColor(kBarColour.darker(130));
  bars_->setLabelColor(QColor(60, 60, 60));
  bars_->setLabelFont(ArialFont(10));
  series->append(bars_);
  series->setBarWidth(0.6);
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  chart->addSeries(series);
  chartX_ = new QBarCategoryAxis;
  chartX_->setLabelsFont(ArialFont(11));
  chartY_ = new QValueAxis;
  chartY_->setLabelFormat(QStringLiteral("%.0f"));
  chartY_->setLabelsFont(ArialFont(11));
  chart->addAxis(chartX_, Qt::AlignBottom);
  chart->addAxis(chartY_, Qt::AlignLeft);
  series->attachAxis(chartX_);
  series->attachAxis(chartY_);
  chartView_ = new QChartView(chart, page);
  chartView_->setObjectName(QStringLiteral("Chart1"));
  chartView_->setRenderHint(QPainter::Antialiasing);
  v->addWidget(chartView_, 1);

  v->addWidget(Caption(QStringLiteral("Calories Burned (Average)"), page, true));
  gridCalories_ = MakeSummaryGrid(QStringLiteral("grid_calories"), 3, page);
  v->addWidget(gridCalories_);
  return page;
}

QWidget* ExerciseView::BuildCardioPage() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(8, 8, 8, 6);
  v->setSpacing(6);
  auto* title = Caption(QStringLiteral("Cardio / Distance Accomplishments"), page);
  title->setFont(ArialFont(15, true));
  v->addWidget(title);
  v->addWidget(Caption(QStringLiteral("This chart shows your distances up to today"), page));
  gridFacts_ = MakeSummaryGrid(QStringLiteral("Grid_Facts"), 5, page);
  v->addWidget(gridFacts_);
  v->addStretch(1);
  return page;
}

bool ExerciseView::eventFilter(QObject* watched, QEvent* event) {
  if (activities_ && watched == activities_->viewport() && event->type() == QEvent::Resize) {
    // Four columns across the list's width.
    const int width = std::max(60, (activities_->viewport()->width() - 4) / 4);
    activities_->setGridSize(QSize(width, activities_->fontMetrics().height() + 6));
  } else if (watched == note_ && event->type() == QEvent::FocusOut) {
    QStringList errors;
    if (!SaveNote(&errors)) Report(errors, false);
  }
  return QWidget::eventFilter(watched, event);
}

// --- activity list ------------------------------------------------------------------

QStringList ExerciseView::Activities() const {
  QStringList items;
  for (int i = 0; i < activities_->count(); ++i) items << activities_->item(i)->text();
  return items;
}

QStringList ExerciseView::TickedActivities() const {
  QStringList names;
  for (int i = 0; i < activities_->count(); ++i) {
    const QListWidgetItem* item = activities_->item(i);
    if (item->checkState() == Qt::Checked) names << item->text();
  }
  return names;
}

void ExerciseView::FillActivityList(const QStringList& items) {
  const bool wasLoading = loading_;
  loading_ = true;
  activities_->clear();
  for (const QString& name : items) {
    auto* item = new QListWidgetItem(name, activities_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  loading_ = wasLoading;
}

void ExerciseView::TickActivities(const QStringList& names) {
  const bool wasLoading = loading_;
  loading_ = true;
  for (int i = 0; i < activities_->count(); ++i) {
    QListWidgetItem* item = activities_->item(i);
    item->setCheckState(names.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
  }
  loading_ = wasLoading;
}

void ExerciseView::LoadActivities() {
  const DataFolders& dir = host_->Dir();
  const ActivityList list = LoadActivityList(dir.ConfigFolder() + QStringLiteral("activity.txt"),
                                             dir.ProgramConfigFolder() + QStringLiteral("activity.txt"));
  const QStringList ticked = TickedActivities();
  FillActivityList(list.items);
  TickActivities(ticked);
  if (!list.error.isEmpty()) ShowError(list.error, this);
}

bool ExerciseView::SaveActivities() {
  const QString path = host_->Dir().ConfigFolder() + QStringLiteral("activity.txt");
  QString error;
  if (SaveActivityList(path, Activities(), &error)) return true;
  ShowError(error, this);
  return false;
}

void ExerciseView::Label12Click() {
  bool ok = false;
  const QString answer = AskText(QStringLiteral("New Activity Type"),
                                 QStringLiteral("Enter Activity Name"), QStringLiteral("Activity"),
                                 &ok, this);
  if (!ok) return;
  const QString name = ActivityToAdd(Activities(), answer);
  if (name.isEmpty()) return;
  const bool wasLoading = loading_;
  loading_ = true;
  auto* item = new QListWidgetItem(name, activities_);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(Qt::Unchecked);
  loading_ = wasLoading;
  activities_->setCurrentItem(item);
  activities_->scrollToItem(item);
  SaveActivities();
  RefreshWorkout();
}

void ExerciseView::Label13Click() {
  QListWidgetItem* item = activities_->currentItem();
  if (!item || !item->isSelected()) return;
  const bool wasLoading = loading_;
  loading_ = true;
  delete activities_->takeItem(activities_->row(item));
  loading_ = wasLoading;
  SaveActivities();
  RefreshWorkout();
}

void ExerciseView::Label2Click() {
  TickActivities({});
  RefreshWorkout();
}

// --- DateView -----------------------------------------------------------------------

void ExerciseView::ShowDate(const QDate& date) {
  if (!date.isValid()) return;
  lblDate_->setText(FormatDate(QStringLiteral("dddddd"), date));
  // The day shown so far is written to its own row, year file and note file.
  SaveOnLeave();

  QStringList errors;
  const int oldYear = log_.Year();
  const bool wasLoaded = loaded_;
  loading_ = true;
  date_ = date;
  row_ = YearGridRow(date);
  reported_.clear();
  // Distances are shown in the units of the settings, whatever unit a day was kept in.
  units_ = host_->Settings().Units();
  log_.SetUnmarkedUnits(host_->Settings().UnmarkedUnits());
  ShowUnits();
  QString e;
  if (!OpenYear(date.year(), &e)) errors << e;

  if (const QString notice = ReadOnlyNotice(log_.YearPath()); !notice.isEmpty()) errors << notice;

  notePath_ = ExerciseNotePath(log_.Folder(), date);
  MemoText note;
  if (!ReadMemoText(notePath_, &note, &e)) errors << e;
  else if (note.readOnly) errors << ReadOnlyNotice(notePath_);
  // A note that could not be read, or is shown only, takes no typing: nothing typed
  // there could be kept.
  note_->setReadOnly(note.readOnly);
  note_->setPlainText(note.text);
  note_->document()->setModified(false);

  FillForm(log_.Day(row_));
  loading_ = false;
  loaded_ = true;
  pending_ = false;
  RefreshIntensityTexts();
  ShowWeekChart();
  ShowSummaries();
  if (!wasLoaded || oldYear != log_.Year()) host_->DayMarksChanged();
  UpdateActivityEstimate();

  if (!errors.isEmpty()) {
    // Opening has told the user; saves that refuse to replace an unreadable file stay
    // quiet until an explicit "save".
    if (log_.YearReadFailed()) reported_.insert(log_.ReadFailedMessage());
    if (!MayWriteFile(notePath_)) reported_.insert(NoteRefusal());
    ShowError(errors.join(u'\n'), this);
  }
}

bool ExerciseView::IsDayMarked(const QDate& date) const {
  // The grid may show a month of another year than the loaded one: those days are not
  // in this grid.
  return loaded_ && date.isValid() && date.year() == log_.Year() &&
         log_.HasWorkout(YearGridRow(date));
}

void ExerciseView::SaveOnLeave() {
  if (loaded_ && (pending_ || note_->document()->isModified())) SaveDay();
}

bool ExerciseView::OpenYear(int year, QString* error) { return log_.OpenYear(year, error); }

// --- the form -----------------------------------------------------------------------

void ExerciseView::ShowUnits() {
  const bool imperial = units_ == UnitSystem::Imperial;
  for (QLabel* l : {runUnit_, bikeUnit_})
    l->setText(imperial ? QStringLiteral("miles") : QStringLiteral("km"));
  for (QLabel* l : {swimUnit_, climbUnit_})
    l->setText(imperial ? QStringLiteral("feet") : QStringLiteral("m"));
}

void ExerciseView::FillForm(const WorkoutDay& day) {
  storedDay_ = day;
  shownDay_ = InUnits(day, units_);
  hours_->setValue(day.hours);
  minutes_->setValue(day.minutes);
  intensity_->setValue(day.intensity);
  calories_->setValue(day.calories);
  QStringList onList;
  SplitStoredActivities(day.activities, Activities(), &onList, &notOnList_);
  TickActivities(onList);
  madeFromTicks_ = WorkoutText(TickedActivities());
  workout_->setText(day.workout);
  run_->setValue(shownDay_.run);
  bike_->setValue(shownDay_.bike);
  swim_->setValue(int(std::min<double>(std::round(shownDay_.swim), kMaxFeet)));
  climb_->setValue(int(std::min<double>(std::round(shownDay_.climb), kMaxFeet)));
  // A stored text that is not a number shows as "unreadable" while the field is at 0.
  const std::pair<QAbstractSpinBox*, int> fields[] = {
      {hours_, kExHours}, {minutes_, kExMinutes}, {calories_, kExCalories}, {run_, kExRun},
      {bike_, kExBike},   {swim_, kExSwim},       {climb_, kExClimb}};
  for (const auto& [field, col] : fields) {
    const QString stored = day.unreadable.value(col);
    field->setSpecialValueText(stored.isEmpty() ? QString() : QStringLiteral("unreadable"));
    field->setToolTip(stored.isEmpty()
                          ? QString()
                          : QStringLiteral("The stored value \"%1\" is not a number. It is "
                                           "kept as it stands until you change this field.")
                                .arg(stored));
  }
  filled_ = FieldValues();
}

WorkoutDay ExerciseView::FieldValues() const {
  WorkoutDay day;
  day.hours = hours_->value();
  day.minutes = minutes_->value();
  day.intensity = intensity_->value();
  day.calories = calories_->value();
  // The names the list no longer offers stay with the day, after the ticked ones.
  day.activities = TickedActivities() + notOnList_;
  day.workout = workout_->text().trimmed();
  day.run = run_->value();
  day.bike = bike_->value();
  day.swim = swim_->value();
  day.climb = climb_->value();
  day.units = units_;
  return day;
}

WorkoutDay ExerciseView::FormDay() const {
  const WorkoutDay now = FieldValues();
  WorkoutDay day = now;
  day.unreadable = storedDay_.unreadable;
  auto keepIf = [&](int col, bool unchanged) {
    if (!unchanged) day.unreadable.remove(col);
  };
  keepIf(kExHours, now.hours == filled_.hours);
  keepIf(kExMinutes, now.minutes == filled_.minutes);
  keepIf(kExIntensity, now.intensity == filled_.intensity);
  keepIf(kExCalories, now.calories == filled_.calories);
  const bool runSame = now.run == filled_.run, bikeSame = now.bike == filled_.bike;
  const bool swimSame = now.swim == filled_.swim, climbSame = now.climb == filled_.climb;
  if (runSame && bikeSame && swimSame && climbSame) {
    // Not one distance changed: the day keeps them exactly as stored, in their unit.
    day.run = storedDay_.run;
    day.bike = storedDay_.bike;
    day.swim = storedDay_.swim;
    day.climb = storedDay_.climb;
    day.units = storedDay_.units;
    return day;
  }
  // The day moves to the shown units; the distances she left keep their exact value.
  day.units = units_;
  if (runSame) day.run = shownDay_.run;
  if (bikeSame) day.bike = shownDay_.bike;
  if (swimSame) day.swim = shownDay_.swim;
  if (climbSame) day.climb = shownDay_.climb;
  keepIf(kExRun, runSame);
  keepIf(kExBike, bikeSame);
  keepIf(kExSwim, swimSame);
  keepIf(kExClimb, climbSame);
  return day;
}

void ExerciseView::RefreshIntensityTexts() {
  lblIntensity_->setText(QStringLiteral("Workout Intensity: "));
  lblLike_->setText(IntensityText(intensity_->value(), units_));
}

void ExerciseView::TimeChanged() {
  if (loading_) return;
  EstimateCalories();
  RefreshWorkout();
}

void ExerciseView::DistanceChanged() {
  if (loading_) return;
  pending_ = true;
  SaveDay();
}

void ExerciseView::NoteChanged() {
  if (loading_ || !loaded_) return;
  // Every change is written at once, so a note survives a crash; an emptied note
  // removes its file.
  QStringList errors;
  if (!SaveNote(&errors)) Report(errors, false);
}

void ExerciseView::EstimateCalories() {
  if (estimatePanel_->isHidden()) return;
  const int calories = ::EstimateCalories(hours_->value(), minutes_->value(), intensity_->value());
  if (calories == calories_->value()) return;
  // The caller refreshes once for both changes.
  const QSignalBlocker block(calories_);
  calories_->setValue(calories);
}

void ExerciseView::RefreshWorkout() {
  RefreshIntensityTexts();
  // The workout text follows the ticks while it is the text they made (or empty); what
  // the user wrote herself stays.
  const QString made = WorkoutText(TickedActivities());
  const QString current = workout_->text().trimmed();
  if (current.isEmpty() || current == madeFromTicks_) workout_->setText(made);
  madeFromTicks_ = made;
  if (loading_ || !loaded_) return;
  pending_ = true;
  SaveDay();
  ShowWeekChart();
}

void ExerciseView::ToggleEstimatePanel() {
  const bool show = estimatePanel_->isHidden();
  estimatePanel_->setVisible(show);
  note_->setVisible(!show);
  if (auto* stack = qobject_cast<QStackedLayout*>(estimatePanel_->parentWidget()->layout()))
    stack->setCurrentWidget(show ? static_cast<QWidget*>(estimatePanel_) : note_);
  // Opening the panel on an empty time starts from an hour; closing it never changes
  // the time the user set.
  if (show && hours_->value() == 0 && minutes_->value() == 0) hours_->setValue(1);
  if (show)
    intensity_->setFocus(Qt::OtherFocusReason);
  else
    estimate_->setFocus(Qt::OtherFocusReason);
}

void ExerciseView::Label26Click() { ToggleEstimatePanel(); }
void ExerciseView::Label28Click() { ToggleEstimatePanel(); }

void ExerciseView::UserSaveClick() {
  if (!loaded_) return;
  pending_ = true;
  const bool ok = SaveDayReporting(true);
  ShowWeekChart();
  ShowSummaries();
  if (ok) ShowMessage(QStringLiteral("Your workout information was saved"), this);
}

void ExerciseView::UserClearClick() {
  if (!loaded_) return;
  // "clear" means every value: a stored text that was not a number goes too.
  storedDay_.unreadable.clear();
  loading_ = true;
  for (QSpinBox* s : {hours_, minutes_, calories_, swim_, climb_}) s->setValue(0);
  for (QDoubleSpinBox* s : {run_, bike_}) s->setValue(0);
  intensity_->setValue(0);
  loading_ = false;
  RefreshIntensityTexts();
  UserSaveClick();
}

// --- saving -------------------------------------------------------------------------

bool ExerciseView::SaveDay() { return SaveDayReporting(false); }

QString ExerciseView::NoteRefusal() const {
  return NotReplacedMessage(notePath_);
}

bool ExerciseView::SaveNote(QStringList* errors) {
  if (!loaded_ || !note_->document()->isModified()) return true;
  if (!MayWriteFile(notePath_)) {
    errors->append(NoteRefusal());
    return false;
  }
  QString error;
  if (!StoreNote(notePath_, EditorText(note_), &error)) {
    errors->append(error);
    return false;
  }
  note_->document()->setModified(false);
  return true;
}

bool ExerciseView::SaveDayReporting(bool always) {
  if (!loaded_ || loading_) return true;
  const bool markedBefore = log_.HasWorkout(row_);
  log_.SetDay(row_, FormDay());
  QStringList errors;
  QString error;
  const bool yearOk = log_.Save(&error);
  if (!yearOk) errors << error;
  const bool noteOk = SaveNote(&errors);
  if (yearOk) pending_ = false;
  if (markedBefore != log_.HasWorkout(row_)) host_->DayMarksChanged();
  if (yearOk && noteOk) {
    reported_.clear();
    return true;
  }
  Report(errors, always);
  return false;
}

void ExerciseView::Report(const QStringList& errors, bool always) {
  QStringList show;
  for (const QString& e : errors)
    if (always || !reported_.contains(e)) show << e;
  if (show.isEmpty()) return;
  // Marked before the box opens: the box takes the focus, and leaving the note saves.
  for (const QString& e : show) reported_.insert(e);
  ShowError(show.join(u'\n'), this);
}

// --- charts and summaries -----------------------------------------------------------

void ExerciseView::ShowWeekChart() {
  const QVector<WeekBar> week = log_.WeekChart(Clock::Today());
  QStringList labels;
  QList<qreal> values;
  int top = 0;
  for (const WeekBar& bar : week) {
    labels << FormatDate(QStringLiteral("mmm d"), bar.date);
    values << bar.calories;
    top = std::max(top, bar.calories);
  }
  if (chartX_->categories() != labels) {
    chartX_->clear();
    chartX_->append(labels);
  }
  if (bars_->count() != values.size()) {
    bars_->remove(0, bars_->count());
    bars_->append(values);
  } else {
    for (int i = 0; i < values.size(); ++i)
      if (bars_->at(i) != values.at(i)) bars_->replace(i, values.at(i));
  }
  // Round steps (1, 2 or 5 times a power of ten), with room above the tallest bar for
  // its label.
  const double want = std::max(100.0, top * 1.15);
  const double raw = want / 5;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * power;
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) {
      step = m * power;
      break;
    }
  const int ticks = int(std::ceil(want / step));
  const double upper = ticks * step;
  if (chartY_->min() != 0 || chartY_->max() != upper) {
    chartY_->setRange(0, upper);
    chartY_->setTickCount(ticks + 1);
  }
}

void ExerciseView::ShowSummaries() {
  const ExerciseSummary s = log_.Summaries(Clock::Today(), units_);
  FillSummaryGrid(gridCalories_, CalorieSummaryRows(s, units_));
  FillSummaryGrid(gridFacts_, DistanceSummaryRows(s, units_));
}

// --- estimate from activities -------------------------------------------------------

QWidget* ExerciseView::BuildActivityEstimateRow(QWidget* page) {
  auto* row = new QWidget(page);
  auto* h = new QHBoxLayout(row);
  h->setContentsMargins(0, 0, 0, 0);
  h->setSpacing(6);
  activityEstimate_ = MakeTrackerLink(QStringLiteral("ActivityEstimate"),
                                      QStringLiteral("Estimate from activities"), row);
  activityEstimate_->setToolTip(QStringLiteral(
      "MET values of the Compendium of Physical Activities (2011) x your weight x the time"));
  lblActivityEstimate_ = Caption(QString(), row);
  lblActivityEstimate_->setObjectName(QStringLiteral("lblActivityEstimate"));
  lblActivityEstimate_->setWordWrap(true);
  useEstimate_ = MakeTrackerLink(QStringLiteral("UseActivityEstimate"), QStringLiteral("use"), row);
  useEstimate_->setToolTip(QStringLiteral("Put this estimate into the calories burned"));
  useEstimate_->setEnabled(false);
  h->addWidget(activityEstimate_);
  h->addWidget(lblActivityEstimate_, 1);
  h->addWidget(useEstimate_);
  connect(activityEstimate_, &QPushButton::clicked, this, [this] { ActivityEstimateClick(); });
  connect(useEstimate_, &QPushButton::clicked, this, [this] { UseActivityEstimateClick(); });
  connect(hours_, &QSpinBox::valueChanged, this, [this] { UpdateActivityEstimate(); });
  connect(minutes_, &QSpinBox::valueChanged, this, [this] { UpdateActivityEstimate(); });
  return row;
}

std::optional<std::pair<double, QDate>> ExerciseView::EstimateWeight(bool ask) {
  const Config& config = host_->Settings();
  const QDate day = date_.isValid() ? date_ : host_->SelectedDate();
  QStringList errors;
  if (const auto w = LatestWeightOnOrBefore(host_->Dir().WeightFolder(), day,
                                            config.UnmarkedUnits(), &errors))
    return std::make_pair(w->weight, w->date);
  if (givenKg_) return std::make_pair(*givenKg_, QDate());
  if (!ask) return std::nullopt;
  if (!errors.isEmpty()) ShowError(errors.join(u'\n'), this);
  const QString unit = config.WeightUnitLabel();
  bool ok = false;
  const QString answer = AskText(
      QStringLiteral("Estimate from activities"),
      QStringLiteral("No weight is recorded on or before %1. Your weight in %2 for the "
                     "estimate:")
          .arg(FormatDate(QStringLiteral("dddddd"), day), unit),
      QString(), &ok, this);
  if (!ok) return std::nullopt;
  double value = 0;
  const bool number = ParseNumber(answer.trimmed(), &value) ||
                      ParseNumber(answer.trimmed(), &value, QLocale::c());
  const double kg = ConvertWeight(value, config.Units(), UnitSystem::Metric);
  if (!number || !(kg >= 2) || kg > 500) {
    ShowError(QStringLiteral("\"%1\" is not a weight in %2.").arg(answer.trimmed(), unit), this);
    return std::nullopt;
  }
  givenKg_ = kg;
  return std::make_pair(kg, QDate());
}

void ExerciseView::UpdateActivityEstimate(bool ask) {
  if (!activityEstimateShown_ && !ask) return;
  const QStringList ticked = TickedActivities();
  const auto weight = EstimateWeight(ask && !ticked.isEmpty());
  activityCalories_ = -1;
  if (!weight) {
    lblActivityEstimate_->setText(
        activityEstimateShown_ || ask
            ? QStringLiteral("From activities: no weight recorded on or before this day")
            : QString());
  } else {
    const ActivityEstimate e =
        EstimateFromActivities(ticked, hours_->value(), minutes_->value(), weight->first);
    if (e.HasEstimate() && hours_->value() * 60 + minutes_->value() > 0)
      activityCalories_ = e.calories;
    lblActivityEstimate_->setText(ActivityEstimateText(e, ticked, hours_->value(),
                                                       minutes_->value(), weight->first,
                                                       weight->second));
  }
  if (ask) activityEstimateShown_ = true;
  useEstimate_->setEnabled(activityCalories_ >= 0);
}

void ExerciseView::ActivityEstimateClick() { UpdateActivityEstimate(true); }

void ExerciseView::UseActivityEstimateClick() {
  if (!loaded_ || activityCalories_ < 0) return;
  calories_->setValue(activityCalories_);
}

QString ExerciseView::ActivityEstimateShown() const { return lblActivityEstimate_->text(); }

// --- report -------------------------------------------------------------------------

QString ExerciseView::WriteReport() {
  ExerciseReportInput in;
  in.shown = date_.isValid() ? date_ : host_->SelectedDate();
  in.day = FormDay();
  in.note = note_->toPlainText();
  in.estimate = lblActivityEstimate_->text();
  in.week = log_.WeekChart(Clock::Today());
  in.summary = log_.Summaries(Clock::Today());
  QString error;
  if (!WriteExerciseReport(host_->Dir().BuildFolder(), in, &error)) {
    ShowError(error, this);
    return {};
  }
  return host_->Dir().BuildFolder() + QLatin1String(kExerciseReportPage);
}
