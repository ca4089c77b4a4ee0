#include "cycle/journal.h"

#include <QFile>
#include <QFileInfo>

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

bool StoreNote(const QString& path, const QString& text, QString* error) {
  if (text.isEmpty()) {
    QFile file(path);
    if (!file.exists() || file.remove()) return true;
    if (error) *error = CannotCreateMessage(path, file.errorString());
    return false;
  }
  return WriteTextLines(path, SplitLines(text), error);
}
