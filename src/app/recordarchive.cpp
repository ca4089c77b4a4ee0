#include "app/recordarchive.h"

#include <QCryptographicHash>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTimeZone>

#include <fcntl.h>
#include <unistd.h>

#include "app/datafolders.h"
#include "core/inifile.h"
#include "core/plainfile.h"
#include "core/textfile.h"
#include "core/textutil.h"
#include "core/ziparchive.h"

namespace {

const QString kBackupSection = QStringLiteral("Backup");
const QString kAutoPrefix = QStringLiteral("Mavelo-auto-");

QString ProgramText() {
  return QStringLiteral("Mavelo %1.%2.%3.%4")
      .arg(MAVELO_VERSION_MAJOR)
      .arg(MAVELO_VERSION_MINOR)
      .arg(MAVELO_VERSION_PATCH)
      .arg(MAVELO_VERSION_TWEAK);
}

QString Count(qint64 n) { return QLocale::c().toString(n); }

// A file of the program to put in an archive.
struct PackedFile {
  QString folder;  // relative, with "/"; "" the root
  QString name;
  QString path;
};

// "2009.txt.qWmxRt": what a save leaves for a moment beside the file it writes.
bool IsSaveTemporary(const QString& name, const QSet<QString>& names) {
  static const QRegularExpression re(QStringLiteral("^(.+)\\.[A-Za-z]{6}$"));
  const QRegularExpressionMatch m = re.match(name);
  return m.hasMatch() && names.contains(m.captured(1));
}

// The program's folders (relative, with "/"): those the kinds' rules name and those the
// data folder keeps. A backup takes exactly these and a restore accepts exactly these, so
// that every backup the program writes can be restored.
QStringList ProgramFolders(const DataFolders& dir, const QList<RecordKind>& kinds) {
  QStringList all = RuleFolders(kinds);
  for (const QString& f : dir.RecordFolders()) {
    const QString rel = RecordRoot::Relative(dir, f);
    if (!all.contains(rel)) all << rel;
  }
  return all;
}

// The program's files under the data root, by the kinds' rules; what lies in the
// program's folders and is not one of them goes to *leftOut.
void ListProgramFiles(const DataFolders& dir, const QList<RecordKind>& kinds,
                      QList<PackedFile>* files, QStringList* folders, QStringList* leftOut) {
  QStringList all = ProgramFolders(dir, kinds);
  std::sort(all.begin(), all.end());
  all.prepend(QString());
  for (const QString& rel : all) {
    const QString path = dir.DataRoot() + rel;
    if (!QFileInfo(path).isDir()) continue;
    if (!rel.isEmpty()) *folders << rel;
    const QList<FolderEntry> entries = ListFolder(path);
    QSet<QString> names;
    for (const FolderEntry& e : entries) names.insert(e.name);
    for (const FolderEntry& e : entries) {
      const QString shown = rel + e.name;
      // At the root only the program's files count; its folders are walked one by one
      // and anything else there (Backups/, a lock) is not a record.
      if (rel.isEmpty()) {
        if (e.type == FolderEntry::Type::File && FindFileRule(kinds, rel, e.name))
          *files << PackedFile{rel, e.name, path + e.name};
        continue;
      }
      if (e.type == FolderEntry::Type::Link) {
        *leftOut << shown + QStringLiteral(" (a link)");
        continue;
      }
      if (e.type == FolderEntry::Type::Folder) {
        *leftOut << shown + QStringLiteral("/ (a folder the program does not keep)");
        continue;
      }
      if (e.type != FolderEntry::Type::File) {
        *leftOut << shown + QStringLiteral(" (not a regular file)");
        continue;
      }
      if (!FindFileRule(kinds, rel, e.name)) {
        if (!IsSaveTemporary(e.name, names)) *leftOut << shown + QStringLiteral(" (not a file of Mavelo)");
        continue;
      }
      *files << PackedFile{rel, e.name, path + e.name};
    }
  }
}

// The largest file whose bytes a backup or a restore keeps after reading it, for the
// count of its records: every record file is far smaller (the database is counted from
// its own file).
constexpr qint64 kKeptBytes = qint64(1) << 20;

QByteArray ManifestBytes(const ArchiveSummary& s) {
  IniFile ini;
  ini.WriteInteger(kBackupSection, QStringLiteral("Format"), s.format);
  ini.WriteString(kBackupSection, QStringLiteral("Program"), s.program);
  ini.WriteString(kBackupSection, QStringLiteral("Created"), s.created.toString(Qt::ISODate));
  ini.WriteString(kBackupSection, QStringLiteral("Files"), QString::number(s.files));
  ini.WriteString(kBackupSection, QStringLiteral("Bytes"), QString::number(s.bytes));
  for (const KindCount& k : s.kinds) {
    ini.WriteString(k.id, QStringLiteral("Title"), k.title);
    ini.WriteString(k.id, QStringLiteral("Files"), QString::number(k.files));
    ini.WriteString(k.id, QStringLiteral("Records"), QString::number(k.records));
    if (k.first.isValid()) ini.WriteString(k.id, QStringLiteral("First"), k.first.toString(Qt::ISODate));
    if (k.last.isValid()) ini.WriteString(k.id, QStringLiteral("Last"), k.last.toString(Qt::ISODate));
  }
  return ini.ToBytes();
}

// Reads what the manifest says of the archive; the counts are taken from the files.
bool ReadManifest(const QByteArray& bytes, ArchiveSummary* s, QString* why) {
  IniFile ini;
  ini.LoadBytes(bytes);
  if (!ini.SectionExists(kBackupSection)) {
    *why = QStringLiteral("its manifest is not one that Mavelo writes");
    return false;
  }
  s->format = ini.ReadInteger(kBackupSection, QStringLiteral("Format"), 0);
  s->program = ini.ReadString(kBackupSection, QStringLiteral("Program"), QString());
  s->created = QDateTime::fromString(
      ini.ReadString(kBackupSection, QStringLiteral("Created"), QString()), Qt::ISODate);
  if (s->format > kArchiveFormat) {
    *why = QStringLiteral("it was made by a newer version of Mavelo (%1, archive format %2); "
                          "this version reads archives up to format %3")
               .arg(s->program.isEmpty() ? QStringLiteral("unknown") : s->program)
               .arg(s->format)
               .arg(kArchiveFormat);
    return false;
  }
  if (s->format < 1) {
    *why = QStringLiteral("its manifest names no archive format");
    return false;
  }
  return true;
}

// An entry name of the archive split into its folder and file; false with why it is not
// a name this program writes. Folders end in "/".
bool SplitEntryName(const QString& name, bool folder, QString* dirPart, QString* filePart,
                    QString* why) {
  if (name.isEmpty()) {
    *why = QStringLiteral("an entry has no name");
    return false;
  }
  if (name.startsWith(u'/') || name.contains(u'\\') || (name.size() > 1 && name.at(1) == u':')) {
    *why = QStringLiteral("it is an absolute path");
    return false;
  }
  for (const QChar c : name)
    if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::ReplacementCharacter) {
      *why = QStringLiteral("its name holds a control character or bytes that are not text");
      return false;
    }
  QStringList parts = name.split(u'/');
  if (folder && parts.last().isEmpty()) parts.removeLast();
  for (const QString& p : std::as_const(parts))
    if (p.isEmpty() || p == u"." || p == u"..") {
      *why = p == u".." ? QStringLiteral("its name climbs out of the folder (\"..\")")
                        : QStringLiteral("its name has an empty part");
      return false;
    }
  if (name.toUtf8().size() > 1024 || parts.last().toUtf8().size() > 255) {
    *why = QStringLiteral("its name is too long");
    return false;
  }
  if (folder) {
    if (parts.size() != 1) {
      *why = QStringLiteral("it is a folder the program does not keep");
      return false;
    }
    *dirPart = parts.first() + u'/';
    filePart->clear();
    return true;
  }
  if (parts.size() > 2) {
    *why = QStringLiteral("it is in a folder the program does not keep");
    return false;
  }
  *dirPart = parts.size() == 2 ? parts.first() + u'/' : QString();
  *filePart = parts.last();
  return true;
}

QString RestoreRefusal(const QString& archive, const QString& entry, const QString& why) {
  return entry.isEmpty()
             ? QStringLiteral("\"%1\" cannot be restored: %2. Nothing was changed.").arg(archive, why)
             : QStringLiteral("\"%1\" cannot be restored: \"%2\": %3. Nothing was changed.")
                   .arg(archive, entry, why);
}

// Removes a folder tree that this program made (the staging and the old folders).
void RemoveTree(const QString& path) {
  if (!path.isEmpty() && QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
    QDir(path).removeRecursively();
}

// Flushes every file of the filesystem that holds the folder (the files a restore
// unpacked), so that what is renamed into place is on the disk.
void SyncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::syncfs(fd);
  ::close(fd);
}

QDate AutoBackupDate(const QString& fileName) {
  if (!fileName.startsWith(kAutoPrefix) || !fileName.endsWith(QLatin1String(".zip"))) return {};
  return QDate::fromString(fileName.mid(kAutoPrefix.size(), 10), Qt::ISODate);
}

}  // namespace

QStringList ArchiveSummary::Lines() const {
  QStringList out;
  for (const KindCount& k : kinds) {
    if (k.files == 0 && k.records == 0) continue;
    const QString records = QStringLiteral("%1 %2").arg(
        Count(k.records), k.records == 1 ? QStringLiteral("record") : QStringLiteral("records"));
    const QString files = QStringLiteral("%1 %2").arg(
        Count(k.files), k.files == 1 ? QStringLiteral("file") : QStringLiteral("files"));
    // The settings are records without files of their own; the database and the reports
    // are files without records.
    QString line = k.title + QStringLiteral(": ") +
                   (k.records == 0 ? files
                    : k.files == 0 ? records
                                   : records + QStringLiteral(" in ") + files);
    if (k.first.isValid())
      line += QStringLiteral(", %1 to %2").arg(k.first.toString(Qt::ISODate),
                                                k.last.toString(Qt::ISODate));
    out << line;
  }
  return out;
}

bool CountRecords(const RecordRoot& root, const QList<RecordKind>& kinds,
                  QList<KindCount>* counts, QString* error) {
  counts->clear();
  bool ok = true;
  // Each folder is listed once; each file counts for the kind of the first rule it meets.
  QHash<const RecordKind*, int> files;
  QStringList folders = RuleFolders(kinds);
  folders.prepend(QString());
  for (const QString& folder : std::as_const(folders)) {
    for (const FolderEntry& e : ListFolder(root.Root() + folder)) {
      const RecordKind* kind = nullptr;
      if (e.type == FolderEntry::Type::File && FindFileRule(kinds, folder, e.name, &kind)) ++files[kind];
    }
  }
  for (const RecordKind& kind : kinds) {
    KindCount c{kind.id, kind.title};
    c.files = files.value(&kind);
    if (kind.read) {
      QList<RecordTable> tables;
      QString e;
      if (!kind.read(root, &tables, &e)) {
        // The other kinds are still counted; the first failure is told.
        if (error && ok) *error = e;
        ok = false;
        tables.clear();
      }
      for (const RecordTable& t : std::as_const(tables)) {
        c.records += t.rows.size();
        for (const QDate& d : t.dates) {
          if (!d.isValid()) continue;
          if (!c.first.isValid() || d < c.first) c.first = d;
          if (!c.last.isValid() || d > c.last) c.last = d;
        }
      }
    }
    *counts << c;
  }
  return ok;
}

QString DefaultBackupName(const QDate& date) {
  return QStringLiteral("Mavelo-backup-%1.zip").arg(date.toString(Qt::ISODate));
}

bool WriteBackup(const DataFolders& dir, const QList<RecordKind>& kinds, const QString& path,
                 ArchiveSummary* summary, QStringList* leftOut, QString* error,
                 const ProgressFunction& progress, bool countRecords) {
  QList<PackedFile> files;
  QStringList folders, left;
  ListProgramFiles(dir, kinds, &files, &folders, &left);
  // An archive written into the data folder itself would take itself in.
  const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
  const QString targetName = QFileInfo(target).fileName();
  ArchiveSummary s;
  s.program = ProgramText();
  s.created = QDateTime::currentDateTime();
  s.created.setTime(QTime(s.created.time().hour(), s.created.time().minute(),
                          s.created.time().second()));
  QString e;
  const qint64 total = files.size() + 2;
  if (progress) progress(0, total);

  ZipWriter zip;
  if (!zip.Open(path, &e)) {
    if (error) *error = e;
    return false;
  }
  // The files first, so the manifest counts only what went in; libarchive writes the
  // central directory at the end, so the manifest's place matters to no reader.
  for (const QString& f : std::as_const(folders)) {
    if (!zip.AddFolder(f, QFileInfo(dir.DataRoot() + f).lastModified(), &e)) {
      if (error) *error = e;
      return false;
    }
  }
  // Each file is read once: its bytes go into the archive and, for the manifest's counts
  // below, to the kinds' readers.
  QHash<QString, QByteArray> read;
  qint64 done = 0;
  for (const PackedFile& f : std::as_const(files)) {
    if (f.name == targetName && QDir::cleanPath(f.path) == target) continue;
    const RecordFileRule* rule = FindFileRule(kinds, f.folder, f.name);
    PlainFile file;
    if (!ReadPlainFile(f.path, rule->maxBytes, &file, &e)) {
      zip.Cancel();
      if (error) *error = e;
      return false;
    }
    QString why;
    if (file.tooLarge) {
      why = QStringLiteral("%1, larger than such a file can be").arg(SizeText(file.size));
    } else if (rule->read && !rule->read(file.bytes, &why)) {
      if (why.isEmpty()) why = QStringLiteral("it does not read as a file of its kind");
    }
    if (!why.isEmpty()) {
      // A restore would refuse it, and with it the whole archive.
      left << f.folder + f.name + QStringLiteral(" (") + why + u')';
      continue;
    }
    if (!zip.AddFile(f.folder + f.name, file.bytes,
                     QDateTime::fromSecsSinceEpoch(file.modifiedSecs, QTimeZone::utc()), &e)) {
      if (error) *error = e;
      return false;
    }
    ++s.files;
    s.bytes += file.bytes.size();
    if (countRecords && file.bytes.size() <= kKeptBytes) read.insert(f.path, std::move(file.bytes));
    if (progress) progress(++done, total);
  }
  // The counts are for the manifest: a file that does not read is still backed up (or
  // named among those left out), so a failure here does not stop the backup.
  if (countRecords) {
    RecordRoot root(dir);
    root.UseReadBytes(&read);
    CountRecords(root, kinds, &s.kinds, &e);
  }
  if (progress) progress(++done, total);
  if (!zip.AddFile(QString::fromLatin1(kManifestName), ManifestBytes(s), s.created, &e) ||
      !zip.Commit(&e)) {
    if (error) *error = e;
    return false;
  }
  if (progress) progress(total, total);
  if (summary) *summary = s;
  if (leftOut) *leftOut = left;
  return true;
}

// ---------------------------------------------------------------------------------------

RestoreJob::RestoreJob(const DataFolders& dir, const QList<RecordKind>& kinds)
    : dir_(dir), kinds_(kinds) {}

RestoreJob::~RestoreJob() {
  if (staging_) RemoveTree(staging_->path());
}

bool RestoreJob::Inspect(const QString& archivePath, QString* error,
                         const ProgressFunction& progress) {
  if (staging_) RemoveTree(staging_->path());
  staging_.reset();
  folders_.clear();
  rootFiles_.clear();
  summary_ = ArchiveSummary();
  const QString shown = QFileInfo(archivePath).fileName();
  auto refuse = [&](const QString& entry, const QString& why) {
    if (error) *error = RestoreRefusal(shown, entry, why);
    if (staging_) RemoveTree(staging_->path());
    staging_.reset();
    return false;
  };
  if (!QFileInfo(archivePath).isFile())
    return refuse(QString(), QStringLiteral("it is not a file"));

  // Pass 1: every entry's name, kind and size, and every file read by its own reader,
  // before anything at all is written.
  struct Checked {
    QString name;
    QString folder;
    qint64 size;
    QByteArray hash;
    QByteArray bytes;  // kept when small, for the count of the records below
  };
  QList<Checked> checked;
  QHash<QString, bool> seen;
  bool manifest = false;
  qint64 totalBytes = 0;
  {
    ZipReader zip;
    QString e;
    if (!zip.Open(archivePath, &e)) return refuse(QString(), QStringLiteral("it is not a zip archive Mavelo can read (%1)").arg(zip.errorString()));
    ZipEntryInfo entry;
    int count = 0;
    const QStringList programFolders = ProgramFolders(dir_, kinds_);
    while (zip.Next(&entry)) {
      if (++count > kMaxArchiveEntries)
        return refuse(QString(), QStringLiteral("it holds more than %1 entries").arg(Count(kMaxArchiveEntries)));
      const QString key = entry.name.endsWith(u'/') ? entry.name.chopped(1) : entry.name;
      if (seen.contains(key)) return refuse(entry.name, QStringLiteral("it is in the archive twice"));
      seen.insert(key, true);
      if (entry.type == ZipEntryInfo::Type::Link)
        return refuse(entry.name, QStringLiteral("it is a link"));
      if (entry.type == ZipEntryInfo::Type::Other)
        return refuse(entry.name, QStringLiteral("it is a device or another special file"));
      const bool isFolder = entry.type == ZipEntryInfo::Type::Folder;
      QString folder, file, why;
      if (!SplitEntryName(entry.name, isFolder, &folder, &file, &why)) return refuse(entry.name, why);
      if (isFolder) {
        if (!programFolders.contains(folder))
          return refuse(entry.name, QStringLiteral("it is a folder the program does not keep"));
        if (!folders_.contains(folder)) folders_ << folder;
        continue;
      }
      if (folder.isEmpty() && file == QLatin1String(kManifestName)) {
        QByteArray bytes;
        if (!zip.ReadData(64 << 10, &bytes, &why)) return refuse(entry.name, why);
        if (!ReadManifest(bytes, &summary_, &why)) return refuse(QString(), why);
        manifest = true;
        continue;
      }
      const RecordFileRule* rule = FindFileRule(kinds_, folder, file);
      if (!rule) return refuse(entry.name, QStringLiteral("it is not a file of Mavelo"));
      if (entry.size > rule->maxBytes)
        return refuse(entry.name, QStringLiteral("it is %1, larger than such a file can be")
                                      .arg(SizeText(entry.size)));
      totalBytes += qMax<qint64>(entry.size, 0);
      if (totalBytes > kMaxArchiveBytes)
        return refuse(QString(), QStringLiteral("its files come to more than %1").arg(SizeText(kMaxArchiveBytes)));
      QByteArray bytes;
      if (!zip.ReadData(rule->maxBytes, &bytes, &why)) return refuse(entry.name, why);
      if (entry.size >= 0 && bytes.size() != entry.size)
        return refuse(entry.name, QStringLiteral("it holds another size than its header says"));
      if (rule->read && !rule->read(bytes, &why)) {
        if (why.isEmpty()) why = QStringLiteral("it does not read as a file of its kind");
        return refuse(entry.name, why);
      }
      if (!folder.isEmpty() && !folders_.contains(folder)) folders_ << folder;
      if (folder.isEmpty()) rootFiles_ << file;
      checked << Checked{entry.name, folder, bytes.size(),
                         QCryptographicHash::hash(bytes, QCryptographicHash::Sha1),
                         bytes.size() <= kKeptBytes ? bytes : QByteArray()};
      if (progress) progress(checked.size(), 0);
    }
    if (!zip.errorString().isEmpty())
      return refuse(QString(), QStringLiteral("the archive is damaged (%1)").arg(zip.errorString()));
    if (!manifest) return refuse(QString(), QStringLiteral("it is not a Mavelo backup (it has no manifest)"));
  }

  // Pass 2: unpacked into a folder of its own inside the data root (the same disk, so
  // the commit is a rename per folder), and each file compared with what was checked.
  staging_ = std::make_unique<QTemporaryDir>(dir_.DataRoot() + QStringLiteral(".restore-XXXXXX"));
  staging_->setAutoRemove(false);
  if (!staging_->isValid())
    return refuse(QString(), QStringLiteral("no room to unpack it beside the data folder (%1)")
                                 .arg(staging_->errorString()));
  const QString stage = staging_->path() + u'/';
  for (const QString& f : std::as_const(folders_))
    if (!QDir().mkdir(stage + f)) return refuse(f, QStringLiteral("its folder cannot be made"));
  {
    ZipReader zip;
    QString e;
    if (!zip.Open(archivePath, &e)) return refuse(QString(), zip.errorString());
    QHash<QString, const Checked*> byName;
    for (const Checked& c : std::as_const(checked)) byName.insert(c.name, &c);
    qint64 done = 0;
    // A file that the data folder holds with the same bytes is linked into the staging
    // folder instead of being unpacked again, and what the link holds is read back and
    // compared: the restore of a recent backup writes (and later removes) only what
    // changed. Anything that does not link or differs is unpacked.
    for (const Checked& c : std::as_const(checked)) {
      if (c.bytes.size() != c.size) continue;  // too large to have been kept
      const QString current = dir_.DataRoot() + c.name;
      const QString staged = stage + c.name;
      if (::link(QFile::encodeName(current).constData(), QFile::encodeName(staged).constData()) != 0)
        continue;
      PlainFile linked;
      QString ignored;
      if (ReadPlainFile(staged, c.size, &linked, &ignored) && !linked.tooLarge && linked.bytes == c.bytes) {
        byName.remove(c.name);
        if (progress) progress(++done, checked.size());
      } else {
        QFile::remove(staged);
      }
    }
    ZipEntryInfo entry;
    while (!byName.isEmpty() && zip.Next(&entry)) {
      const Checked* c = byName.value(entry.name);
      if (!c || entry.type != ZipEntryInfo::Type::File) continue;
      QByteArray hash;
      qint64 size = 0;
      if (!zip.ExtractTo(stage, &e, &hash, &size)) return refuse(entry.name, e);
      // What was unpacked is what was checked, were the archive changed in between.
      if (hash != c->hash || size != c->size)
        return refuse(entry.name, QStringLiteral("it changed while it was being restored"));
      byName.remove(entry.name);
      if (progress) progress(++done, checked.size());
    }
    if (!byName.isEmpty())
      return refuse(byName.begin().key(), QStringLiteral("it could not be unpacked"));
  }

  // The records as the views will read them, which also proves the database opens. The
  // files unpacked are those checked (their hashes matched), so their checked bytes are
  // read instead of reading every file again.
  QHash<QString, QByteArray> read;
  for (Checked& c : checked)
    if (c.size <= kKeptBytes) read.insert(stage + c.name, std::move(c.bytes));
  RecordRoot staged(dir_, stage);
  staged.UseReadBytes(&read);
  QString e;
  if (!CountRecords(staged, kinds_, &summary_.kinds, &e))
    return refuse(QString(), e.replace(stage, QString()));
  summary_.files = checked.size();
  summary_.bytes = 0;
  for (const Checked& c : std::as_const(checked)) summary_.bytes += c.size;
  return true;
}

bool RestoreJob::Commit(QString* error, const ProgressFunction& progress) {
  if (!staging_) {
    if (error) *error = QStringLiteral("There is no checked archive to restore.");
    return false;
  }
  const QString root = dir_.DataRoot();
  const QString stage = staging_->path() + u'/';
  // First the safety copy of what is there now: without it, nothing is replaced.
  QString e;
  if (!WriteSafetyBackup(dir_, kinds_, &safetyBackup_, &e, progress)) {
    if (error)
      *error = QStringLiteral("The data folder could not be saved first, so nothing was "
                              "restored.\n") + e;
    return false;
  }
  SyncFolder(stage);

  // What moves: every folder and root file of the program, whether the archive holds it
  // or not, so that the folder holds exactly the archive's files afterwards.
  QStringList entries = ProgramFolders(dir_, kinds_);
  for (const QFileInfo& info : QDir(root).entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
    if (FindFileRule(kinds_, QString(), info.fileName())) entries << info.fileName();
  for (const QString& f : std::as_const(rootFiles_))
    if (!entries.contains(f)) entries << f;

  QTemporaryDir old(root + QStringLiteral(".replaced-XXXXXX"));
  old.setAutoRemove(false);
  if (!old.isValid()) {
    if (error) *error = QStringLiteral("Nothing was restored: %1").arg(old.errorString());
    return false;
  }
  const QString oldRoot = old.path() + u'/';
  struct Move {
    QString name;
    bool hadOld = false;
    bool putNew = false;
  };
  QList<Move> moves;
  auto strip = [](QString s) {
    if (s.endsWith(u'/')) s.chop(1);
    return s;
  };
  auto rollBack = [&] {
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
      const QString n = strip(it->name);
      if (it->putNew) QDir().rename(root + n, stage + n);
      if (it->hadOld) QDir().rename(oldRoot + n, root + n);
    }
    RemoveTree(old.path());
  };
  qint64 done = 0;
  for (const QString& entry : std::as_const(entries)) {
    const QString n = strip(entry);
    Move m{entry};
    const QFileInfo current(root + n);
    if (current.exists() || current.isSymLink()) {
      if (!QDir().rename(root + n, oldRoot + n)) {
        rollBack();
        if (error) *error = QStringLiteral("Nothing was restored: \"%1\" could not be moved aside.")
                                .arg(root + n);
        return false;
      }
      m.hadOld = true;
    }
    moves << m;
    if (QFileInfo::exists(stage + n)) {
      if (!QDir().rename(stage + n, root + n)) {
        rollBack();
        if (error) *error = QStringLiteral("Nothing was restored: \"%1\" could not be put in place.")
                                .arg(root + n);
        return false;
      }
      moves.last().putNew = true;
    }
    if (progress) progress(++done, entries.size());
  }
  // Folders the archive did not hold are there again, empty, as the program expects.
  for (const QString& f : dir_.RecordFolders()) QDir().mkpath(f);
  RemoveTree(old.path());
  RemoveTree(staging_->path());
  staging_.reset();
  return true;
}

// ---------------------------------------------------------------------------------------

bool WriteSafetyBackup(const DataFolders& dir, const QList<RecordKind>& kinds, QString* path,
                       QString* error, const ProgressFunction& progress) {
  if (!QDir().mkpath(dir.BackupsFolder())) {
    if (error)
      *error = CannotCreateMessage(dir.BackupsFolder(), QStringLiteral("The folder cannot be made"));
    return false;
  }
  QString target = dir.BackupsFolder() + kAutoPrefix +
                   QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
  // Two in one second (an import right after a restore) keep apart.
  for (int n = 2; QFileInfo::exists(target + QStringLiteral(".zip")); ++n)
    target = target.section(u'~', 0, 0) + u'~' + QString::number(n);
  target += QStringLiteral(".zip");
  if (!WriteBackup(dir, kinds, target, nullptr, nullptr, error, progress, false)) return false;
  if (path) *path = target;
  return true;
}

QStringList AutomaticBackups(const DataFolders& dir) {
  QStringList out;
  const QFileInfoList files =
      QDir(dir.BackupsFolder()).entryInfoList({kAutoPrefix + QStringLiteral("*.zip")}, QDir::Files,
                                             QDir::Name | QDir::Reversed);
  for (const QFileInfo& f : files)
    if (AutoBackupDate(f.fileName()).isValid()) out << f.filePath();
  return out;
}

void PruneAutomaticBackups(const DataFolders& dir) {
  const QStringList all = AutomaticBackups(dir);  // newest first
  QList<QDate> days;
  for (const QString& path : all) {
    const QDate d = AutoBackupDate(QFileInfo(path).fileName());
    if (!days.contains(d)) days << d;
  }
  QList<QDate> keepDays = days.mid(0, 7);
  // Then the newest day of each of the four weeks before.
  QList<int> weeks;
  for (const QDate& d : days.mid(7)) {
    int year = 0;
    const int week = d.weekNumber(&year);
    const int key = year * 100 + week;
    if (weeks.contains(key)) continue;
    if (weeks.size() == 4) break;
    weeks << key;
    keepDays << d;
  }
  for (const QString& path : all)
    if (!keepDays.contains(AutoBackupDate(QFileInfo(path).fileName()))) QFile::remove(path);
}

bool MakeDailyBackup(const DataFolders& dir, const QList<RecordKind>& kinds, const QDate& today,
                     QString* error, bool* made) {
  if (made) *made = false;
  for (const QString& path : AutomaticBackups(dir))
    if (AutoBackupDate(QFileInfo(path).fileName()) == today) return true;
  if (!QDir().mkpath(dir.BackupsFolder())) {
    if (error)
      *error = CannotCreateMessage(dir.BackupsFolder(), QStringLiteral("The folder cannot be made"));
    return false;
  }
  const QString path =
      dir.BackupsFolder() + kAutoPrefix + today.toString(Qt::ISODate) + QStringLiteral(".zip");
  QString e;
  if (!WriteBackup(dir, kinds, path, nullptr, nullptr, &e)) {
    if (error) *error = QStringLiteral("Today's automatic backup could not be made.\n") + e;
    return false;
  }
  if (made) *made = true;
  PruneAutomaticBackups(dir);
  return true;
}
