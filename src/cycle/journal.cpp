#include "cycle/journal.h"

#include <QFileInfo>
#include <QStringList>

#include "core/textfile.h"
#include "core/textutil.h"

QString NoteFilePath(const QString& notesFolder, const QDate& date) {
  return notesFolder + DayKey(date) + QStringLiteral(".txt");
}

bool NoteExists(const QString& notesFolder, const QDate& date) {
  return QFileInfo::exists(NoteFilePath(notesFolder, date));
}

bool LoadNote(const QString& path, QString* text, QString* error) {
  text->clear();
  if (!QFileInfo::exists(path)) return true;
  QStringList lines;
  if (!ReadTextLines(path, &lines, error)) return false;
  *text = lines.join(QLatin1Char('\n'));
  return true;
}

bool LoadMemoNote(const QString& path, MemoNote* note, QString* error) {
  note->text.clear();
  note->readOnly = false;
  if (!QFileInfo::exists(path)) return true;
  QStringList lines;
  if (!ReadTextLines(path, &lines, error)) return false;
  qsizetype longest = 0;
  for (const QString& line : lines) longest = std::max(longest, line.size());
  if (longest > kLongestNoteLine && !IsReadOnlyFile(path))
    GuardReadOnly(path, QStringLiteral("holds a line of %1 characters, too long to edit")
                            .arg(AppLocale().toString(longest)));
  note->readOnly = IsReadOnlyFile(path);
  if (!note->readOnly) {
    note->text = lines.join(QLatin1Char('\n'));
    return true;
  }
  // For the screen only: pieces short enough to lay out at once.
  QStringList shown;
  for (const QString& line : std::as_const(lines)) {
    if (line.size() <= kLongestNoteLine) {
      shown << line;
      continue;
    }
    for (qsizetype at = 0; at < line.size(); at += kLongestNoteLine)
      shown << line.mid(at, kLongestNoteLine);
  }
  note->text = shown.join(QLatin1Char('\n'));
  return true;
}

bool StoreNote(const QString& path, const QString& text, QString* error) {
  if (text.isEmpty()) return RemoveRecordFile(path, error);
  return WriteTextLines(path, SplitLines(text), error);
}
