#include "app/recordkind.h"

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/datafolders.h"
#include "core/csvfile.h"
#include "core/gridfile.h"
#include "core/plainfile.h"
#include "core/textfile.h"
#include "core/textutil.h"

QRegularExpression PlainFileName(const QStringList& extensions) {
  // A first character that is neither a dot, a slash, a backslash nor a control
  // character, then any of the same but the dot.
  QString pattern = QStringLiteral("[^./\\\\\\x00-\\x1f\\x7f][^/\\\\\\x00-\\x1f\\x7f]*");
  if (!extensions.isEmpty()) {
    QStringList quoted;
    for (const QString& e : extensions) quoted << QRegularExpression::escape(e);
    pattern += QStringLiteral("\\.(?:") + quoted.join(u'|') + u')';
  }
  return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                            QRegularExpression::CaseInsensitiveOption);
}

QRegularExpression ExactFileName(const QString& name) {
  return QRegularExpression(
      QRegularExpression::anchoredPattern(QRegularExpression::escape(name)));
}

RecordRoot::RecordRoot(const DataFolders& dir, const QString& root)
    : dir_(dir), root_(root.isEmpty() ? dir.DataRoot() : root) {
  if (!root_.endsWith(u'/')) root_ += u'/';
}

QString RecordRoot::Relative(const DataFolders& dir, const QString& folderOfDir) {
  return folderOfDir.startsWith(dir.DataRoot()) ? folderOfDir.mid(dir.DataRoot().size())
                                                : folderOfDir;
}

QString RecordRoot::Folder(const QString& folderOfDir) const {
  return root_ + Relative(dir_, folderOfDir);
}

QStringList RecordRoot::Files(const QString& folderOfDir, const QRegularExpression& name) const {
  QStringList out;
  for (const FolderEntry& e : ListFolder(Folder(folderOfDir)))
    if (e.type == FolderEntry::Type::File && name.match(e.name).hasMatch()) out << e.name;
  return out;
}

bool RecordRoot::Exists(const QString& folderOfDir, const QString& name) const {
  if (read_ && read_->contains(Folder(folderOfDir) + name)) return true;
  const QFileInfo info(Folder(folderOfDir) + name);
  return info.isFile() && !info.isSymLink();
}

bool RecordRoot::Read(const QString& folderOfDir, const QString& name, QByteArray* bytes,
                      QString* error) const {
  const QString path = Folder(folderOfDir) + name;
  if (read_) {
    const auto it = read_->constFind(path);
    if (it != read_->cend()) {
      *bytes = it.value();
      return true;
    }
  }
  PlainFile file;
  if (!ReadPlainFile(path, kMaxReadBytes, &file, error)) return false;
  if (file.tooLarge) {
    if (error) *error = CannotOpenMessage(path, QStringLiteral("File too large"));
    return false;
  }
  *bytes = std::move(file.bytes);
  return true;
}

const RecordFileRule* FindFileRule(const QList<RecordKind>& kinds, const QString& folder,
                                   const QString& name, const RecordKind** kind) {
  for (const RecordKind& k : kinds)
    for (const RecordFileRule& rule : k.files)
      if (rule.folder == folder && rule.name.match(name).hasMatch()) {
        if (kind) *kind = &k;
        return &rule;
      }
  return nullptr;
}

QStringList RuleFolders(const QList<RecordKind>& kinds) {
  QStringList out;
  for (const RecordKind& k : kinds)
    for (const RecordFileRule& rule : k.files)
      if (!rule.folder.isEmpty() && !out.contains(rule.folder)) out << rule.folder;
  return out;
}

bool ReadRecordGrid(const RecordRoot& root, const QString& folderOfDir, const QString& name,
                    CellGrid* grid, QString* error) {
  QByteArray bytes;
  if (!root.Read(folderOfDir, name, &bytes, error)) return false;
  LoadGridBytes(*grid, bytes);
  return true;
}

bool ReadRecordLines(const RecordRoot& root, const QString& folderOfDir, const QString& name,
                     QStringList* lines, QString* error) {
  QByteArray bytes;
  if (!root.Read(folderOfDir, name, &bytes, error)) return false;
  *lines = SplitLines(DecodeText(bytes));
  return true;
}

QString NumberField(const QString& cell) {
  const QString t = cell.trimmed();
  double v = 0;
  if (!t.isEmpty() && ParseNumber(t, &v)) return CsvNumber(v);
  return t;
}

QString RecordTable::Where(int row) const {
  if (row >= 0 && row < lines.size())
    return QStringLiteral("%1, line %2").arg(fileName).arg(lines.at(row));
  return QStringLiteral("%1, record %2").arg(fileName).arg(row + 1);
}

bool ImportColumns(const RecordTable& table, const QStringList& required,
                   const QStringList& optional, QHash<QString, int>* columns, QString* error) {
  columns->clear();
  for (const QString& name : required) {
    const int c = table.header.indexOf(name);
    if (c < 0) {
      if (error)
        *error = QStringLiteral("%1: it has no column \"%2\" (its first line names the "
                                "columns: %3)")
                     .arg(table.fileName, name, required.join(QStringLiteral(", ")));
      return false;
    }
    columns->insert(name, c);
  }
  for (const QString& name : optional) columns->insert(name, table.header.indexOf(name));
  return true;
}

QString ImportField(const QStringList& row, int column) {
  return column >= 0 && column < row.size() ? row.at(column).trimmed() : QString();
}

bool ImportDate(const RecordTable& table, int row, const QString& text, QDate* date,
                QString* error) {
  static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
  const QDate d = iso.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
  if (!d.isValid() || d.year() < 1900 || d.year() > 2099) {
    if (error)
      *error = text.isEmpty()
                   ? QStringLiteral("%1: the date is missing").arg(table.Where(row))
                   : QStringLiteral("%1: \"%2\" is not a date (yyyy-MM-dd, 1900 to 2099)")
                         .arg(table.Where(row), text);
    return false;
  }
  *date = d;
  return true;
}

bool ImportNumber(const RecordTable& table, int row, const QString& column,
                  const QString& text, double* value, QString* error) {
  // As many digits as the export's shortest exact form may write; each room checks ranges.
  static const QRegularExpression number(QStringLiteral("^-?\\d{1,18}(\\.\\d{1,40})?$"));
  if (!number.match(text).hasMatch()) {
    if (error)
      *error = QStringLiteral("%1: the %2 \"%3\" is not a number (digits with \".\")")
                   .arg(table.Where(row), column, text);
    return false;
  }
  *value = text.toDouble();
  return true;
}

bool ImportOneRowADay(const RecordTable& table, int row, const QString& dateText, const QDate& date,
                      QHash<QDate, int>* seen, QString* error) {
  if (const auto first = seen->constFind(date); first != seen->cend()) {
    if (error)
      *error = QStringLiteral("%1: a second row for %2 (the first is on line %3)")
                   .arg(table.Where(row), dateText)
                   .arg(table.lines.value(first.value()));
    return false;
  }
  seen->insert(date, row);
  return true;
}

QString ImportNoteField(const QStringList& row, int column) {
  QString text = column >= 0 && column < row.size() ? row.at(column) : QString();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  return text.trimmed().isEmpty() ? QString() : text;
}

bool ImportNote(const QString& path, const QString& text, ImportMode mode, ImportTally* tally,
                QString* error) {
  MemoText memo;
  if (!ReadMemoText(path, &memo, error)) return false;
  if (memo.text == text) return true;
  if (!memo.text.trimmed().isEmpty()) {
    ++tally->held;
    if (!Replaces(mode)) return true;
  } else {
    ++tally->added;
  }
  if (!MayWriteFile(path, error)) return false;
  return !Writes(mode) || WriteTextLines(path, text.split(u'\n'), error);
}
