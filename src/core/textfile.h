#pragma once
// Reading and writing the program's text files. Files are written as UTF-8 without a
// byte-order mark, whole, through QSaveFile (the old content or the new, never half);
// on reading, bytes that are not valid UTF-8 are decoded as Windows-1252 so files made
// by older versions read right. Errors come back as the user's message text.

#include <QByteArray>
#include <QString>
#include <QStringList>

// "Cannot open file "<path>". <reason>" and "Cannot create file "<path>". <reason>".
QString CannotOpenMessage(const QString& path, const QString& reason);
QString CannotCreateMessage(const QString& path, const QString& reason);

// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is dropped),
// otherwise Windows-1252.
QString DecodeText(const QByteArray& bytes);
QByteArray EncodeText(const QString& text);

// Splits text into lines at CR LF, CR alone or LF alone; a last line without a break
// counts, a break at the very end starts no further line. Empty text has no lines.
QStringList SplitLines(const QString& text);

// Reads the whole file. On failure *error gets CannotOpenMessage and false returns.
bool ReadFileBytes(const QString& path, QByteArray* bytes, QString* error);
bool ReadTextFile(const QString& path, QString* text, QString* error);
bool ReadTextLines(const QString& path, QStringList* lines, QString* error);

// Writes the whole file through QSaveFile. On failure *error gets CannotCreateMessage,
// the file keeps its old content and false returns.
bool WriteFileBytes(const QString& path, const QByteArray& bytes, QString* error);
bool WriteTextFile(const QString& path, const QString& text, QString* error);
// Each line followed by CR LF.
bool WriteTextLines(const QString& path, const QStringList& lines, QString* error);
// Adds one line and CR LF at the end of the file, creating it when missing. The whole file
// is rewritten through QSaveFile; a last line without its break first gets CR LF, and old
// Windows-1252 text is re-encoded as UTF-8. A file that exists but cannot be read fails
// with CannotOpenMessage.
bool AppendTextLine(const QString& path, const QString& line, QString* error);
