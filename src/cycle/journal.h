#pragma once
// Journal notes: one text file per day in the Notes folder, named by the day key
// (Y2009M3D5.txt), one line per memo line.

#include <QDate>
#include <QString>

#include "core/textfile.h"

QString NoteFilePath(const QString& notesFolder, const QDate& date);
bool NoteExists(const QString& notesFolder, const QDate& date);

// Reads a note; a missing file is an empty note. False with *error (the user's message)
// when the file exists but cannot be read.
bool LoadNote(const QString& path, QString* text, QString* error);

// The longest line the memo lays out quickly (core/textfile.h kLongestLine).
inline constexpr qsizetype kLongestNoteLine = kLongestLine;

// A note as the memo shows it: a note far larger than a note is (core/textfile.h
// kSaneTextBytes), damaged, or holding a line longer than kLongestLine is shown only,
// its long lines broken for the screen, and the file is guarded so that nothing shown is
// ever written back (ReadOnlyNotice is what the user is told, once).
using MemoNote = MemoText;
// LoadNote for the memo. False with *error when the file exists but cannot be read.
bool LoadMemoNote(const QString& path, MemoNote* note, QString* error);

// Stores the memo's text as the day's note. An empty memo removes the note file, so a
// note the user emptied does not come back (and the day loses its mark). False with
// *error when the file cannot be written or removed, or was never read (it is guarded).
bool StoreNote(const QString& path, const QString& text, QString* error);
