#include "cycle/journal.h"

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
  MemoText memo;
  const bool read = ReadMemoText(path, &memo, error);
  *text = std::move(memo.text);
  return read;
}

bool LoadMemoNote(const QString& path, MemoNote* note, QString* error) {
  return ReadMemoText(path, note, error);
}

bool StoreNote(const QString& path, const QString& text, QString* error) {
  if (text.isEmpty()) return RemoveRecordFile(path, error);
  return WriteTextLines(path, SplitLines(text), error);
}
