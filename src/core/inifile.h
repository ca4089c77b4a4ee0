#pragma once
// An ini file with the private-profile rules: "[Section]" lines open sections, then
// key=value lines; section and key names match without regard to case; a new key is
// appended at the end of its section, an existing key is replaced where it stands, a new
// section goes at the end of the file. Whole numbers read in decimal, or hexadecimal
// after "$" or "0x"; truth values are whole numbers (non-zero is true) written 1 / 0.
// Lines the reader does not understand are kept as they stand.
//
// Changes are held in memory until UpdateFile() writes the whole file (QSaveFile).

#include <QDate>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QVector>

class IniFile {
 public:
  IniFile() = default;
  // Reads path when it exists; a missing or unreadable file reads as empty
  // (errorString() then tells why, for an unreadable one, and UpdateFile will refuse to
  // replace it). A file above kSaneIniBytes is read but opened read-only.
  explicit IniFile(const QString& path);

  const QString& path() const { return path_; }
  QString errorString() const { return error_; }

  // Replaces the content with the text of a device / bytes.
  bool Load(QIODevice* device);
  void LoadBytes(const QByteArray& bytes);
  QByteArray ToBytes() const;  // the file as it would be written (CR LF lines)

  // Writes the whole file to path() (WriteFileBytes: nothing is written when the file
  // already holds these bytes; refused over a file that could not be read). False with
  // errorString() on failure.
  bool UpdateFile();

  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& key) const;
  QStringList Sections() const;
  QStringList Keys(const QString& section) const;

  QString ReadString(const QString& section, const QString& key, const QString& def) const;
  int ReadInteger(const QString& section, const QString& key, int def) const;
  bool ReadBool(const QString& section, const QString& key, bool def) const;
  // A number written with "." (or, by earlier versions, the locale's separator).
  double ReadFloat(const QString& section, const QString& key, double def) const;
  // A date written yyyy-MM-dd (or, by earlier versions, as a short date: core/textutil.h
  // ParseStoredDate).
  QDate ReadDate(const QString& section, const QString& key, const QDate& def) const;
  // Whether a key that exists holds a value of that kind (a missing key is readable: it
  // has its default). A key that is there but unreadable must not be replaced by the
  // default its reader gave.
  enum class ValueKind { Integer, Number, Date };
  bool ValueReadable(const QString& section, const QString& key, ValueKind kind) const;

  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int value);
  void WriteBool(const QString& section, const QString& key, bool value);
  // Shortest decimal text with "."; yyyy-MM-dd. A key that already holds that very
  // value, in any form its reader takes, keeps its text.
  void WriteFloat(const QString& section, const QString& key, double value);
  void WriteDate(const QString& section, const QString& key, const QDate& value);

  void DeleteKey(const QString& section, const QString& key);
  void EraseSection(const QString& section);

  // Whole-number rule shared with other readers: decimal, "$hex" or "0xhex".
  static bool ParseInteger(const QString& text, int* value);

 private:
  // One line of the file as it stands, with what the reader made of it.
  struct Line {
    enum Kind { kOther, kSection, kKey };
    QString text;   // the line as it stands in the file (written back unchanged)
    QString name;   // section name (kSection) or key name (kKey), without surrounding spaces
    QString value;  // kKey: the text after '=', without surrounding spaces
    Kind kind = kOther;
  };
  static Line ParseLine(const QString& text);
  // The first "[section]" line of that name, or -1.
  int FindSection(const QString& section) const;
  // The line after the last line of the section that starts at line `header`.
  int SectionEnd(int header) const;
  // The first key line of that name in the first section of that name, or -1.
  int FindKey(const QString& section, const QString& key) const;

  QString path_;
  QString error_;
  QVector<Line> lines_;
};
