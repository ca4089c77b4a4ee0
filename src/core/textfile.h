#pragma once
// Reading and writing the program's text files. Files are written as UTF-8 without a
// byte-order mark, whole, through QSaveFile (the old content or the new, never half);
// on reading, bytes that are not valid UTF-8 are decoded as Windows-1252 so files made
// by older versions read right. Errors come back as the user's message text.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QSaveFile;

// "Cannot open file "<path>". <reason>" and "Cannot create file "<path>". <reason>".
QString CannotOpenMessage(const QString& path, const QString& reason);
QString CannotCreateMessage(const QString& path, const QString& reason);
// The refusal of a save over a guarded file, for a tracker that asks MayWriteFile before
// it writes: "Cannot create file "<path>". The file could not be read, so it was not
// replaced."; for a file opened read-only, the file layer's own refusal (said once with
// its notice, see TellOnce).
QString NotReplacedMessage(const QString& path);

// The text of a file's bytes. A byte-order mark decides the encoding and is dropped:
// UTF-8 (EF BB BF), UTF-16 little-endian (FF FE) or big-endian (FE FF). Without one,
// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252. NUL characters are kept.
QString DecodeText(const QByteArray& bytes);
QByteArray EncodeText(const QString& text);

// The bytes of a text or grid file made ready for a reader that splits them into lines
// on their bytes (CR and LF never occur inside a character of UTF-8 or Windows-1252):
// the mark dropped, UTF-16 re-encoded as UTF-8. What keeps the text from being read as
// the program wrote it is told in damage, a phrase that finishes "The file "<path>" ..."
// (for GuardReadOnly): a NUL byte, or UTF-16 that breaks off. Such a text is read to
// its end all the same; its NUL characters are to be shown as U+FFFD (ShownNuls).
struct TextBytes {
  QByteArray bytes;  // without the mark
  bool utf8 = true;  // else Windows-1252
  bool hasNul = false;
  QString damage;
};
TextBytes ReadableText(QByteArray bytes);
QString DecodeTextAs(QByteArrayView bytes, bool utf8);
// NUL characters replaced by U+FFFD, so that a damaged place shows where it is.
void ShownNuls(QString& text);

// Splits text into lines at CR LF, CR alone or LF alone; a last line without a break
// counts, a break at the very end starts no further line. Empty text has no lines.
QStringList SplitLines(const QString& text);

// ---------------------------------------------------------------------------------------
// Guarded files. Records are never lost to a write: a file that exists but could not be
// loaded, that is far larger than any file of its kind the program writes, or that a
// loader could show only in part (a NUL byte, broken UTF-16, a line too long to edit, a
// list cut short) is guarded (for the whole process) and every write or removal over it
// is refused until a later load finds it sound. A guard lapses when the file is gone,
// since nothing is left to lose. A tracker asks the guard (MayWriteFile, GuardOf) rather
// than keeping a flag of its own.
//
// Said once. The messages about a guarded file (that it cannot be read, that a save
// over it was refused, that it is read-only) are said once per file and cause, however
// often a view loads or saves it: the error box asks TellOnce before it shows a line.
// The functions still give the message every time, so *error is never empty on failure.

// Sizes. A file above the sane size of its kind is loaded all the same but read-only
// (guarded); above kMaxReadBytes it is not loaded at all ("File too large"), so that no
// file can take the memory of the machine.
inline constexpr qint64 kMaxReadBytes = qint64(64) << 20;
inline constexpr qint64 kSaneTextBytes = qint64(4) << 20;   // notes, lists: ReadText*
inline constexpr qint64 kSaneIniBytes = qint64(1) << 20;    // IniFile
// LoadGridFile, OpenYearGrid: the widest grid the program writes, a year of the sleep
// log, is 60 KB; 2 MB of short rows still load in a moment.
inline constexpr qint64 kSaneGridBytes = qint64(2) << 20;

// The longest line a view lays out at once: a text line or a grid line longer than this
// (text pasted without a line break, a damaged file) takes an editor seconds, and one
// of megabytes minutes. A file that holds one is opened read-only; what a view shows of
// it is cut or broken to this length (ReadTextLines, LoadGridFile).
inline constexpr qsizetype kLongestLine = 16384;

enum class FileGuard { None, Unreadable, ReadOnly };
FileGuard GuardOf(const QString& path);
inline bool IsReadOnlyFile(const QString& path) { return GuardOf(path) == FileGuard::ReadOnly; }
// A loader that finds a file it cannot show whole guards it read-only itself. detail
// finishes "The file "<path>" ..." (for example "holds a line too long to edit").
void GuardReadOnly(const QString& path, const QString& detail);
// The phrase of a file with a line that long ("holds a line of 20,000 characters, too long
// to edit"), and the guard a loader sets for a file it found damaged (detail empty: none);
// a file already read-only keeps its first cause.
QString LongLineDetail(qsizetype length);
void GuardDamaged(const QString& path, const QString& detail);
// The verdict of a loader that checked everything a file of its kind holds: detail as
// GuardDamaged, and an empty one lifts the guard an earlier load set for what the file
// held (a read of a sane size alone lifts only a guard set for the size).
void ContentChecked(const QString& path, const QString& detail);
// The notice for a file loaded read-only, for the view to show after loading it (the
// error box says it once, and not at all when a refused save said it first); empty for
// other files.
//   "The file "<path>" is 50.0 MB, far larger than such a file should be. It is opened
//    read-only: nothing is written to it."
QString ReadOnlyNotice(const QString& path);
// Whether a message is to be shown now: true for any text but the file layer's
// said-once messages, and for those the first time (which it records).
bool TellOnce(const QString& message);
// Tests: forget every guard and what was said.
void ForgetFileGuards();

// Reads the whole file. On failure *error gets CannotOpenMessage and false returns; a
// file that exists is then guarded. A file above kMaxReadBytes, a folder or a special
// file (a pipe would never end) fails without being read. Success lifts a guard set by
// a failed load, not a read-only one.
bool ReadFileBytes(const QString& path, QByteArray* bytes, QString* error);
// The same for a record of a kind whose files hold at most saneBytes: a larger file is
// read but guarded read-only (*readOnly true); one within it lifts a guard set for its
// size or a failed read, not one set for what it holds (see ContentChecked).
bool ReadRecordBytes(const QString& path, QByteArray* bytes, QString* error, qint64 saneBytes,
                     bool* readOnly = nullptr);
// Records of text (kSaneTextBytes). A file whose text is damaged (see TextBytes) is read
// read-only: its text as far as it can be read, NULs shown as U+FFFD.
bool ReadTextFile(const QString& path, QString* text, QString* error);
// The text's lines (SplitLines). A file with a line longer than kLongestLine is read-only,
// and such lines come back broken into pieces of kLongestLine characters, for the screen:
// nothing is hidden, and nothing shown is written back.
bool ReadTextLines(const QString& path, QStringList* lines, QString* error);

// A text file as a memo shows it (the journal, the workout and sleep notes, the
// allergies): its lines (ReadTextLines) joined by "\n", and whether the file is
// read-only, so that the memo is too. A missing file is an empty memo. False with
// *error when the file exists but cannot be read (the memo is then empty and must be
// read-only as well: the file layer refuses every write over it).
struct MemoText {
  QString text;
  bool readOnly = false;
};
bool ReadMemoText(const QString& path, MemoText* memo, QString* error);

// Whether a file may be written: false while it is guarded (it could not be read, or was
// opened read-only), with *error the refusal a write would get.
bool MayWriteFile(const QString& path, QString* error = nullptr);
// Why a guarded file is guarded, for a line of the error box: its read error
// ("Cannot open file ...") or its read-only notice; empty for a file that is not.
QString GuardMessage(const QString& path);
// Why a change to the records of a guarded file is refused before it is made: a line of
// its own, said at every try ("<what> could not be read, so it cannot be changed." or
// "<what> is opened read-only, so it cannot be changed."), above GuardMessage, which the
// error box says once. what: "The sleep log of 2009", "This alarm list".
QString ChangeRefusedMessage(const QString& path, const QString& what);

// Writes the whole file through QSaveFile: every byte is checked on its way to the disk
// and flushed to it before the new file takes the old one's place. On failure *error
// gets CannotCreateMessage with the system's reason ("No space left on device", "File
// too large"), the file keeps its old content and false returns. Bytes equal to the
// file's present bytes write nothing. A guarded file is refused (see above).
bool WriteFileBytes(const QString& path, const QByteArray& bytes, QString* error);
bool WriteTextFile(const QString& path, const QString& text, QString* error);
// Each line followed by CR LF.
bool WriteTextLines(const QString& path, const QStringList& lines, QString* error);
// Adds one line and CR LF at the end of the file, creating it when missing. The whole file
// is rewritten through QSaveFile; a last line without its break first gets CR LF, and old
// Windows-1252 text is re-encoded as UTF-8. A file that exists but cannot be read fails
// with CannotOpenMessage.
bool AppendTextLine(const QString& path, const QString& line, QString* error);
// Removes a record file; a missing one is fine. A guarded file is refused as a write is.
bool RemoveRecordFile(const QString& path, QString* error);

// The pieces of WriteFileBytes for writers that stream (a copy): every byte written
// straight to the open QSaveFile and checked, then flushed, synced, its size checked and
// committed. On failure the file is cancelled and *reason tells why.
bool WriteToSaveFile(QSaveFile& file, const char* data, qint64 size, QString* reason);
bool CommitSaveFile(QSaveFile& file, qint64 expectedSize, QString* reason);

// The system's text for an error number ("No space left on device"); a Qt error text
// unless it is empty or "Unknown error", then errnum's text, then a plain fallback.
QString SystemReason(int errnum);
QString FailureReason(const QString& qtText, int errnum);
// "512 bytes", "4.0 KB", "50.0 MB".
QString SizeText(qint64 bytes);
