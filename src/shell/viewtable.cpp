#include "shell/viewtable.h"

#include "basal/widgets/basalview.h"
#include "cycle/widgets/calendarview.h"
#include "cycle/widgets/cyclesview.h"
#include "cycle/widgets/journalview.h"
#include "nutrition/widgets/mealdiaryview.h"
#include "sleep/widgets/sleepview.h"
#include "trackers/widgets/bloodpressureview.h"
#include "trackers/widgets/exerciseview.h"
#include "trackers/widgets/healthview.h"
#include "trackers/widgets/todoview.h"
#include "trackers/widgets/weightview.h"

namespace {
template <typename View>
QWidget* Make(ViewHost* host) {
  return new View(host);
}
// The sleep view and the kids view are one class set up twice.
QWidget* MakeSleep(ViewHost* host) { return new SleepView(host, SleepSetup::Sleep()); }
QWidget* MakeKids(ViewHost* host) { return new SleepView(host, SleepSetup::Kids()); }
}  // namespace

const QList<ViewEntry>& ViewTable() {
  static const QList<ViewEntry> table = {
      {.name = "calendar", .icon = "Ovulation_Icon", .hint = "Mavelo", .caption = "Ovulation",
       .panel = "pnlCalendar", .side = "pnlMonth", .innerPage = 0, .footer = true,
       .title = "Mavelo", .gridDay = true, .make = Make<CalendarView>},
      {.name = "basal", .icon = "Basal_Icon", .hint = "Basal Temperature",
       .caption = "Basal Temp", .panel = "pnlBasal", .outerPage = 1, .innerPage = 1,
       .footer = true, .title = "Basal Temperature", .make = Make<BasalView>},
      {.name = "eat", .icon = "Calories_Icon", .hint = "Diet Diary", .caption = "Calories",
       .panel = "pnlEat", .innerPage = 8, .title = "Calorie Tracker",
       .make = Make<MealDiaryView>, .firstShowDate = true},
      {.name = "exercise", .icon = "Exercise_Icon", .hint = "Fitness Tracker",
       .caption = "Exercise", .panel = "pnlExercise", .innerPage = 6,
       .title = "Exercise Tracker", .make = Make<ExerciseView>, .firstShowDate = true},
      {.name = "weight", .icon = "Weight_Icon", .hint = "Weight Tracker", .caption = "Weight",
       .panel = "pnlWeight", .innerPage = 5, .title = "Weight Tracker",
       .make = Make<WeightView>, .firstShowDate = true},
      {.name = "heart", .icon = "Heart_Icon", .hint = "Blood Pressure",
       .caption = "Blood Pressure", .panel = "pnlHeart", .innerPage = 9,
       .title = "Blood Pressure Tracker", .make = Make<BloodPressureView>},
      // The sleep log keeps the date bar, as the kids view does: without it the 33-day
      // window could not be moved to another month from its own page.
      {.name = "sleep", .icon = "Sleep_Icon", .hint = "Sleep Tracker", .caption = "Sleep",
       .iconPage = 0, .panel = "pnlSleep", .outerPage = 3, .innerPage = 7, .make = MakeSleep,
       .firstShowDate = true},
      {.name = "kids", .icon = "Kids_Icon", .hint = "ToDo", .caption = "Baby & Kids",
       .iconPage = 1, .panel = "pnlKids", .outerPage = 6, .innerPage = 7,
       .title = "Baby & Kids Tracker", .make = MakeKids, .firstShowDate = true},
      {.name = "todo", .icon = "ToDo_Icon", .hint = "ToDo", .caption = "To Do",
       .panel = "pnlToDo", .innerPage = 2, .dateTitle = true, .dayCaption = true,
       .gridDay = true, .make = Make<TodoView>, .firstShowDate = true},
      {.name = "note", .icon = "Journal_icon", .hint = "Note", .caption = "Journal",
       .panel = "pnlNote", .innerPage = 3, .title = "Journal", .gridDay = true,
       .make = Make<JournalView>},
      // What the program learns from her own records; the footer stays, so "Use my
      // average" shows what it set.
      {.name = "cycles", .icon = "Cycles_Icon", .hint = "My cycles", .caption = "My Cycles",
       .panel = "pnlCycles", .outerPage = 7, .footer = true, .dateBar = false,
       .title = "My Cycles", .make = Make<CyclesView>},
      {.name = "health", .icon = "Health_Icon", .hint = "Health", .caption = "Health",
       .panel = "pnlHealth", .outerPage = 5, .innerPage = 4, .dateBar = false,
       .title = "Health Information", .make = Make<HealthView>},
      {.name = "planner", .icon = "Calendar_Icon", .hint = "Note", .caption = "Week Planner",
       .outerPage = -1},
      {.name = "forum", .icon = "Forum_Icon", .hint = "Note", .caption = "Forum",
       .iconShown = false, .outerPage = 4},
  };
  return table;
}

const ViewEntry* FindView(const QString& name) {
  for (const ViewEntry& e : ViewTable())
    if (e.name == name) return &e;
  return nullptr;
}

QString MenuText(const QString& caption, QString* taken) {
  QString text = caption;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool wordStart = i == 0 || text.at(i - 1) == u' ';
    const QChar c = text.at(i).toLower();
    if (wordStart && c.isLetter() && !taken->contains(c)) {
      *taken += c;
      text.insert(i, u'&');
      break;
    }
  }
  text.replace(QStringLiteral(" & "), QStringLiteral(" && "));
  return text;
}
