// The to-do costs that recur: the month grid asks for a mark on every day cell at each
// repaint, and the shown list with the report is written each time the focus leaves
// the list.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/config.h"
#include "trackers/todolist.h"

namespace {

const QDate kDay(2009, 3, 1);

void BM_MonthMarks(benchmark::State& state) {
  QTemporaryDir dir;
  const QString folder = dir.path() + "/";
  // Every other day of the month has a list.
  for (int d = 1; d <= 31; d += 2) {
    QFile f(folder + TodayFileName(QDate(2009, 3, d)));
    f.open(QIODevice::WriteOnly);
    f.write("F=x\r\n");
  }
  for (auto _ : state) {
    int marked = 0;
    for (int d = 0; d < 42; ++d)
      marked += QFileInfo::exists(folder + TodayFileName(QDate(2009, 2, 23).addDays(d)));
    benchmark::DoNotOptimize(marked);
  }
}
BENCHMARK(BM_MonthMarks);

// SaveList: the shown list, then todo.html over every category.
void BM_SaveListAndReport(benchmark::State& state) {
  const int items = static_cast<int>(state.range(0));
  QTemporaryDir dir;
  const QString todo = dir.path() + "/ToDo/";
  const QString build = dir.path() + "/Build/";
  QDir().mkpath(todo);
  QDir().mkpath(build);
  const QStringList categories = ReadCategories(QString::fromLatin1(kDefaultToDoCategories));
  QStringList lines;
  for (int i = 0; i < items; ++i) lines << ToDoLine(i % 3 == 0, QString("Item number %1").arg(i));
  ToDoList list;
  list.SetLines(lines);
  for (const QString& name : categories) SaveToDoList(list, CategoryFile(name, kDay, todo), nullptr);
  QString error;
  for (auto _ : state) {
    SaveToDoList(list, CategoryFile("Today", kDay, todo), &error);
    WriteToDoReport(categories, kDay, todo, build, &error, kDay);
  }
  state.SetItemsProcessed(state.iterations() * items * categories.size());
}
BENCHMARK(BM_SaveListAndReport)->Arg(10)->Arg(100);

}  // namespace

BENCHMARK_MAIN();
