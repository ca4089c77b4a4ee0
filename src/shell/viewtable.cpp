#include "shell/viewtable.h"

#include "basal/widgets/basalview.h"
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
  // name, icon, hint, caption, shown, icon page, panel, outer, inner, footer, date bar,
  // title, make, first ShowDate
  static const QList<ViewEntry> table = {
      {"calendar", "Ovulation_Icon", "Mavelo", "Ovulation", true, -1, "", 0, 0, true, true,
       "Mavelo", {}, false},
      {"basal", "Basal_Icon", "Basal Temperature", "Basal Temp", true, -1, "pnlBasal", 1, 1,
       true, true, "Basal Temperature", Make<BasalView>, false},
      {"eat", "Calories_Icon", "Diet Diary", "Calories", true, -1, "pnlEat", 0, 8, false, true,
       "Calorie Tracker", Make<MealDiaryView>, true},
      {"exercise", "Exercise_Icon", "Fitness Tracker", "Exercise", true, -1, "pnlExercise", 0,
       6, false, true, "Exercise Tracker", Make<ExerciseView>, true},
      {"weight", "Weight_Icon", "Weight Tracker", "Weight", true, -1, "pnlWeight", 0, 5, false,
       true, "Weight Tracker", Make<WeightView>, true},
      {"heart", "Heart_Icon", "Blood Pressure", "Blood Pressure", true, -1, "pnlHeart", 0, 9,
       false, true, "Blood Pressure Tracker", Make<BloodPressureView>, false},
      // The sleep log keeps the date bar, as the kids view does: without it the 33-day
      // window could not be moved to another month from its own page.
      {"sleep", "Sleep_Icon", "Sleep Tracker", "Sleep", true, 0, "pnlSleep", 3, 7, false,
       true, "", MakeSleep, true},
      {"kids", "Kids_Icon", "ToDo", "Baby & Kids", true, 1, "pnlKids", 6, 7, false, true,
       "Baby & Kids Tracker", MakeKids, true},
      {"todo", "ToDo_Icon", "ToDo", "To Do", true, -1, "pnlToDo", 0, 2, false, true, QString(),
       Make<TodoView>, true},
      {"note", "Journal_icon", "Note", "Journal", true, -1, "", 0, 3, false, true, "Journal",
       {}, false},
      {"health", "Health_Icon", "Health", "Health", true, -1, "pnlHealth", 5, 4, false, false,
       "Health Information", Make<HealthView>, false},
      {"planner", "Calendar_Icon", "Note", "Week Planner", true, -1, "", -1, -1, false, true,
       "", {}, false},
      {"forum", "Forum_Icon", "Note", "Forum", false, -1, "", 4, -1, false, true, "", {},
       false},
  };
  return table;
}

const ViewEntry* FindView(const QString& name) {
  for (const ViewEntry& e : ViewTable())
    if (e.name == name) return &e;
  return nullptr;
}
