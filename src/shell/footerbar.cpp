#include "shell/footerbar.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include "app/config.h"
#include "app/widgets/datefield.h"
#include "app/widgets/fonts.h"
#include "app/widgets/labels.h"
#include "core/clock.h"
#include "cycle/gridpictures.h"

FooterBar::FooterBar(QWidget* parent) : QWidget(parent) {
  QWidget* footer = this;
  footer->setObjectName(QStringLiteral("pnlFooter"));
  footer->setFixedHeight(kHeight);
  footer->setAttribute(Qt::WA_StyledBackground, true);
  footer->setStyleSheet(QStringLiteral("QWidget#pnlFooter { background: rgb(244,250,255); }"));

  // Legend: four cycle colours, the two goal marks and the predicted window of a period
  // from her history; FillLegend colours them. Each caption is as wide as its longest
  // word needs, so that the seven fit left of the settings.
  struct Tile {
    const char* name;
    int captionWidth;
  };
  const Tile tiles[] = {{"Legend_Fertile", 48}, {"Legend_Ovulation", 48}, {"Legend_Period", 48},
                        {"Legend_Neutral", 48}, {"Legend_Heart", 54},     {"Legend_Cross", 54},
                        {"Legend_Window", 48}};
  int x = 8;
  for (const Tile& t : tiles) {
    auto* tile = new QLabel(footer);
    tile->setObjectName(QLatin1String(t.name));
    tile->setGeometry(x, 8, 18, 18);
    tile->setAlignment(Qt::AlignCenter);
    auto* cap = new QLabel(footer);
    cap->setObjectName(QLatin1String(t.name) + QStringLiteral("_Caption"));
    cap->setFont(ArialFont(11));
    cap->setGeometry(x + 22, 4, t.captionWidth, 28);
    cap->setWordWrap(true);
    x += 22 + t.captionWidth + 4;
  }

  const int x0 = 540;
  MakeLabel(footer, QStringLiteral("lblGoal"), QStringLiteral("My Goal:"), ArialFont(11, true))
      ->setGeometry(x0, 4, 120, 14);
  goal_ = new QComboBox(footer);
  goal_->setObjectName(QStringLiteral("ui_goal"));
  for (int g = 0; g < 4; ++g) goal_->addItem(GoalName(g));
  goal_->setGeometry(x0, 20, 128, 24);
  MakeLabel(footer, QStringLiteral("lblLastPeriod"), QStringLiteral("Last Period"), ArialFont(11, true))
      ->setGeometry(x0 + 136, 4, 110, 14);
  lastPeriod_ = new QDateEdit(footer);
  TypeDigitsIntoSections(lastPeriod_);
  lastPeriod_->setObjectName(QStringLiteral("ui_LastPeriod"));
  lastPeriod_->setDisplayFormat(QStringLiteral("MMM dd, yyyy"));
  lastPeriod_->setCalendarPopup(true);
  lastPeriod_->setDateRange(LastPeriodMinimum(), LastPeriodMaximum());
  lastPeriod_->setDate(Clock::Today());
  lastPeriod_->setGeometry(x0 + 136, 20, 110, 24);
  MakeLabel(footer, QStringLiteral("lblCycle"), QStringLiteral("Cycle Length"), ArialFont(11, true))
      ->setGeometry(x0 + 254, 4, 80, 14);
  cycle_ = new QSpinBox(footer);
  cycle_->setObjectName(QStringLiteral("ui_cycle"));
  cycle_->setRange(20, 40);
  cycle_->setValue(28);
  cycle_->setGeometry(x0 + 254, 20, 70, 24);
  MakeLabel(footer, QStringLiteral("lblLuteal"), QStringLiteral("Luteal Phase"), ArialFont(11, true))
      ->setGeometry(x0 + 334, 4, 80, 14);
  luteal_ = new QSpinBox(footer);
  luteal_->setObjectName(QStringLiteral("ui_luteal"));
  luteal_->setRange(10, 18);
  luteal_->setValue(12);
  luteal_->setGeometry(x0 + 334, 20, 70, 24);
  // Typed numbers count once they are whole, not at every digit: "3" on the way to "35"
  // would redraw everything for a cycle of 3 days.
  for (QSpinBox* s : {cycle_, luteal_}) s->setKeyboardTracking(false);

  connect(goal_, &QComboBox::currentIndexChanged, this, &FooterBar::goalChanged);
  connect(lastPeriod_, &QDateEdit::dateChanged, this, &FooterBar::lastPeriodChanged);
  connect(lastPeriod_, &QDateEdit::editingFinished, this, &FooterBar::lastPeriodEditFinished);
  connect(cycle_, &QSpinBox::valueChanged, this, &FooterBar::lengthsChanged);
  connect(luteal_, &QSpinBox::valueChanged, this, &FooterBar::lengthsChanged);
}

void FooterBar::FillLegend() {
  struct Entry {
    const char* name;
    CycleClassKind kind;
    const char* caption;
  };
  const Entry entries[] = {{"Legend_Fertile", CycleClassKind::Fertile, "Fertile Day"},
                           {"Legend_Ovulation", CycleClassKind::Ovulation, "Ovulation"},
                           {"Legend_Period", CycleClassKind::PeriodDay1, "Menstrual Flow"},
                           {"Legend_Neutral", CycleClassKind::Neutral, "Neutral Day"}};
  for (const Entry& e : entries) {
    auto* tile = findChild<QLabel*>(QLatin1String(e.name));
    tile->setStyleSheet(QStringLiteral("background: %1; border: 1px solid rgb(200,200,200);")
                            .arg(ClassColour(e.kind).name()));
    findChild<QLabel*>(QLatin1String(e.name) + QStringLiteral("_Caption"))
        ->setText(QLatin1String(e.caption));
  }
  auto* heart = findChild<QLabel*>(QStringLiteral("Legend_Heart"));
  heart->setPixmap(QPixmap::fromImage(GridPictureImage(GridPicture::Heart)));
  findChild<QLabel*>(QStringLiteral("Legend_Heart_Caption"))
      ->setText(QStringLiteral("Have intercourse"));
  auto* cross = findChild<QLabel*>(QStringLiteral("Legend_Cross"));
  cross->setText(QStringLiteral("x"));
  cross->setFont(ArialFont(15, true));
  cross->setStyleSheet(QStringLiteral("color: rgb(255,0,0);"));
  findChild<QLabel*>(QStringLiteral("Legend_Cross_Caption"))
      ->setText(QStringLiteral("No intercourse"));
  // The predicted window's entry: a white day in its frame.
  auto* window = findChild<QLabel*>(QStringLiteral("Legend_Window"));
  window->setStyleSheet(QStringLiteral("background: white; border: 2px solid %1;")
                          .arg(PredictedWindowColour().name()));
  window->setToolTip(QStringLiteral(
      "The days your next periods are expected, from the period starts you recorded"));
  findChild<QLabel*>(QStringLiteral("Legend_Window_Caption"))
      ->setText(QStringLiteral("Expected period"));
}

CycleSettings FooterBar::Show(const CycleSettings& c) {
  {
    const QSignalBlocker b1(goal_), b2(lastPeriod_), b3(cycle_), b4(luteal_);
    goal_->setCurrentIndex(c.Goal >= 0 && c.Goal <= 3 ? c.Goal : -1);
    lastPeriod_->setDate(c.LastPeriod);
    cycle_->setValue(c.CycleLength);
    luteal_->setValue(c.LutealLength);
  }
  return Shown();
}

CycleSettings FooterBar::Shown() const {
  CycleSettings s;
  s.Goal = goal_->currentIndex();
  s.LastPeriod = lastPeriod_->date();
  s.CycleLength = cycle_->value();
  s.LutealLength = luteal_->value();
  return s;
}

void FooterBar::SetLengths(int cycleLength, int lutealLength) {
  const QSignalBlocker b1(cycle_), b2(luteal_);
  if (cycleLength > 0) cycle_->setValue(cycleLength);
  if (lutealLength > 0) luteal_->setValue(lutealLength);
}

void FooterBar::MarkLastPeriodUnreadable(const QString& unreadable) {
  lastPeriod_->setStyleSheet(unreadable.isEmpty()
                                 ? QString()
                                 : QStringLiteral("QDateEdit { border: 2px solid rgb(220,0,0); }"));
  lastPeriod_->setToolTip(
      unreadable.isEmpty()
          ? QString()
          : QStringLiteral("The last period in your settings could not be read (%1). "
                           "Pick the first day of your last period.")
                .arg(unreadable));
}
