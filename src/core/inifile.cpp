#include "core/inifile.h"

#include <QFileInfo>
#include <QSet>

#include "core/textfile.h"
#include "core/textutil.h"

// The reading rules, after the Windows private-profile functions:
// - a line whose first non-blank character is '[' and that holds a ']' later is a section
//   header; the name is the text between the '[' and the last ']', without surrounding
//   spaces; text after that ']' is ignored;
// - any other line holding '=' with a non-empty name before it is a key line; name and value
//   lose their surrounding spaces; quotes around a value are kept (the value reads back
//   exactly as it was written);
// - a line starting with ';', a blank line, a line without '=' and anything else is kept as
//   it stands and never read;
// - key lines before the first section belong to no section and are never read;
// - when a section name occurs more than once, only the first of them is read and written
//   (EraseSection removes them all); within a section the first key line of a name wins.
// Writing: a key name the reader would not take for one (empty, holding '=', starting with
// '[' or ';') is not written; line breaks in names and values become spaces. An existing key line is replaced where it stands (keeping the spelling of its
// name); a new key goes right after the last non-blank line of its section, so the blank
// lines that separate it from the next section stay after it; a new section goes at the
// end of the file, after one blank line when the file does not already end with one.

namespace {

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsBlankLine(const QString& text) { return text.trimmed().isEmpty(); }

// A name or value written into the file cannot hold a line break: it would split its line.
QString OneLine(const QString& text) {
  QString out = text;
  for (QChar& c : out)
    if (c == u'\r' || c == u'\n') c = u' ';
  return out;
}

int HexDigit(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
  return -1;
}

}  // namespace

IniFile::IniFile(const QString& path) : path_(path) {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return;  // a missing file reads as empty
  QByteArray bytes;
  // A file that cannot be read reads as empty and is guarded: UpdateFile then refuses
  // to replace it with what was made of nothing.
  if (!ReadRecordBytes(path, &bytes, &error_, kSaneIniBytes)) return;
  LoadBytes(bytes);
}

bool IniFile::Load(QIODevice* device) {
  lines_.clear();
  error_.clear();
  if (!device) {
    error_ = CannotOpenMessage(path_, QStringLiteral("No device"));
    return false;
  }
  if (!device->isOpen() && !device->open(QIODevice::ReadOnly)) {
    error_ = CannotOpenMessage(path_, device->errorString());
    return false;
  }
  if (!device->isReadable()) {
    error_ = CannotOpenMessage(path_, QStringLiteral("Device not open for reading"));
    return false;
  }
  LoadBytes(device->readAll());
  return true;
}

IniFile::Line IniFile::ParseLine(const QString& text) {
  Line line;
  line.text = text;
  qsizetype start = 0;
  while (start < text.size() && text[start].isSpace()) ++start;  // as QString::trimmed
  if (start >= text.size()) return line;
  const QChar first = text[start];
  if (first == u'[') {
    const qsizetype close = text.lastIndexOf(u']');
    if (close > start) {
      line.kind = Line::kSection;
      line.name = text.mid(start + 1, close - start - 1).trimmed();
      return line;
    }
    return line;  // "[" without "]": not understood
  }
  if (first == u';') return line;
  const qsizetype eq = text.indexOf(u'=', start);
  if (eq < 0) return line;
  QString name = text.mid(start, eq - start).trimmed();
  if (name.isEmpty()) return line;
  line.kind = Line::kKey;
  line.name = std::move(name);
  line.value = text.mid(eq + 1).trimmed();
  return line;
}

void IniFile::LoadBytes(const QByteArray& bytes) {
  lines_.clear();
  error_.clear();
  const QStringList texts = SplitLines(DecodeText(bytes));
  lines_.reserve(texts.size());
  for (const QString& text : texts) lines_.append(ParseLine(text));
}

QByteArray IniFile::ToBytes() const {
  QByteArray out;
  for (const Line& line : lines_) {
    out += EncodeText(line.text);
    out += "\r\n";
  }
  return out;
}

bool IniFile::UpdateFile() {
  QString error;
  if (!WriteFileBytes(path_, ToBytes(), &error)) {
    error_ = error;
    return false;
  }
  error_.clear();
  return true;
}

int IniFile::FindSection(const QString& section) const {
  const QString name = section.trimmed();
  for (int i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Line::kSection && SameName(lines_[i].name, name)) return i;
  return -1;
}

int IniFile::SectionEnd(int header) const {
  int i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Line::kSection) ++i;
  return i;
}

int IniFile::FindKey(const QString& section, const QString& key) const {
  const int header = FindSection(section);
  if (header < 0) return -1;
  const QString name = key.trimmed();
  const int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i)
    if (lines_[i].kind == Line::kKey && SameName(lines_[i].name, name)) return i;
  return -1;
}

bool IniFile::SectionExists(const QString& section) const { return FindSection(section) >= 0; }

bool IniFile::ValueExists(const QString& section, const QString& key) const {
  return FindKey(section, key) >= 0;
}

QStringList IniFile::Sections() const {
  QStringList out;
  QSet<QString> seen;
  for (const Line& line : lines_) {
    if (line.kind != Line::kSection) continue;
    const QString folded = line.name.toCaseFolded();
    if (seen.contains(folded)) continue;
    seen.insert(folded);
    out.append(line.name);
  }
  return out;
}

QStringList IniFile::Keys(const QString& section) const {
  QStringList out;
  const int header = FindSection(section);
  if (header < 0) return out;
  QSet<QString> seen;
  const int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i) {
    if (lines_[i].kind != Line::kKey) continue;
    const QString folded = lines_[i].name.toCaseFolded();
    if (seen.contains(folded)) continue;
    seen.insert(folded);
    out.append(lines_[i].name);
  }
  return out;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
  const int i = FindKey(section, key);
  return i < 0 ? def : lines_[i].value;
}

bool IniFile::ParseInteger(const QString& text, int* value) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
    negative = t[i] == u'-';
    ++i;
  }
  bool hex = false;
  if (i < t.size() && t[i] == u'$') {
    hex = true;
    ++i;
  } else if (i + 1 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= t.size()) return false;
  qint64 magnitude = 0;
  if (hex) {
    // Up to 32 bits; 80000000 to FFFFFFFF read as negative numbers, as in the original.
    for (; i < t.size(); ++i) {
      const int d = HexDigit(t[i]);
      if (d < 0) return false;
      magnitude = magnitude * 16 + d;
      if (magnitude > 0xFFFFFFFFLL) return false;
    }
    const auto bits = static_cast<quint32>(magnitude);
    const quint32 result = negative ? 0u - bits : bits;
    if (value) *value = static_cast<int>(result);
    return true;
  }
  for (; i < t.size(); ++i) {
    const QChar c = t[i];
    if (c < u'0' || c > u'9') return false;
    magnitude = magnitude * 10 + (c.unicode() - u'0');
    if (magnitude > 2147483648LL) return false;
  }
  if (!negative && magnitude > 2147483647LL) return false;
  if (value) *value = static_cast<int>(negative ? -magnitude : magnitude);
  return true;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const {
  const int i = FindKey(section, key);
  if (i < 0) return def;
  int value = 0;
  return ParseInteger(lines_[i].value, &value) ? value : def;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(const QString& section, const QString& key, double def) const {
  const int i = FindKey(section, key);
  if (i < 0) return def;
  double value = 0;
  return ParseStoredNumber(lines_[i].value, &value) ? value : def;
}

QDate IniFile::ReadDate(const QString& section, const QString& key, const QDate& def) const {
  const int i = FindKey(section, key);
  if (i < 0) return def;
  const QDate date = ParseStoredDate(lines_[i].value);
  return date.isValid() ? date : def;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  const QString sectionName = OneLine(section).trimmed();
  const QString keyName = OneLine(key).trimmed();
  // Names that the reader would not take for a key are not written: an empty name, a
  // name holding '=' or starting with '[' or ';'.
  if (keyName.isEmpty() || keyName.contains(u'=') || keyName.startsWith(u'[') ||
      keyName.startsWith(u';'))
    return;
  const QString text = OneLine(value);

  const int found = FindKey(sectionName, keyName);
  if (found >= 0) {
    // Replace where it stands, keeping the spelling of the name in the file.
    lines_[found] = ParseLine(lines_[found].name + u'=' + text);
    return;
  }
  const Line keyLine = ParseLine(keyName + u'=' + text);
  const int header = FindSection(sectionName);
  if (header >= 0) {
    int at = SectionEnd(header);
    while (at > header + 1 && IsBlankLine(lines_[at - 1].text)) --at;
    lines_.insert(at, keyLine);
    return;
  }
  if (!lines_.isEmpty() && !IsBlankLine(lines_.last().text)) lines_.append(ParseLine(QString()));
  lines_.append(ParseLine(u'[' + sectionName + u']'));
  lines_.append(keyLine);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
  WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::WriteFloat(const QString& section, const QString& key, double value) {
  // A value already stored (in whatever form an earlier version wrote it) stays as it
  // stands, so that saving what was read never changes the file.
  const int i = FindKey(section.trimmed(), key.trimmed());
  double stored = 0;
  if (i >= 0 && ParseStoredNumber(lines_[i].value, &stored) && stored == value) return;
  WriteString(section, key, StoredNumberText(value));
}

void IniFile::WriteDate(const QString& section, const QString& key, const QDate& value) {
  const int i = FindKey(section.trimmed(), key.trimmed());
  if (i >= 0 && value.isValid() && ParseStoredDate(lines_[i].value) == value) return;
  WriteString(section, key, StoredDateText(value));
}

bool IniFile::ValueReadable(const QString& section, const QString& key, ValueKind kind) const {
  const int i = FindKey(section, key);
  if (i < 0) return true;
  const QString& text = lines_[i].value;
  switch (kind) {
    case ValueKind::Integer: return ParseInteger(text, nullptr);
    case ValueKind::Number: return ParseStoredNumber(text, nullptr);
    case ValueKind::Date: return ParseStoredDate(text).isValid();
  }
  return true;
}

void IniFile::DeleteKey(const QString& section, const QString& key) {
  const int i = FindKey(section, key);
  if (i >= 0) lines_.remove(i);
}

void IniFile::EraseSection(const QString& section) {
  // Every section of that name goes, from its header to the next header.
  const QString name = section.trimmed();
  QVector<Line> kept;
  kept.reserve(lines_.size());
  bool erasing = false;
  for (Line& line : lines_) {
    if (line.kind == Line::kSection) erasing = SameName(line.name, name);
    if (!erasing) kept.append(std::move(line));
  }
  lines_ = std::move(kept);
}
