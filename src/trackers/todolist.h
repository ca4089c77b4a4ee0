#pragma once
// The to-do lists: the items of one category file ("F=text" unchecked, "T=text"
// checked, CR LF lines), the file a category name stands for on a given date, the
// category list kept as comma text in the settings, and the todo.html report with its
// check-box pictures.

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

#include "core/clock.h"

struct ToDoItem {
  QString key = QStringLiteral("F");
  QString text;
  // The line as read when it held no "=" (a line written by hand, "Buy milk"): it is
  // written back as it stood until the item is changed, so that the words are not lost
  // to a key with an empty text.
  QString line;
  // Any key other than "F" counts as checked.
  bool Checked() const { return key != QLatin1String("F"); }
};

// The part before the first "=" is the key, the rest the text; a line without "=" is a
// key with an empty text.
ToDoItem ParseToDoLine(const QString& line);
// "T=" + text for a checked item, "F=" + text otherwise; an unchanged line without "="
// as it was read.
QString ToDoLine(const ToDoItem& item);
QString ToDoLine(bool checked, const QString& text);

// One category's items in display order, with a current item. Never empty: a list with
// no items holds one unchecked item with an empty text.
class ToDoList {
 public:
  ToDoList();

  int Count() const { return static_cast<int>(items_.size()); }
  const ToDoItem& Item(int index) const { return items_.at(index); }
  const QVector<ToDoItem>& Items() const { return items_; }
  // Outside the list: ignored.
  void SetText(int index, const QString& text);

  // Always a valid index.
  int Current() const { return current_; }
  void SetCurrent(int index);

  // Replaces the items with the given lines (no lines: one empty item); the first
  // item becomes current.
  void SetLines(const QStringList& lines);
  QStringList Lines() const;

  // "F" becomes "T", any other key "F".
  void Toggle(int index);
  // A new unchecked empty item at index (above the item that was there); it becomes
  // current.
  void InsertEmpty(int index);
  // A new unchecked empty item at the end; it becomes current.
  void AppendEmpty();
  // Removes the item; when none remains, one unchecked empty item is added.
  void Remove(int index);
  // Exchange with the item above / below; the current item follows. False when there
  // is nothing to exchange with.
  bool MoveUp(int index);
  bool MoveDown(int index);

  // At most one item and its text empty: nothing worth a file.
  bool IsBlank() const;

  // Whether the user changed the list since it was loaded (SetLines) or last saved: only
  // a changed list is written.
  bool IsModified() const { return modified_; }
  void MarkSaved() { modified_ = false; }
  // The user deleted the list's last item (and it has stayed blank): its file goes.
  bool EmptiedByDelete() const { return emptiedByDelete_ && IsBlank(); }

 private:
  QVector<ToDoItem> items_;
  int current_ = 0;
  bool modified_ = false;
  bool emptiedByDelete_ = false;
};

// Reads a list file. A missing file is an empty list (true). On failure *error gets
// the user's message, *list is left alone and false returns.
bool LoadToDoList(ToDoList* list, const QString& path, QString* error);
// Writes the list (CR LF lines, whole file). A blank list writes nothing; its earlier
// file is removed only when the user deleted the last item (so that it does not come
// back), never because the list merely looks empty. False with *error.
bool SaveToDoList(const ToDoList& list, const QString& path, QString* error);
// Adds one line at the end of a list file, creating it when missing.
bool AppendItem(const QString& path, const QString& line, QString* error);

// The file of a category for the shown date: "Today" + the day key of the date,
// "Yesterday" and "Tomorrow" the "Today" file of the day before / after (matched with
// letter case); any other name is the file name itself (the empty name gives ".txt").
// Folder (ending in "/") is put in front.
QString CategoryFile(const QString& name, const QDate& date, const QString& folder = QString());
// The file that marks a day in the month grid: "Today" + day key + ".txt".
QString TodayFileName(const QDate& date);

// The heading for a selected category: the name itself, or for the three date names
// the name, a space and the date of that list as " (ddd)".
QString CategoryHeading(const QString& name, const QDate& date);
// The heading right after a date is shown: "Today (ddd)".
QString ShownDateHeading(const QDate& date);

// The category list: comma text (quoted fields, spaces around fields dropped).
// An empty text gives the default categories.
QStringList ReadCategories(const QString& commaText);
QString CategoriesText(const QStringList& categories);
// Trimmed, each of \ / : ? * " < > | ; replaced by a space, trimmed again.
QString CleanCategoryName(const QString& raw);
// The cleaned name when it can be added: not empty and not equal, ignoring letter
// case, to an entry of the list; otherwise the empty text.
QString NewCategoryName(const QStringList& categories, const QString& raw);
// "Are you sure you want to delete category '<name>'" with quotes inside doubled.
QString DeleteCategoryQuestion(const QString& name);
inline constexpr const char* kTodayReservedMessage =
    "Today is reserved. Today is for the selected date. Can no delete ";

// The check-box pictures of the list and of the report, 16 x 16, drawn here.
QImage DrawCheckPicture(bool checked);
// empty.ico / checked.ico from the Config folder when they load, else the drawn ones.
QImage LoadCheckPicture(const QString& configFolder, bool checked);

// The lines of todo.html: every category whose file exists on the shown date, its items
// with text. created is the date written at the bottom (today).
QStringList ToDoReportLines(const QStringList& categories, const QDate& shown,
                            const QString& toDoFolder, const QDate& created);
// Writes buildFolder + "todo.html" and, when missing, checkoff.jpg and checkon.jpg
// beside it. False with *error (the user's message) on the first failure.
bool WriteToDoReport(const QStringList& categories, const QDate& shown,
                     const QString& toDoFolder, const QString& buildFolder, QString* error,
                     const QDate& created = Clock::Today());
