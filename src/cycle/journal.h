#pragma once
// Journal notes: one text file per day in the Notes folder, named by the day key
// (Y2009M3D5.txt), one line per memo line.

#include <QDate>
#include <QString>

QString NoteFilePath(const QString& notesFolder, const QDate& date);
bool NoteExists(const QString& notesFolder, const QDate& date);

// Reads a note; a missing file is an empty note. False with *error (the user's message)
// when the file exists but cannot be read.
bool LoadNote(const QString& path, QString* text, QString* error);

// Stores the memo's text as the day's note. An empty memo removes the note file, so a
// note the user emptied does not come back (and the day loses its mark). False with
// *error when the file cannot be written or removed.
bool StoreNote(const QString& path, const QString& text, QString* error);
