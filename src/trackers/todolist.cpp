#include "trackers/todolist.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include "app/config.h"
#include "core/jpeg.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "core/gridfile.h"

ToDoItem ParseToDoLine(const QString& line) {
  ToDoItem item;
  const qsizetype eq = line.indexOf(u'=');
  if (eq < 0) {
    item.key = line;
    item.line = line;
  } else {
    item.key = line.left(eq);
    item.text = line.mid(eq + 1);
  }
  return item;
}

QString ToDoLine(bool checked, const QString& text) {
  return (checked ? QStringLiteral("T=") : QStringLiteral("F=")) + text;
}

QString ToDoLine(const ToDoItem& item) {
  if (!item.line.isNull()) return item.line;
  return ToDoLine(item.Checked(), item.text);
}

// ---------------------------------------------------------------------------------

ToDoList::ToDoList() : items_(1) {}

void ToDoList::SetText(int index, const QString& text) {
  if (index < 0 || index >= Count() || items_[index].text == text) return;
  items_[index].text = text;
  items_[index].line = QString();
  modified_ = true;
}

void ToDoList::SetCurrent(int index) { current_ = qBound(0, index, Count() - 1); }

void ToDoList::SetLines(const QStringList& lines) {
  items_.clear();
  items_.reserve(lines.size());
  for (const QString& line : lines) items_.append(ParseToDoLine(line));
  if (items_.isEmpty()) items_.append(ToDoItem());
  current_ = 0;
  modified_ = false;
  emptiedByDelete_ = false;
}

QStringList ToDoList::Lines() const {
  QStringList out;
  out.reserve(items_.size());
  for (const ToDoItem& item : items_) out << ToDoLine(item);
  return out;
}

void ToDoList::Toggle(int index) {
  if (index < 0 || index >= Count()) return;
  items_[index].key = items_[index].Checked() ? QStringLiteral("F") : QStringLiteral("T");
  items_[index].line = QString();
  modified_ = true;
}

void ToDoList::InsertEmpty(int index) {
  index = qBound(0, index, Count());
  items_.insert(index, ToDoItem());
  current_ = index;
  modified_ = true;
}

void ToDoList::AppendEmpty() {
  items_.append(ToDoItem());
  current_ = Count() - 1;
  modified_ = true;
}

void ToDoList::Remove(int index) {
  if (index < 0 || index >= Count()) return;
  items_.removeAt(index);
  if (items_.isEmpty()) {
    items_.append(ToDoItem());
    emptiedByDelete_ = true;
  }
  current_ = qBound(0, current_, Count() - 1);
  modified_ = true;
}

bool ToDoList::MoveUp(int index) {
  if (index < 1 || index >= Count()) return false;
  items_.swapItemsAt(index, index - 1);
  current_ = index - 1;
  modified_ = true;
  return true;
}

bool ToDoList::MoveDown(int index) {
  if (index < 0 || index + 1 >= Count()) return false;
  items_.swapItemsAt(index, index + 1);
  current_ = index + 1;
  modified_ = true;
  return true;
}

bool ToDoList::IsBlank() const { return Count() <= 1 && items_.first().text.isEmpty(); }

// ---------------------------------------------------------------------------------

bool LoadToDoList(ToDoList* list, const QString& path, QString* error) {
  if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
    list->SetLines({});
    return true;
  }
  QStringList lines;
  if (!ReadTextLines(path, &lines, error)) return false;
  list->SetLines(lines);
  return true;
}

bool SaveToDoList(const ToDoList& list, const QString& path, QString* error) {
  if (!list.IsBlank()) return WriteTextLines(path, list.Lines(), error);
  // A list that merely looks empty (a file of "F=" lines, or of lines without "=") keeps
  // its file; only a deleted last item takes the file with it.
  if (!list.EmptiedByDelete()) return true;
  return RemoveRecordFile(path, error);
}

bool AppendItem(const QString& path, const QString& line, QString* error) {
  return AppendTextLine(path, line, error);
}

// ---------------------------------------------------------------------------------

QString TodayFileName(const QDate& date) {
  return QStringLiteral("Today") + DayKey(date) + QStringLiteral(".txt");
}

QString CategoryFile(const QString& name, const QDate& date, const QString& folder) {
  if (name == QLatin1String("Today")) return folder + TodayFileName(date);
  if (name == QLatin1String("Yesterday")) return folder + TodayFileName(date.addDays(-1));
  if (name == QLatin1String("Tomorrow")) return folder + TodayFileName(date.addDays(1));
  return folder + name + QStringLiteral(".txt");
}

QString CategoryHeading(const QString& name, const QDate& date) {
  const QString pattern = QStringLiteral(" (ddd)");
  if (name == QLatin1String("Today")) return name + u' ' + FormatDate(pattern, date);
  if (name == QLatin1String("Tomorrow"))
    return name + u' ' + FormatDate(pattern, date.addDays(1));
  if (name == QLatin1String("Yesterday"))
    return name + u' ' + FormatDate(pattern, date.addDays(-1));
  return name;
}

QString ShownDateHeading(const QDate& date) {
  return QStringLiteral("Today ") + FormatDate(QStringLiteral("(ddd"), date) + u')';
}

QStringList ReadCategories(const QString& commaText) {
  QStringList list = ReadGridLine(commaText);
  // A settings file with no categories at all would leave the view without a list.
  if (list.isEmpty()) list = ReadGridLine(QString::fromLatin1(kDefaultToDoCategories));
  return list;
}

QString CategoriesText(const QStringList& categories) { return WriteGridLine(categories); }

QString CleanCategoryName(const QString& raw) {
  QString name = raw.trimmed();
  static const QString kBad = QStringLiteral("\\/:?*\"<>|;");
  for (QChar& c : name)
    if (kBad.contains(c)) c = u' ';
  return name.trimmed();
}

QString NewCategoryName(const QStringList& categories, const QString& raw) {
  const QString name = CleanCategoryName(raw);
  if (name.isEmpty()) return QString();
  for (const QString& entry : categories)
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return QString();
  return name;
}

QString DeleteCategoryQuestion(const QString& name) {
  QString quoted = name;
  quoted.replace(u'\'', QStringLiteral("''"));
  return QStringLiteral("Are you sure you want to delete category '") + quoted + u'\'';
}

// ---------------------------------------------------------------------------------

QImage DrawCheckPicture(bool checked) {
  QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QColor(112, 128, 144));
  p.setBrush(Qt::white);
  p.drawRect(1, 1, 13, 13);
  if (checked) {
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(QColor(34, 139, 34), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF tick[] = {QPointF(4.0, 8.0), QPointF(6.8, 11.0), QPointF(12.0, 4.5)};
    p.drawPolyline(tick, 3);
  }
  p.end();
  return img;
}

QImage LoadCheckPicture(const QString& configFolder, bool checked) {
  const QString path =
      configFolder + (checked ? QStringLiteral("checked.ico") : QStringLiteral("empty.ico"));
  if (QFileInfo(path).isFile()) {
    QImageReader reader(path);
    QImage best;
    // An .ico may hold several sizes: take the 16 x 16 one when there is one.
    for (int i = 0; i < qMax(1, reader.imageCount()); ++i) {
      if (i > 0 && !reader.jumpToImage(i)) break;
      QImage img = reader.read();
      if (img.isNull()) continue;
      if (best.isNull() || img.size() == QSize(16, 16)) best = img;
      if (img.size() == QSize(16, 16)) break;
    }
    if (!best.isNull()) {
      if (best.width() > 16 || best.height() > 16)
        best = best.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation);
      return best;
    }
  }
  return DrawCheckPicture(checked);
}

// ---------------------------------------------------------------------------------

namespace {

QString UpperAsciiLetters(QString text) {
  for (QChar& c : text)
    if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 'a' + 'A');
  return text;
}

}  // namespace

QStringList ToDoReportLines(const QStringList& categories, const QDate& shown,
                            const QString& toDoFolder, const QDate& created) {
  QStringList out{QStringLiteral("<html><head>"), QStringLiteral("</head><body>"),
                  QStringLiteral("<center><h2>"), QStringLiteral(" To-Do Items</h2>")};
  for (const QString& name : categories) {
    const QString path = CategoryFile(name, shown, toDoFolder);
    if (!QFileInfo::exists(path)) continue;
    QStringList lines;
    // An unreadable list is reported when it is opened, not at every save.
    if (!ReadTextLines(path, &lines, nullptr)) continue;
    lines.removeIf([](const QString& l) {
      return l == QLatin1String("F=") || l == QLatin1String("T=");
    });
    if (lines.isEmpty()) continue;
    // Texts are the user's own: "<3 mom" must show as typed, not open a tag.
    out << QStringLiteral("<table width=600 ><th bgcolor=#E0EEF1 >") +
               UpperAsciiLetters(name).toHtmlEscaped() + QStringLiteral("</th><tr>");
    for (const QString& line : lines) {
      QString cell;
      if (line.startsWith(QLatin1String("F=")))
        cell = QStringLiteral("<img src=checkoff.jpg />&nbsp;&nbsp;") + line.mid(2).toHtmlEscaped();
      else if (line.startsWith(QLatin1String("T=")))
        cell = QStringLiteral("<img src=checkon.jpg />&nbsp;&nbsp;") + line.mid(2).toHtmlEscaped();
      else
        cell = line.toHtmlEscaped();
      out << QStringLiteral("<tr><td>") + cell + QStringLiteral("</td></tr>");
    }
    out << QStringLiteral("</table><br>") << QString();
  }
  out << QStringLiteral("<div > .: created: ") + FormatDate(QStringLiteral("ddddd"), created) +
             QStringLiteral("</div><br>");
  out << QStringLiteral("</center></body></html>");
  return out;
}

bool WriteToDoReport(const QStringList& categories, const QDate& shown,
                     const QString& toDoFolder, const QString& buildFolder, QString* error,
                     const QDate& created) {
  if (!WriteTextLines(buildFolder + QStringLiteral("todo.html"),
                      ToDoReportLines(categories, shown, toDoFolder, created), error))
    return false;
  const struct {
    const char* name;
    bool checked;
  } pictures[] = {{"checkoff.jpg", false}, {"checkon.jpg", true}};
  for (const auto& pic : pictures) {
    const QString path = buildFolder + QLatin1String(pic.name);
    if (QFileInfo(path).isFile()) continue;
    if (!SaveReportJpeg(DrawCheckPicture(pic.checked), path, error)) return false;
  }
  return true;
}
