// The helper of bench/killsaves.sh: saves without end, to be killed (SIGKILL) at any
// moment, and checks afterwards that every file it wrote is whole.
//
//   killsaves core <folder>    writes grid, text, ini and binary files in the folder, each
//                              save a new version that can be told from a cut one
//   killsaves window           runs the main window (offscreen) over $XDG_DATA_HOME and
//                              types weights, notes, list items and footer settings
//   killsaves check <folder>   after a kill: clears stale temporary files as start-up
//                              does, then checks every file; prints one line
//                              "ok files=N removed=M" or "corrupt <path>: <why>"
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QtTest/QTest>
#include <cstdio>

#include "app/datafolders.h"
#include "app/widgets/messages.h"
#include "app/widgets/welcomedialog.h"
#include "core/gridfile.h"
#include "core/inifile.h"
#include "core/textfile.h"
#include "cycle/widgets/monthcalendar.h"
#include "shell/mainwindow.h"

namespace {

// --- core saves: versions that check themselves ------------------------------------

CellGrid GridVersion(int v) {
  const int rows = 10 + v % 700;  // about 0.3 to 25 KB: both sides of a 16 KB buffer
  CellGrid g(4, rows);
  g.SetRow(0, {"Version", QString::number(v), "rows", QString::number(rows)});
  for (int r = 1; r < rows; ++r)
    g.SetRow(r, {QStringLiteral("cell %1").arg(r), QString::number(qint64(r) * v), "a, \"b\"", ""});
  return g;
}

QStringList NoteVersion(int v) {
  QStringList lines{QStringLiteral("version %1").arg(v)};
  for (int k = 0; k < v % 1500; ++k) lines << QStringLiteral("line %1 of version %2").arg(k).arg(v);
  return lines;
}

QByteArray IniVersion(int v) {
  IniFile ini;
  ini.WriteInteger("Check", "Version", v);
  for (int k = 0; k < v % 60; ++k) ini.WriteString("Data", QStringLiteral("K%1").arg(k), QString(k, 'x'));
  return ini.ToBytes();
}

QByteArray BinaryVersion(int v) {
  QByteArray out = QByteArray::number(v).rightJustified(12, '0');
  const int size = 100000 + (v % 7) * 50000;
  quint32 x = quint32(v) * 2654435761u + 1;
  out.reserve(size);
  while (out.size() < size) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out.append(char(x & 0xFF));
  }
  return out;
}

int RunCore(const QString& folder) {
  QDir().mkpath(folder);
  for (int v = 1;; ++v) {
    SaveGridFile(GridVersion(v), folder + "/grid.txt");
    WriteTextLines(folder + "/note.txt", NoteVersion(v), nullptr);
    WriteFileBytes(folder + "/app.ini", IniVersion(v), nullptr);
    WriteFileBytes(folder + "/big.bin", BinaryVersion(v), nullptr);
  }
}

QString CheckCoreFile(const QString& path) {
  QByteArray bytes;
  QString error;
  if (!ReadFileBytes(path, &bytes, &error)) return error;
  const QString name = QFileInfo(path).fileName();
  bool ok = false;
  int v = 0;
  QByteArray want;
  if (name == "grid.txt") {
    CellGrid g;
    LoadGridBytes(g, bytes);
    v = g.Cell(1, 0).toInt(&ok);
    if (ok) want = GridToBytes(GridVersion(v));
  } else if (name == "note.txt") {
    const QStringList lines = SplitLines(DecodeText(bytes));
    if (!lines.isEmpty()) v = lines.first().mid(8).toInt(&ok);
    if (ok) {
      for (const QString& l : NoteVersion(v)) want += l.toUtf8() + "\r\n";
    }
  } else if (name == "app.ini") {
    IniFile ini;
    ini.LoadBytes(bytes);
    v = ini.ReadInteger("Check", "Version", -1);
    ok = v > 0;
    if (ok) want = IniVersion(v);
  } else if (name == "big.bin") {
    v = bytes.left(12).toInt(&ok);
    if (ok) want = BinaryVersion(v);
  } else {
    return QString();  // not ours
  }
  if (!ok) return QStringLiteral("no version in %1 bytes").arg(bytes.size());
  if (bytes != want) return QStringLiteral("version %1 cut or mixed (%2 of %3 bytes)").arg(v).arg(bytes.size()).arg(want.size());
  return QString();
}

// --- the running window ---------------------------------------------------------------

int RunWindow() {
  SetMessageHandler([](const MessageRequest&) { return MessageAnswer{}; });
  // A new data folder's welcome is answered with what it proposes, at once.
  SetWelcomeHandler([](const WelcomeAnswers&) { return std::optional<WelcomeAnswers>(); });
  MainWindow form(DataFolders::ExecutableFolder(), false);
  form.Startup();
  form.show();
  auto* cycle = form.findChild<QSpinBox*>("ui_cycle");
  auto* memo = form.findChild<QPlainTextEdit*>("ui_note");
  for (int round = 1;; ++round) {
    const QDate day = QDate(2009, 1, 1).addDays(round % 300);
    form.SetSelectedDate(day);
    form.ShowView("weight");
    if (auto* weight = form.findChild<QLineEdit*>("Weight_Today")) {
      weight->selectAll();
      QTest::keyClicks(weight, QString::number(100 + round % 90) + ".5");
    }
    form.ShowView("note");
    form.findChild<MonthCalendar*>("Calendar")->MoveToDate(day);
    memo->selectAll();
    QTest::keyClicks(memo, QStringLiteral("note %1").arg(round));
    form.findChild<MonthCalendar*>("Calendar")->MoveToDate(day.addDays(1));
    form.ShowView("todo");
    if (auto* list = form.findChild<QTableView*>("todo")) {
      list->model()->setData(list->model()->index(0, 1), QStringLiteral("item %1").arg(round));
      form.DispatchDate(day.addDays(1));
    }
    cycle->setValue(20 + round % 21);
    QCoreApplication::processEvents();
  }
}

QString CheckWindowFile(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const QString folder = QFileInfo(path).dir().dirName();
  QByteArray bytes;
  QString error;
  if (!ReadFileBytes(path, &bytes, &error)) return error;
  const bool ours = folder == "Weight" || folder == "Notes" || folder == "ToDo" ||
                    name == "application.ini" || name == "todo.html";
  if (!ours) return QString();
  if (!bytes.endsWith("\r\n")) return QStringLiteral("last line cut");
  const QString text = DecodeText(bytes);
  if (folder == "Weight" && name.endsWith(".txt")) {
    CellGrid g;
    LoadGridBytes(g, bytes);
    const int year = name.left(4).toInt();
    if (g.RowCount() != YearGridRowCount(year) || g.ColCount() != 10)
      return QStringLiteral("%1 rows, %2 columns").arg(g.RowCount()).arg(g.ColCount());
  } else if (folder == "Weight" && name.endsWith(".ini")) {
    IniFile ini;
    ini.LoadBytes(bytes);
    if (ini.Sections().size() != 1 || !ini.ValueExists(ini.Sections().first(), "Goal"))
      return QStringLiteral("no goal");
  } else if (folder == "Notes") {
    if (!QRegularExpression("^note \\d+\r\n$").match(text).hasMatch()) return QStringLiteral("not a whole note");
  } else if (folder == "ToDo") {
    if (!QRegularExpression("^(F=item \\d+\r\n)+$").match(text).hasMatch()) return QStringLiteral("not a whole list");
  } else if (name == "application.ini") {
    IniFile ini;
    ini.LoadBytes(bytes);
    for (const char* key : {"ui_Goal", "ui_LastPeriod", "ui_CycleLength", "ui_luteal"})
      if (!ini.ValueExists("Calendar", key)) return QStringLiteral("no %1").arg(key);
    if (!ini.ValueExists("BMI", "Height")) return QStringLiteral("no Height");
  } else if (name == "todo.html") {
    if (!text.endsWith("</center></body></html>\r\n")) return QStringLiteral("report cut");
  }
  return QString();
}

int RunCheck(const QString& folder) {
  int removed = 0;
  const QString root = DataFolders::UserDataFolder() + "Tarnwick/Mavelo/";
  if (QFileInfo(root).isDir()) removed = RemoveStaleSaveFiles(DataFolders(DataFolders::ExecutableFolder()));
  int files = 0;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    ++files;
    const QString why = path.contains("/core/") ? CheckCoreFile(path) : CheckWindowFile(path);
    if (!why.isEmpty()) {
      std::printf("corrupt %s: %s\n", qPrintable(path), qPrintable(why));
      return 1;
    }
  }
  std::printf("ok files=%d removed=%d\n", files, removed);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: killsaves core <folder> | window | check <folder>\n");
    return 2;
  }
  const QString mode = QString::fromLocal8Bit(argv[1]);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  if (mode == "core" && argc > 2) return RunCore(QString::fromLocal8Bit(argv[2]));
  if (mode == "window") return RunWindow();
  if (mode == "check" && argc > 2) return RunCheck(QString::fromLocal8Bit(argv[2]));
  return 2;
}
