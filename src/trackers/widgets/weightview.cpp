#include "trackers/widgets/weightview.h"

#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFrame>
#include <QGraphicsLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "app/config.h"
#include "app/datafolders.h"
#include "core/clock.h"
#include "core/textutil.h"
#include "app/widgets/messages.h"
#include "trackers/bmi.h"
#include "trackers/bmipicture.h"
#include "trackers/weightplan.h"

namespace {
const QString kQuestion = QStringLiteral("How much do you want to weigh in           days?");
const QString kQuestionLead = QStringLiteral("How much do you want to weigh in ");
const QString kGap = QStringLiteral("          ");
constexpr int kMinDays = 1, kMaxDays = 1000;
constexpr int kMinHeight = 55, kMaxHeight = 255;

QString OneDecimal(double v) { return FormatNumber(QStringLiteral("0.0"), v); }

QPushButton* MakeLink(const QString& name, const QString& text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setFlat(true);
  b->setCursor(Qt::PointingHandCursor);
  b->setStyleSheet(QStringLiteral(
      "QPushButton { color: rgb(0,128,255); border: none; padding: 0 4px; "
      "text-decoration: underline; background: transparent; }"));
  return b;
}

QChart* MakeChart() {
  auto* chart = new QChart;
  chart->legend()->hide();
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  return chart;
}

QDateTimeAxis* MakeDateAxis() {
  auto* axis = new QDateTimeAxis;
  // "mmm d" on two lines.
  axis->setFormat(QStringLiteral("MMM<br>d"));
  QFont f = axis->labelsFont();
  f.setPointSize(7);
  axis->setLabelsFont(f);
  return axis;
}

QValueAxis* MakeValueAxis() {
  auto* axis = new QValueAxis;
  axis->setLabelFormat(QStringLiteral("%.0f"));
  QFont f = axis->labelsFont();
  f.setPointSize(7);
  axis->setLabelsFont(f);
  return axis;
}

// A date axis from `from` over whole days, its ticks a whole number of days apart and
// at most about eight labels, so that two-line labels never crowd.
void SetDayRange(QDateTimeAxis* axis, const QDateTime& from, qint64 days) {
  days = std::max<qint64>(days, 1);
  const qint64 step = (days + 7) / 8;
  const qint64 intervals = (days + step - 1) / step;
  axis->setTickCount(int(intervals) + 1);
  axis->setRange(from, from.addDays(intervals * step));
}

void SetValueRange(QValueAxis* axis, double lo, double hi) {
  if (!(lo <= hi)) std::swap(lo, hi);
  const double pad = std::max(1.0, (hi - lo) * 0.1);
  axis->setRange(std::floor(lo - pad), std::ceil(hi + pad));
  axis->applyNiceNumbers();
}

// The history line's point marker: 4 x 4, grey border.
QImage HistoryMarker() {
  QImage img(4, 4, QImage::Format_ARGB32_Premultiplied);
  img.fill(QColor(128, 128, 128));
  img.setPixelColor(1, 1, Qt::red);
  img.setPixelColor(2, 1, Qt::red);
  img.setPixelColor(1, 2, Qt::red);
  img.setPixelColor(2, 2, Qt::red);
  return img;
}

QRegularExpressionValidator* NumberValidator(int wholeDigits, int decimals, QObject* parent) {
  QString pattern = QStringLiteral("\\d{0,%1}").arg(wholeDigits);
  // Her decimal separator, and "." as well: either is read (ParseStoredNumber).
  if (decimals > 0)
    pattern += QStringLiteral("((\\.|%1)\\d{0,%2})?")
                   .arg(QRegularExpression::escape(AppLocale().decimalPoint()))
                   .arg(decimals);
  return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}
}  // namespace

WeightView::WeightView(ViewHost* host, QWidget* parent)
    : QWidget(parent), host_(host), model_(host->Dir().WeightFolder()) {
  setObjectName(QStringLiteral("frmWeight"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);

  auto* header = new QFrame(this);
  header->setObjectName(QStringLiteral("HeaderBox"));
  header->setFrameShape(QFrame::StyledPanel);
  BuildHeader(header);
  layout->addWidget(header);

  pg_ = new QTabWidget(this);
  pg_->setObjectName(QStringLiteral("pg"));
  pg_->addTab(BuildTargetTab(), QStringLiteral("Target"));
  pg_->addTab(BuildHistoryTab(), QStringLiteral("History"));
  pg_->addTab(BuildBmiTab(), QStringLiteral("BMI"));
  layout->addWidget(pg_, 1);
  connect(pg_, &QTabWidget::currentChanged, this, &WeightView::pgChange);

  units_ = host_->Settings().Units();
  height_->setText(QString::number(std::lround(host_->Settings().BmiHeightIn(units_))));
  const QString unit = host_->Settings().WeightUnitLabel();
  weightUnit1_->setText(unit);
  weightUnit2_->setText(unit);
  heightUnit_->setText(host_->Settings().LengthUnitLabel());
}

WeightView::~WeightView() {
  // The fields outlive the model while QWidget deletes them, and a focused field that
  // goes away reports "editing finished": no handler may run on a half-destroyed view.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void WeightView::BuildHeader(QWidget* box) {
  auto* v = new QVBoxLayout(box);
  v->setContentsMargins(6, 4, 6, 4);
  v->setSpacing(2);
  title_ = new QLabel(box);
  title_->setObjectName(QStringLiteral("Title_Label"));
  QFont bold = title_->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  title_->setFont(bold);
  v->addWidget(title_);

  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  row->addWidget(new QLabel(QStringLiteral("Today's Weight"), box));
  weight_ = new QLineEdit(OneDecimal(150), box);
  weight_->setObjectName(QStringLiteral("Weight_Today"));
  weight_->setValidator(NumberValidator(4, 1, weight_));
  weight_->setAlignment(Qt::AlignRight);
  // Wide enough for the longest weight and for the word a stored text that is no
  // number shows.
  weight_->setFixedWidth(std::max(weight_->fontMetrics().horizontalAdvance(QStringLiteral("00000.0")),
                                  weight_->fontMetrics().horizontalAdvance(QStringLiteral("unreadable"))) +
                         20);
  row->addWidget(weight_);
  weightUnit1_ = new QLabel(box);
  weightUnit1_->setObjectName(QStringLiteral("weight_label1"));
  row->addWidget(weightUnit1_);
  row->addSpacing(10);
  auto* save = MakeLink(QStringLiteral("save_weight"), QStringLiteral("save"), box);
  auto* clear = MakeLink(QStringLiteral("UserClear"), QStringLiteral("clear"), box);
  row->addWidget(save);
  row->addWidget(clear);
  row->addStretch(1);
  v->addLayout(row);

  connect(weight_, &QLineEdit::textEdited, this, [this] {
    weightEdited_ = true;
    if (weightUnreadable_) {
      // What she types replaces the stored text that was no weight.
      weightUnreadable_ = false;
      MarkUnreadable(weight_, QString(), QString());
    }
    Weight_TodayChange();
  });
  connect(weight_, &QLineEdit::editingFinished, this, [this] { Weight_TodayExit(); });
  connect(save, &QPushButton::clicked, this, [this] { save_weightClick(); });
  connect(clear, &QPushButton::clicked, this, [this] { UserClearClick(); });
}

QWidget* WeightView::BuildTargetTab() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(8, 6, 8, 4);
  v->setSpacing(4);

  // The question with the days field sitting in its gap.
  auto* questionRow = new QWidget(page);
  auto* question = new QLabel(kQuestion, questionRow);
  question->setTextFormat(Qt::PlainText);
  days_ = new QLineEdit(QStringLiteral("30"), questionRow);
  days_->setObjectName(QStringLiteral("days_diet"));
  // Four digits, so that the upper limit itself can be typed; anything beyond the
  // limits is set back when the field is left.
  days_->setMaxLength(4);
  days_->setValidator(NumberValidator(4, 0, days_));
  days_->setAlignment(Qt::AlignCenter);
  const QFontMetrics fm(question->font());
  const int lead = fm.horizontalAdvance(kQuestionLead);
  const int gap = fm.horizontalAdvance(kGap);
  const int fieldHeight = days_->sizeHint().height();
  days_->setGeometry(lead, 0, std::max(gap, fm.horizontalAdvance(QStringLiteral("0000")) + 8),
                     fieldHeight);
  question->setGeometry(0, (fieldHeight - fm.height()) / 2, fm.horizontalAdvance(kQuestion) + 4,
                        fm.height());
  questionRow->setFixedHeight(fieldHeight);
  questionRow->setMinimumWidth(fm.horizontalAdvance(kQuestion) + 4);

  auto* goalRow = new QHBoxLayout;
  goalRow->setSpacing(6);
  goalRow->addWidget(questionRow);
  goal_ = new QLineEdit(OneDecimal(kDefaultWeightGoal), page);
  goal_->setObjectName(QStringLiteral("WEight_Goal"));
  goal_->setValidator(NumberValidator(4, 1, goal_));
  goal_->setAlignment(Qt::AlignRight);
  goal_->setFixedWidth(weight_->width());
  goalRow->addWidget(goal_);
  weightUnit2_ = new QLabel(page);
  weightUnit2_->setObjectName(QStringLiteral("weight_label2"));
  goalRow->addWidget(weightUnit2_);
  auto* calc = new QPushButton(QStringLiteral("Calculate "), page);
  calc->setObjectName(QStringLiteral("SpeedButton1"));
  goalRow->addSpacing(8);
  goalRow->addWidget(calc);
  goalRow->addStretch(1);
  v->addLayout(goalRow);

  daysLeft_ = new QLabel(page);
  daysLeft_->setObjectName(QStringLiteral("ui_days_left"));
  daysLeft_->setAlignment(Qt::AlignCenter);
  daysLeft_->hide();
  v->addWidget(daysLeft_);
  calories_ = new QLabel(page);
  calories_->setObjectName(QStringLiteral("lblCalories"));
  calories_->setAlignment(Qt::AlignCenter);
  calories_->hide();
  v->addWidget(calories_);

  targetCaption_ = new QLabel(QStringLiteral("Target Weight"), page);
  QFont bold = targetCaption_->font();
  bold.setBold(true);
  targetCaption_->setFont(bold);
  targetCaption_->setAlignment(Qt::AlignCenter);
  targetCaption_->hide();
  v->addWidget(targetCaption_);

  QChart* chart = MakeChart();
  planLine_ = new QLineSeries(chart);
  planArea_ = new QAreaSeries(planLine_);
  planArea_->setName(QStringLiteral("Plan"));
  planArea_->setBrush(QColor(255, 224, 255));
  planArea_->setPen(QPen(QColor(192, 192, 192), 1, Qt::DotLine));
  reference_ = new QLineSeries;
  reference_->setName(QStringLiteral("Target"));
  reference_->setPen(QPen(Qt::red, 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  chart->addSeries(planArea_);
  chart->addSeries(reference_);
  targetX_ = MakeDateAxis();
  targetY_ = MakeValueAxis();
  chart->addAxis(targetX_, Qt::AlignBottom);
  chart->addAxis(targetY_, Qt::AlignLeft);
  for (QAbstractSeries* s : chart->series()) {
    s->attachAxis(targetX_);
    s->attachAxis(targetY_);
  }
  targetView_ = new QChartView(chart, page);
  targetView_->setObjectName(QStringLiteral("target_Graph"));
  targetView_->setRenderHint(QPainter::Antialiasing);
  targetView_->hide();
  v->addWidget(targetView_, 1);
  v->addStretch(0);

  connect(goal_, &QLineEdit::textEdited, this, [this] {
    goalEdited_ = true;
    if (goalUnreadable_) {
      goalUnreadable_ = false;
      MarkUnreadable(goal_, QString(), QString());
    }
    WEight_GoalChange();
  });
  connect(days_, &QLineEdit::textEdited, this, [this] { days_dietChange(); });
  connect(days_, &QLineEdit::editingFinished, this, [this] { days_dietExit(); });
  connect(calc, &QPushButton::clicked, this, [this] { SpeedButton1Click(); });
  return page;
}

QWidget* WeightView::BuildHistoryTab() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->setContentsMargins(8, 6, 8, 4);
  auto* caption = new QLabel(QStringLiteral("Your Weight History"), page);
  QFont bold = caption->font();
  bold.setBold(true);
  caption->setFont(bold);
  caption->setAlignment(Qt::AlignCenter);
  v->addWidget(caption);

  QChart* chart = MakeChart();
  history_ = new QLineSeries;
  history_->setName(QStringLiteral("Weight"));
  history_->setPen(QPen(Qt::red, 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  history_->setLightMarker(HistoryMarker());
  chart->addSeries(history_);
  historyX_ = MakeDateAxis();
  historyY_ = MakeValueAxis();
  chart->addAxis(historyX_, Qt::AlignBottom);
  chart->addAxis(historyY_, Qt::AlignLeft);
  history_->attachAxis(historyX_);
  history_->attachAxis(historyY_);
  historyView_ = new QChartView(chart, page);
  historyView_->setObjectName(QStringLiteral("Weight_Graph"));
  historyView_->setRenderHint(QPainter::Antialiasing);
  v->addWidget(historyView_, 1);
  return page;
}

QWidget* WeightView::BuildBmiTab() {
  auto* page = new QWidget;
  // The arrow formula gives pixels within the tab, so the table sits at its origin.
  bmiPicture_ = new QLabel(page);
  bmiPicture_->setObjectName(QStringLiteral("BMI_Picture"));
  pictureImperial_ = Imperial();
  bmiPicture_->setPixmap(QPixmap::fromImage(BmiTablePicture(pictureImperial_)));
  bmiPicture_->setGeometry(0, 0, kBmiPictureWidth, kBmiPictureHeight);
  arrow_ = new QLabel(page);
  arrow_->setObjectName(QStringLiteral("arrow"));
  const QImage arrowImage = BmiArrowPicture();
  arrow_->setPixmap(QPixmap::fromImage(arrowImage));
  arrow_->resize(arrowImage.size());
  arrow_->hide();

  auto* side = new QWidget(page);
  side->setGeometry(kBmiPictureWidth + 8, 0, 232, kBmiPictureHeight);
  auto* v = new QVBoxLayout(side);
  v->setContentsMargins(0, 6, 0, 0);
  v->setSpacing(4);

  auto* indexRow = new QHBoxLayout;
  indexRow->addWidget(new QLabel(QStringLiteral("Your Body Mass Index:"), side));
  bmiIndex_ = new QLabel(side);
  bmiIndex_->setObjectName(QStringLiteral("BMI_Index"));
  QFont bold = bmiIndex_->font();
  bold.setBold(true);
  bmiIndex_->setFont(bold);
  indexRow->addWidget(bmiIndex_);
  indexRow->addStretch(1);
  v->addLayout(indexRow);

  bmiWarning_ = new QLabel(QStringLiteral("> "), side);
  bmiWarning_->setObjectName(QStringLiteral("BMI_Warning"));
  bmiWarning_->setStyleSheet(QStringLiteral(
      "QLabel { background: black; color: white; font-weight: bold; padding: 3px; }"));
  v->addWidget(bmiWarning_);
  v->addSpacing(6);

  auto* heightRow = new QHBoxLayout;
  heightRow->addWidget(new QLabel(QStringLiteral("Your Height"), side));
  height_ = new QLineEdit(side);
  height_->setObjectName(QStringLiteral("BMI_Height"));
  height_->setMaxLength(3);
  height_->setValidator(NumberValidator(3, 0, height_));
  height_->setAlignment(Qt::AlignRight);
  height_->setFixedWidth(height_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
  heightRow->addWidget(height_);
  heightUnit_ = new QLabel(side);
  heightUnit_->setObjectName(QStringLiteral("height_short"));
  heightRow->addWidget(heightUnit_);
  heightRow->addStretch(1);
  v->addLayout(heightRow);

  auto* calc = new QPushButton(QStringLiteral("Calculate"), side);
  calc->setObjectName(QStringLiteral("Button1"));
  auto* calcRow = new QHBoxLayout;
  calcRow->addWidget(calc);
  calcRow->addStretch(1);
  v->addLayout(calcRow);
  v->addSpacing(6);

  auto* legend = new QGroupBox(QStringLiteral("Legend"), side);
  legend->setObjectName(QStringLiteral("Legend"));
  auto* grid = new QGridLayout(legend);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setVerticalSpacing(3);
  int row = 0;
  for (BmiBand band : {BmiBand::Under, BmiBand::Normal, BmiBand::Over, BmiBand::Obese}) {
    auto* swatch = new QLabel(legend);
    swatch->setFixedSize(14, 14);
    swatch->setStyleSheet(QStringLiteral("QLabel { background: %1; border: 1px solid gray; }")
                              .arg(BmiBandColour(band).name()));
    grid->addWidget(swatch, row, 0);
    grid->addWidget(new QLabel(BmiBandText(band), legend), row, 1);
    ++row;
  }
  grid->setColumnStretch(1, 1);
  v->addWidget(legend);
  v->addStretch(1);

  arrow_->raise();
  connect(height_, &QLineEdit::textEdited, this, [this] { heightEdited_ = true; });
  connect(height_, &QLineEdit::editingFinished, this, [this] { BMI_HeightExit(); });
  connect(calc, &QPushButton::clicked, this, [this] { Button1Click(); });
  return page;
}

// --- DateView ---------------------------------------------------------------------

void WeightView::ShowDate(const QDate& date) {
  if (!date.isValid()) return;
  QStringList errors;
  filling_ = true;
  lastReported_.clear();

  model_.SetDate(date);
  Config& config = host_->Settings();
  // Every number is shown in the units of the settings, whatever unit it was stored in.
  units_ = config.Units();
  model_.SetUnits(units_, config.UnmarkedUnits());
  weightEdited_ = goalEdited_ = heightEdited_ = false;
  weightUnit1_->setText(config.WeightUnitLabel());
  weightUnit2_->setText(config.WeightUnitLabel());
  heightUnit_->setText(config.LengthUnitLabel());
  if (pictureImperial_ != Imperial()) {
    pictureImperial_ = Imperial();
    bmiPicture_->setPixmap(QPixmap::fromImage(BmiTablePicture(pictureImperial_)));
  }
  title_->setText(FormatDate(QStringLiteral("dddddd"), date));

  QString e;
  if (!model_.OpenGoal(&e)) errors << e;
  const StoredNumber goal = model_.GoalReading();
  goalUnreadable_ = goal.IsUnreadable();
  SetGoalText(model_.Goal());
  if (goalUnreadable_) {
    goal_->clear();
    MarkUnreadable(goal_, QStringLiteral("goal"), goal.text);
  }
  shown_ = true;

  if (!model_.OpenYear(&e)) errors << e;
  ShowHistory();

  const StoredNumber weight = model_.DayWeight();
  weightUnreadable_ = weight.IsUnreadable();
  const QString weightText = weightUnreadable_ ? QString() : OneDecimal(weight.value);
  const bool changed = weight_->text() != weightText;
  weight_->setText(weightText);
  MarkUnreadable(weight_, QStringLiteral("weight"), weightUnreadable_ ? weight.text : QString());
  filling_ = false;
  if (changed) Weight_TodayChange();

  height_->setText(QString::number(std::lround(config.BmiHeightIn(units_))));
  // A file far larger than its kind is shown read-only; the user hears of it once.
  errors << model_.ReadOnlyNotices();
  if (!errors.isEmpty()) ShowError(errors.join(u'\n'), this);
}

bool WeightView::IsDayMarked(const QDate& date) const {
  return shown_ && date.isValid() && model_.HasWeight(YearGridRow(date));
}

// --- saving -----------------------------------------------------------------------

bool WeightView::SaveWeight() { return SaveWeightReporting(false); }

bool WeightView::SaveWeightReporting(bool always) {
  if (!shown_ || filling_) return true;
  QString errors;
  const std::optional<double> shownWeight =
      weightUnreadable_ && weight_->text().trimmed().isEmpty() ? std::nullopt
                                                               : std::optional<double>(WeightValue());
  const bool ok = model_.SaveDay(WeightToSave(), GoalToSave(), &errors, shownWeight);
  int height = 0;
  // The height as stored stays unless she typed one: shown in other units it is rounded.
  if (heightEdited_ && IniFile::ParseInteger(height_->text().trimmed(), &height))
    host_->Settings().SetBmiHeight(std::clamp(height, kMinHeight, kMaxHeight), units_);
  if (ok) {
    lastReported_.clear();
    // The history and the month grid show the weight just typed.
    ShowHistory();
    host_->DayMarksChanged();
  } else {
    Report(errors, always);
  }
  return ok;
}

void WeightView::Report(const QString& errors, bool always) {
  if (!always && errors == lastReported_) return;
  // Set before the box opens: the box takes the focus, and leaving a field saves again.
  lastReported_ = errors;
  ShowError(errors, this);
}

// --- edits ------------------------------------------------------------------------

double WeightView::WeightValue() const {
  double v = 0;
  return ParseStoredNumber(weight_->text(), &v) ? v : 0;
}

double WeightView::GoalValue() const {
  double v = 0;
  return ParseStoredNumber(goal_->text(), &v) ? v : 0;
}

int WeightView::DaysValue() const {
  bool ok = false;
  const int v = days_->text().trimmed().toInt(&ok);
  return ok ? v : 0;
}

bool WeightView::Imperial() const { return units_ == UnitSystem::Imperial; }

void WeightView::SetGoalText(double goal) {
  goal_->setText(OneDecimal(goal));
  MarkUnreadable(goal_, QString(), QString());
}

std::optional<double> WeightView::WeightToSave() const {
  if (!weightEdited_ || (weightUnreadable_ && weight_->text().trimmed().isEmpty()))
    return std::nullopt;
  return WeightValue();
}

std::optional<double> WeightView::GoalToSave() const {
  if (!goalEdited_ || (goalUnreadable_ && goal_->text().trimmed().isEmpty()))
    return std::nullopt;
  return GoalValue();
}

void WeightView::MarkUnreadable(QLineEdit* field, const QString& what, const QString& stored) {
  if (stored.isEmpty()) {
    if (field->placeholderText().isEmpty()) return;
    field->setPlaceholderText(QString());
    field->setToolTip(QString());
    field->setStyleSheet(QString());
    return;
  }
  field->setPlaceholderText(QStringLiteral("unreadable"));
  field->setToolTip(QStringLiteral("The stored %1 \"%2\" is not a number. It is kept as it "
                                   "stands until you type a new one.")
                        .arg(what, stored));
  field->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid rgb(200,40,40); }"));
}

void WeightView::Weight_TodayChange() {
  if (filling_) return;
  const double w = WeightValue();
  if (w > 0) SaveWeight();
  // The plan, its messages and a body-mass index on screen follow the weight; a day
  // without one shows none.
  ShowPlan();
  ShowGoalMessage();
  if (w <= 0 || !arrow_->isHidden()) ShowBMI();
  // A goal that could not be read is not raised over: it is no goal below the weight.
  const bool goalShown = !(goalUnreadable_ && goal_->text().trimmed().isEmpty());
  if (goalShown && GoalValue() < w - 5) {
    SetGoalText(w - 5);
    goalEdited_ = true;
    WEight_GoalChange();
  }
}

void WeightView::Weight_TodayExit() {
  if (filling_) return;
  SaveWeight();
}

void WeightView::WEight_GoalChange() {
  if (filling_ || !shown_) return;
  SaveWeight();
  ShowPlan();
  ShowGoalMessage();
}

void WeightView::days_dietChange() { WEight_GoalChange(); }

void WeightView::days_dietExit() {
  const int v = DaysValue();
  const int clamped = std::clamp(v, kMinDays, kMaxDays);
  if (clamped == v && !days_->text().trimmed().isEmpty()) return;
  QApplication::beep();
  days_->setText(QString::number(clamped));
  days_dietChange();
}

void WeightView::BMI_HeightExit() {
  int v = 0;
  const bool ok = IniFile::ParseInteger(height_->text().trimmed(), &v);
  const int clamped = std::clamp(ok ? v : kMinHeight, kMinHeight, kMaxHeight);
  if (ok && clamped == v) return;
  height_->setText(QString::number(clamped));
}

void WeightView::pgChange(int) {
  if (filling_ || !shown_) return;
  SaveWeight();
  ShowPlan();
  ShowGoalMessage();
}

void WeightView::save_weightClick() {
  // "save" stores what the fields show, except a stored text that is not a number and
  // that she has not typed over.
  weightEdited_ = goalEdited_ = true;
  const double w = WeightValue();
  bool ok = true;
  if (w > 0) {
    ok = SaveWeightReporting(true);
    ShowPlan();
    ShowGoalMessage();
  }
  if (const std::optional<double> weight = WeightToSave()) model_.SetWeight(model_.Row(), *weight);
  ShowHistory();
  // The actions of a goal edit.
  if (shown_) {
    const bool again = SaveWeightReporting(ok);
    ok = ok && again;
    ShowPlan();
    ShowGoalMessage();
  }
  if (ok && shown_) ShowMessage(QStringLiteral("Weight Saved"), this);
}

void WeightView::UserClearClick() {
  weight_->setText(OneDecimal(0));
  MarkUnreadable(weight_, QString(), QString());
  weightEdited_ = true;
  weightUnreadable_ = false;
  Weight_TodayChange();
  // Written to the file by the next save; the chart and the month grid drop the day now.
  model_.SetWeightText(model_.Row(), QStringLiteral("0"));
  ShowHistory();
}

void WeightView::SpeedButton1Click() {
  ShowPlan();
  ShowGoalMessage();
  daysLeft_->show();
  calories_->show();
  targetCaption_->show();
  targetView_->show();
}

void WeightView::Button1Click() { ShowBMI(); }

// --- drawing ----------------------------------------------------------------------

void WeightView::ShowHistory() {
  // The year shown, reaching back a year from the day shown: on 2 January December's
  // weights are still there.
  const QDate shown = model_.Date().isValid() ? model_.Date() : Clock::Today();
  const QVector<DatedWeight> points =
      model_.History(shown.addYears(-1).addDays(1), QDate(shown.year(), 12, 31));
  QList<QPointF> xy;
  xy.reserve(points.size());
  double lo = 0, hi = 0;
  for (const DatedWeight& p : points) {
    xy.append(QPointF(QDateTime(p.date, QTime(0, 0)).toMSecsSinceEpoch(), p.weight));
    lo = xy.size() == 1 ? p.weight : std::min(lo, p.weight);
    hi = xy.size() == 1 ? p.weight : std::max(hi, p.weight);
  }
  history_->replace(xy);
  if (points.isEmpty()) {
    const int year = model_.Year() > 0 ? model_.Year() : Clock::Today().year();
    const QDate first(year, 1, 1);
    SetDayRange(historyX_, QDateTime(first, QTime(0, 0)), first.daysTo(QDate(year, 12, 31)));
    const double g = GoalValue();
    SetValueRange(historyY_, g - 10, g + 10);
    return;
  }
  const QDate first = points.first().date;
  SetDayRange(historyX_, QDateTime(first, QTime(0, 0)), first.daysTo(points.last().date));
  SetValueRange(historyY_, lo, hi);
}

void WeightView::ShowPlan() {
  const double w = WeightValue();
  const double g = GoalValue();
  const int c = DaysValue();
  const QDateTime now = Clock::Now();
  if (w <= 0) {
    // No weight on this day: a plan from 0 would be nonsense.
    reference_->clear();
    planLine_->clear();
    return;
  }
  const WeightPlan plan = MakeWeightPlan(w, g, c, now);

  QList<QPointF> ref, area;
  ref.reserve(plan.reference.size());
  area.reserve(plan.plan.size());
  double lo = std::min(w, g), hi = std::max(w, g);
  for (const PlanPoint& p : plan.reference) ref.append(QPointF(p.when.toMSecsSinceEpoch(), p.weight));
  for (const PlanPoint& p : plan.plan) {
    area.append(QPointF(p.when.toMSecsSinceEpoch(), p.weight));
    lo = std::min(lo, p.weight);
  }
  reference_->replace(ref);
  planLine_->replace(area);
  SetDayRange(targetX_, now, c);
  // The plan fills down to the bottom of the axis, so the axis starts below the goal.
  SetValueRange(targetY_, std::max(0.0, lo), hi);
}

void WeightView::ShowGoalMessage() {
  if (WeightValue() <= 0) {
    daysLeft_->clear();
    calories_->clear();
    return;
  }
  const GoalMessage m = MakeGoalMessage(WeightValue(), GoalValue(), DaysValue(), !Imperial(),
                                        Imperial() ? QStringLiteral("lbs") : QStringLiteral("kg"));
  if (m.daysLeft) daysLeft_->setText(*m.daysLeft);
  if (m.calories) calories_->setText(*m.calories);
}

void WeightView::ShowBMI() {
  double h = 0, w = 0;
  if (!ParseStoredNumber(height_->text(), &h) || !ParseStoredNumber(weight_->text(), &w) || w <= 0 ||
      h <= 0) {
    // A day without a weight has no index, class or arrow.
    bmiIndex_->clear();
    bmiWarning_->clear();
    arrow_->hide();
    return;
  }
  const bool imperial = Imperial();
  const double cm = BmiHeightCm(h, imperial);
  const double kg = BmiWeightKg(w, imperial);
  PlaceArrow(BmiArrowOnPicture(kg, cm));
  const int index = BmiIndex(kg, cm);
  bmiIndex_->setText(QString::number(index));
  bmiWarning_->setText(BmiWarningText(index));
}

void WeightView::PlaceArrow(const QPoint& point) {
  arrow_->move(bmiPicture_->pos() + point);
  arrow_->show();
  arrow_->raise();
}
