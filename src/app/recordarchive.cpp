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
#include <sys/stat.h>
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


// A file of the program to put in an archive.
struct PackedFile {
  QString folder;  // relative, with "/"; "" the root
  QString name;
  QString path;
  const RecordFileRule* rule = nullptr;
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

// What an entry of one of the program's folders (`rel`, not the root) is to a backup:
// one of the program's files (its rule), a save's temporary (nothing), or anything else,
// which is not the program's and *why says what it is. `names` is filled from `entries`
// the first time a temporary must be told from a stray file.
const RecordFileRule* ProgramEntry(const QList<RecordKind>& kinds, const QString& rel,
                                   const FolderEntry& e, const QList<FolderEntry>& entries,
                                   QSet<QString>* names, QString* why) {
  why->clear();
  if (e.type == FolderEntry::Type::Link) {
    *why = QStringLiteral(" (a link)");
  } else if (e.type == FolderEntry::Type::Folder) {
    *why = QStringLiteral("/ (a folder the program does not keep)");
  } else if (e.type != FolderEntry::Type::File) {
    *why = QStringLiteral(" (not a regular file)");
  } else if (const RecordFileRule* rule = FindFileRule(kinds, rel, e.name)) {
    return rule;
  } else {
    if (names->isEmpty())
      for (const FolderEntry& other : entries) names->insert(other.name);
    if (!IsSaveTemporary(e.name, *names)) *why = QStringLiteral(" (not a file of Mavelo)");
  }
  return nullptr;
}

// The program's files under the data root, by the kinds' rules; what lies in the
// program's folders and is not one of them goes to *leftOut.
void ListProgramFiles(const DataFolders& dir, const QList<RecordKind>& kinds,
                      QList<PackedFile>* files, QStringList* folders, QStringList* leftOut,
                      QHash<QString, int>* entryCounts = nullptr) {
  QStringList all = ProgramFolders(dir, kinds);
  std::sort(all.begin(), all.end());
  all.prepend(QString());
  for (const QString& rel : all) {
    const QString path = dir.DataRoot() + rel;
    if (!QFileInfo(path).isDir()) continue;
    if (!rel.isEmpty()) *folders << rel;
    const QList<FolderEntry> entries = ListFolder(path);
    if (entryCounts) entryCounts->insert(rel, entries.size());
    QSet<QString> names;
    for (const FolderEntry& e : entries) {
      // At the root only the program's files count; its folders are walked one by one
      // and anything else there (Backups/, a lock) is not a record.
      if (rel.isEmpty()) {
        if (e.type != FolderEntry::Type::File) continue;
        if (const RecordFileRule* rule = FindFileRule(kinds, rel, e.name))
          *files << PackedFile{rel, e.name, path + e.name, rule};
        continue;
      }
      QString why;
      if (const RecordFileRule* rule = ProgramEntry(kinds, rel, e, entries, &names, &why))
        *files << PackedFile{rel, e.name, path + e.name, rule};
      else if (!why.isEmpty())
        *leftOut << rel + e.name + why;
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
    const QString records = CountText(k.records, QStringLiteral("record"), QStringLiteral("records"));
    const QString files = CountText(k.files, QStringLiteral("file"), QStringLiteral("files"));
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

namespace {

// A file of the data folder whose bytes a restore has read and compared already: its
// safety copy takes them instead of reading the file again, while the file's stamp says
// it is that same file.
struct KnownFile {
  FileStamp stamp;
  QByteArray bytes;
  bool hasBytes = false;  // false: too large to have been kept; read again
};

// What a restore tells its safety copy, and learns from it about the data folder.
struct SafetyCopy {
  QHash<QString, KnownFile> known;  // by full path
  QSet<QString> unchanged;          // the known files found as they were
  QHash<QString, int> entries;      // the number of entries in each folder (relative)
};

// WriteBackup, with what a restore knows already.
bool WriteArchive(const DataFolders& dir, const QList<RecordKind>& kinds, const QString& path,
                  ArchiveSummary* summary, QStringList* leftOut, QString* error,
                  const ProgressFunction& progress, bool countRecords, SafetyCopy* copy) {
  QList<PackedFile> files;
  QStringList folders, left;
  ListProgramFiles(dir, kinds, &files, &folders, &left, copy ? &copy->entries : nullptr);
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
  // below, to the kinds' readers. The files of one folder are reached through the folder
  // held open (as the listing found it: a folder that is a link is followed).
  QHash<QString, QByteArray> read;
  qint64 done = 0;
  FolderHandle folder;
  QString openFolder;
  for (const PackedFile& f : std::as_const(files)) {
    if (f.name == targetName && QDir::cleanPath(f.path) == target) continue;
    if (!folder.IsOpen() || f.folder != openFolder) {
      folder = FolderHandle(dir.DataRoot() + f.folder, true);
      openFolder = f.folder;
    }
    const RecordFileRule* rule = f.rule;
    PlainFile file;
    bool checked = false;  // bytes a restore compared with those its reader read
    const auto k = copy ? copy->known.constFind(f.path) : QHash<QString, KnownFile>::const_iterator();
    if (copy && k != copy->known.cend()) {
      FileStamp now;
      if (StampFile(folder, f.name, &now) && now == k->stamp) {
        copy->unchanged.insert(f.path);
        if (k->hasBytes) {
          file.bytes = k->bytes;
          file.size = k->bytes.size();
          file.modifiedSecs = now.modifiedNs / 1000000000;
          checked = true;
        }
      }
    }
    if (!checked) {
      const bool ok = folder.IsOpen() ? ReadPlainFile(folder, f.name, rule->maxBytes, &file, &e)
                                      : ReadPlainFile(f.path, rule->maxBytes, &file, &e);
      if (!ok) {
        zip.Cancel();
        if (error) *error = e;
        return false;
      }
    }
    QString why;
    if (file.tooLarge) {
      why = QStringLiteral("%1, larger than such a file can be").arg(SizeText(file.size));
    } else if (!checked && rule->read && !rule->read(file.bytes, &why)) {
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

bool WriteSafetyArchive(const DataFolders& dir, const QList<RecordKind>& kinds, QString* path,
                        QString* error, const ProgressFunction& progress,
                        SafetyCopy* copy) {
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
  if (!WriteArchive(dir, kinds, target, nullptr, nullptr, error, progress, false, copy))
    return false;
  if (path) *path = target;
  return true;
}

QByteArray Encoded(const QString& name) { return QFile::encodeName(name); }

bool Exists(const QString& path) {
  struct stat st;
  return ::lstat(Encoded(path).constData(), &st) == 0;
}

bool Rename(const QString& from, const QString& to) {
  return ::rename(Encoded(from).constData(), Encoded(to).constData()) == 0;
}

// The list of a restore's moves, beside its staging folder: "O" the data folder's entry
// goes into the old folder, "N" the staging folder's takes its place; "K" an entry of a
// moved folder that is not the program's (a file she put there), which no archive holds
// and so goes back from the old folder into the new one.
const QByteArray kSwapHeader = QByteArrayLiteral("Mavelo restore moves 1\n");
const QString kStagePrefix = QStringLiteral(".restore-");
const QString kSwapSuffix = QStringLiteral(".swap");
const QString kOldSuffix = QStringLiteral(".old");

struct Move {
  QString name;  // an entry of the data root: a folder or a file
  bool hadOld = false;
  bool putNew = false;
};

QByteArray SwapList(const QList<Move>& moves, const QStringList& kept) {
  QByteArray out = kSwapHeader;
  for (const Move& m : moves)
    out += QByteArray(m.hadOld ? "O" : "") + (m.putNew ? "N" : "") + '\t' + m.name.toUtf8() + '\n';
  for (const QString& k : kept) out += "K\t" + k.toUtf8() + '\n';
  return out;
}

bool ReadSwapList(const QByteArray& bytes, QList<Move>* moves, QStringList* kept) {
  if (!bytes.startsWith(kSwapHeader) || !bytes.endsWith('\n')) return false;
  const QList<QByteArray> lines = bytes.mid(kSwapHeader.size()).chopped(1).split('\n');
  auto plainName = [](const QString& n) { return !n.isEmpty() && n != u"." && n != u".." && !n.contains(u'/'); };
  for (const QByteArray& line : lines) {
    if (line.isEmpty()) continue;
    const qsizetype tab = line.indexOf('\t');
    if (tab < 0) return false;
    const QByteArray flags = line.left(tab);
    const QString name = QString::fromUtf8(line.mid(tab + 1));
    if (flags == "K") {
      // A folder of the data root and a name in it, as a restore writes them.
      const QStringList parts = name.split(u'/');
      if (parts.size() != 2 || !plainName(parts[0]) || !plainName(parts[1])) return false;
      *kept << name;
      continue;
    }
    Move m{name, flags.contains('O'), flags.contains('N')};
    // Only entries of the data root itself, as a restore writes them.
    if (!plainName(m.name) || flags.isEmpty() || flags.size() > 2 || (!m.hadOld && !m.putNew))
      return false;
    *moves << m;
  }
  return true;
}

// Puts back what she kept in the moved folders, from the old folder into the new; false
// with *why when one stays behind (the old folder must then stay too).
bool PutBackKept(const QString& root, const QString& old, const QStringList& kept, QString* why) {
  for (const QString& k : kept) {
    if (!Exists(old + k) || Exists(root + k)) continue;
    const QString folder = root + k.section(u'/', 0, 0);
    if (!QDir().mkpath(folder) || !Rename(old + k, root + k)) {
      *why = QStringLiteral("\"%1\" could not be put back").arg(root + k);
      return false;
    }
  }
  return true;
}

// What is left of a folder someone or something made in the place of a moved entry after
// the restore stopped: an empty folder (the data folder's own, made at a start) goes.
bool ClearEmptyFolder(const QString& path) {
  return QFileInfo(path).isDir() && !QFileInfo(path).isSymLink() && ::rmdir(Encoded(path).constData()) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------

bool WriteBackup(const DataFolders& dir, const QList<RecordKind>& kinds, const QString& path,
                 ArchiveSummary* summary, QStringList* leftOut, QString* error,
                 const ProgressFunction& progress, bool countRecords) {
  return WriteArchive(dir, kinds, path, summary, leftOut, error, progress, countRecords, nullptr);
}

// ---------------------------------------------------------------------------------------

struct RestoreJob::Work {
  // A file of the archive, as it was checked.
  struct File {
    QString folder;  // relative, with "/"; "" the root
    QString name;
    qint64 size = 0;
    qint64 modifiedSecs = 0;
    QByteArray bytes;     // the checked bytes, when small enough to keep
    QByteArray hash;      // their SHA-1, when too large to keep
    bool kept = false;
    bool same = false;    // the data folder held these very bytes under this name
    bool linked = false;  // staged as a second name of the data folder's file
    FileStamp stamp;      // that file when it was compared (after the link when linked)
    QString Entry() const { return folder + name; }
  };

  ~Work() {
    if (staging && !keep) RemoveTree(staging->path());
  }

  QString archive;
  std::unique_ptr<QTemporaryDir> staging;
  QString stage;  // its path, with "/"
  bool keep = false;  // a stopped swap needs it: left for the next start
  QList<File> files;
  QStringList folders;        // the archive's (relative, with "/")
  QStringList rootFiles;      // the archive's files at the root
  QSet<QString> sameFolders;  // those the data folder holds as they are: left in place
  QHash<QString, QList<int>> byFolder;  // the files of each folder; "" the root

  // Puts the files into the staging folder `to`: a file the data folder (`from`) holds
  // with the same bytes by a second name of it, any other by writing its checked bytes;
  // those too large to have been kept go to *unpack, to be unpacked from the archive.
  bool StageFiles(const FolderHandle& from, const FolderHandle& to, const QList<int>& which,
                  QList<int>* unpack, QString* entry, QString* why) {
    for (const int i : which) {
      File& f = files[i];
      f.linked = false;
      if (f.same && LinkFile(from, f.name, to)) {
        // The second name is of the file that was compared, were it replaced meanwhile.
        FileStamp s;
        if (StampFile(to, f.name, &s) && s.device == f.stamp.device && s.inode == f.stamp.inode &&
            s.size == f.stamp.size && s.modifiedNs == f.stamp.modifiedNs) {
          f.linked = true;
          f.stamp = s;  // its change time is the link's
          continue;
        }
        ::unlinkat(to.Handle(), Encoded(f.name).constData(), 0);
        f.same = false;
      }
      if (!f.kept) {
        *unpack << i;
        continue;
      }
      if (!WriteNewFile(to, f.name, f.bytes, f.modifiedSecs, why)) {
        *entry = f.Entry();
        return false;
      }
    }
    return true;
  }

  // Unpacks the files too large to have been kept into the staging folder, each compared
  // with what was checked, were the archive changed in between.
  bool Unpack(const QList<int>& which, QString* entry, QString* why) {
    if (which.isEmpty()) return true;
    QHash<QString, int> byName;
    for (const int i : which) byName.insert(files[i].Entry(), i);
    ZipReader zip;
    QString e;
    if (!zip.Open(archive, &e)) {
      *why = zip.errorString();
      return false;
    }
    const FolderHandle stageRoot(stage);
    ZipEntryInfo info;
    while (!byName.isEmpty() && zip.Next(&info)) {
      const auto it = byName.constFind(info.name);
      if (it == byName.cend() || info.type != ZipEntryInfo::Type::File) continue;
      const File& f = files[it.value()];
      *entry = f.Entry();
      QByteArray bytes;
      if (!zip.ReadData(f.size, &bytes, why)) return false;
      if (bytes.size() != f.size || QCryptographicHash::hash(bytes, QCryptographicHash::Sha1) != f.hash) {
        *why = QStringLiteral("it changed while it was being restored");
        return false;
      }
      const FolderHandle to = f.folder.isEmpty() ? FolderHandle(stage) : FolderHandle(stageRoot, f.folder.chopped(1));
      if (!WriteNewFile(to, f.name, bytes, f.modifiedSecs, why)) return false;
      byName.erase(it);
    }
    if (!byName.isEmpty()) {
      *entry = byName.begin().key();
      *why = QStringLiteral("it could not be unpacked");
      return false;
    }
    entry->clear();
    return true;
  }
};

RestoreJob::RestoreJob(const DataFolders& dir, const QList<RecordKind>& kinds)
    : dir_(dir), kinds_(kinds) {}

RestoreJob::~RestoreJob() = default;

bool RestoreJob::Inspect(const QString& archivePath, QString* error,
                         const ProgressFunction& progress) {
  work_.reset();
  summary_ = ArchiveSummary();
  auto work = std::make_unique<Work>();  // what is unpacked goes with it on a refusal
  work->archive = archivePath;
  const QString shown = QFileInfo(archivePath).fileName();
  auto refuse = [&](const QString& entry, const QString& why) {
    if (error) *error = RestoreRefusal(shown, entry, why);
    return false;
  };
  if (!QFileInfo(archivePath).isFile())
    return refuse(QString(), QStringLiteral("it is not a file"));

  // Pass 1: every entry's name, kind and size, and every file read by its own reader,
  // before anything at all is written.
  QList<Work::File>& files = work->files;
  QStringList& folders = work->folders;
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
        return refuse(QString(), QStringLiteral("it holds more than %1 entries").arg(CountText(kMaxArchiveEntries)));
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
        if (!folders.contains(folder)) folders << folder;
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
      if (!folder.isEmpty() && !folders.contains(folder)) folders << folder;
      if (folder.isEmpty()) work->rootFiles << file;
      Work::File f;
      f.folder = folder;
      f.name = file;
      f.size = bytes.size();
      f.modifiedSecs = entry.modified.isValid() ? entry.modified.toSecsSinceEpoch() : 0;
      f.kept = bytes.size() <= kKeptBytes;
      if (f.kept)
        f.bytes = std::move(bytes);
      else
        f.hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
      files << std::move(f);
      if (progress) progress(files.size(), 0);
    }
    if (!zip.errorString().isEmpty())
      return refuse(QString(), QStringLiteral("the archive is damaged (%1)").arg(zip.errorString()));
    if (!manifest) return refuse(QString(), QStringLiteral("it is not a Mavelo backup (it has no manifest)"));
  }
  for (int i = 0; i < files.size(); ++i) work->byFolder[files[i].folder] << i;

  // Pass 2: unpacked into a folder of its own inside the data root (the same disk, so
  // the commit is a rename per folder). Each file is first compared with the one of its
  // name in the data folder: one that holds the same bytes is linked instead of being
  // written again, and a folder that holds exactly the archive's files is left where it
  // is, named in the staging folder by a link to itself. The restore of a recent backup
  // so writes (and later removes) only what changed.
  work->staging = std::make_unique<QTemporaryDir>(dir_.DataRoot() + kStagePrefix + QStringLiteral("XXXXXX"));
  work->staging->setAutoRemove(false);
  if (!work->staging->isValid())
    return refuse(QString(), QStringLiteral("no room to unpack it beside the data folder (%1)")
                                 .arg(work->staging->errorString()));
  work->stage = work->staging->path() + u'/';
  const FolderHandle live(dir_.DataRoot(), true);
  const FolderHandle stage(work->stage);
  // Compares the archive's files of one folder with the data folder's (`current`); true
  // when it holds exactly those files with those bytes.
  auto compare = [&](const FolderHandle& current, const QString& folder) {
    const QList<int> which = work->byFolder.value(folder);
    if (!current.IsOpen()) return false;
    const QList<FolderEntry> entries = ListFolder(current);
    QHash<QString, FolderEntry::Type> have;
    bool exact = entries.size() == which.size();
    for (const FolderEntry& e : entries) {
      have.insert(e.name, e.type);
      if (e.type != FolderEntry::Type::File) exact = false;
    }
    for (const int i : which) {
      Work::File& f = files[i];
      PlainFile p;
      QString ignored;
      if (have.value(f.name, FolderEntry::Type::Other) == FolderEntry::Type::File &&
          ReadPlainFile(current, f.name, f.size, &p, &ignored) && !p.tooLarge &&
          p.bytes.size() == f.size &&
          (f.kept ? p.bytes == f.bytes
                  : QCryptographicHash::hash(p.bytes, QCryptographicHash::Sha1) == f.hash)) {
        f.same = true;
        f.stamp = p.stamp;
      } else {
        exact = false;
      }
    }
    return exact;
  };
  QList<int> unpack;
  QString entry, why;
  qint64 done = 0;
  compare(live, QString());
  if (!work->StageFiles(live, stage, work->byFolder.value(QString()), &unpack, &entry, &why))
    return refuse(entry, why);
  for (const QString& folder : std::as_const(folders)) {
    const QString name = folder.chopped(1);
    // Not through a link in its place: that one is replaced, as a restore always did.
    const FolderHandle current(live, name);
    if (compare(current, folder) &&
        ::symlinkat(Encoded(QStringLiteral("../") + name).constData(), stage.Handle(),
                    Encoded(name).constData()) == 0) {
      work->sameFolders.insert(folder);
    } else {
      if (::mkdirat(stage.Handle(), Encoded(name).constData(), 0755) != 0)
        return refuse(folder, QStringLiteral("its folder cannot be made"));
      if (!work->StageFiles(current, FolderHandle(stage, name), work->byFolder.value(folder),
                            &unpack, &entry, &why))
        return refuse(entry, why);
    }
    done += work->byFolder.value(folder).size();
    if (progress) progress(done, files.size());
  }
  if (!work->Unpack(unpack, &entry, &why)) return refuse(entry, why);

  // The records as the views will read them, which also proves the database opens. The
  // files staged are those checked, so their checked bytes are read instead of reading
  // every file again.
  QHash<QString, QByteArray> read;
  for (const Work::File& f : std::as_const(files))
    if (f.kept) read.insert(work->stage + f.Entry(), f.bytes);
  RecordRoot staged(dir_, work->stage);
  staged.UseReadBytes(&read);
  QString e;
  if (!CountRecords(staged, kinds_, &summary_.kinds, &e))
    return refuse(QString(), e.replace(work->stage, QString()));
  summary_.files = files.size();
  summary_.bytes = 0;
  for (const Work::File& f : std::as_const(files)) summary_.bytes += f.size;
  work_ = std::move(work);
  return true;
}

bool RestoreJob::Commit(QString* error, const ProgressFunction& progress) {
  if (!work_) {
    if (error) *error = QStringLiteral("There is no checked archive to restore.");
    return false;
  }
  Work& w = *work_;
  const QString root = dir_.DataRoot();
  auto fail = [&](const QString& message) {
    if (error) *error = message;
    return false;
  };
  // First the safety copy of what is there now: without it, nothing is replaced. The
  // files compared with the archive's are taken as they were read, while their stamps
  // say they have not changed since.
  SafetyCopy copy;
  for (const Work::File& f : std::as_const(w.files))
    if (f.same) copy.known.insert(root + f.Entry(), KnownFile{f.stamp, f.kept ? f.bytes : QByteArray(), f.kept});
  const QSet<QString>& unchanged = copy.unchanged;
  QString e;
  if (!WriteSafetyArchive(dir_, kinds_, &safetyBackup_, &e, progress, &copy))
    return fail(QStringLiteral("The data folder could not be saved first, so nothing was "
                               "restored.\n") + e);

  // What changed since Inspect (a view saved before the restore) is staged after all.
  const FolderHandle live(root, true);
  const FolderHandle stage(w.stage);
  QList<int> unpack;
  QString entry, why;
  auto cannotStage = [&] {
    return fail(QStringLiteral("Nothing was restored: \"%1\" could not be unpacked: %2").arg(entry, why));
  };
  const QStringList sameFolders(w.sameFolders.cbegin(), w.sameFolders.cend());
  for (const QString& folder : sameFolders) {
    const QString name = folder.chopped(1);
    const QList<int> which = w.byFolder.value(folder);
    // As many entries as the archive's files, and each of those as it was compared: no
    // more, no other.
    const FolderHandle current(live, name);
    bool still = current.IsOpen() && copy.entries.value(folder, -1) == which.size();
    for (const int i : which) still = still && unchanged.contains(root + w.files[i].Entry());
    if (still) continue;
    w.sameFolders.remove(folder);
    for (const int i : which) w.files[i].same = unchanged.contains(root + w.files[i].Entry());
    entry = folder;
    why = QStringLiteral("its folder cannot be made");
    if (::unlinkat(stage.Handle(), Encoded(name).constData(), 0) != 0 ||
        ::mkdirat(stage.Handle(), Encoded(name).constData(), 0755) != 0)
      return cannotStage();
    if (!w.StageFiles(current, FolderHandle(stage, name), which, &unpack, &entry, &why)) return cannotStage();
  }
  // A file linked from the data folder that was written in place since holds other bytes
  // now: the archive's are written instead.
  for (int i = 0; i < w.files.size(); ++i) {
    Work::File& f = w.files[i];
    if (!f.linked || unchanged.contains(root + f.Entry())) continue;
    const FolderHandle to = f.folder.isEmpty() ? FolderHandle(w.stage) : FolderHandle(stage, f.folder.chopped(1));
    FileStamp s;
    if (StampFile(to, f.name, &s) && s == f.stamp) continue;  // replaced: the link is the old file
    ::unlinkat(to.Handle(), Encoded(f.name).constData(), 0);
    f.linked = false;
    entry = f.Entry();
    if (!f.kept)
      unpack << i;
    else if (!WriteNewFile(to, f.name, f.bytes, f.modifiedSecs, &why))
      return cannotStage();
  }
  if (!w.Unpack(unpack, &entry, &why)) return cannotStage();

  // What moves: every folder and root file of the program, whether the archive holds it
  // or not, so that the folder holds exactly the archive's files afterwards; but not a
  // folder left in place, an empty folder the archive does not hold, nor a file that
  // holds the archive's bytes already.
  QList<Move> moves;
  QStringList kept;
  for (const QString& folder : ProgramFolders(dir_, kinds_)) {
    const QString name = folder.chopped(1);
    if (w.sameFolders.contains(folder)) continue;
    const bool there = Exists(root + name);
    const FolderHandle current(live, name);
    const QList<FolderEntry> entries = current.IsOpen() ? ListFolder(current) : QList<FolderEntry>();
    if (w.folders.contains(folder)) {
      moves << Move{name, there, true};
    } else if (there) {
      if (!current.IsOpen() || !entries.isEmpty()) moves << Move{name, true, false};
    }
    // What she put there herself is no record: no archive holds it, and it stays.
    QSet<QString> names;
    QString why;
    for (const FolderEntry& e : entries)
      if (!ProgramEntry(kinds_, folder, e, entries, &names, &why) && !why.isEmpty())
        kept << name + u'/' + e.name;
  }
  QStringList rootFiles;
  for (const FolderEntry& x : ListFolder(live))
    if ((x.type == FolderEntry::Type::File || x.type == FolderEntry::Type::Link) &&
        FindFileRule(kinds_, QString(), x.name))
      rootFiles << x.name;
  for (const QString& f : std::as_const(w.rootFiles))
    if (!rootFiles.contains(f)) rootFiles << f;
  for (const QString& name : std::as_const(rootFiles)) {
    const bool inArchive = w.rootFiles.contains(name);
    if (inArchive && unchanged.contains(root + name)) continue;
    moves << Move{name, Exists(root + name), inArchive};
  }

  const QString base = w.stage.chopped(1);
  const QString oldRoot = base + kOldSuffix + u'/';
  const QString swapList = base + kSwapSuffix;
  if (!moves.isEmpty()) {
    // Every file unpacked is on the disk, and the list of the moves too, before the
    // first of them: a restore stopped among them is finished at the next start.
    SyncFolder(w.stage);
    if (!QDir().mkdir(oldRoot))
      return fail(QStringLiteral("Nothing was restored: \"%1\" cannot be made.").arg(oldRoot));
    if (!WriteFileBytes(swapList, SwapList(moves, kept), &e)) {
      RemoveTree(oldRoot);
      return fail(QStringLiteral("Nothing was restored: ") + e);
    }
    live.Flush();
    QList<QPair<bool, bool>> made;  // of each move: the old one moved aside, the new one put
    auto rollBack = [&] {
      bool ok = true;
      for (qsizetype i = made.size() - 1; i >= 0; --i) {
        const QString& n = moves[i].name;
        if (made[i].second) ok = Rename(root + n, w.stage + n) && ok;
        if (made[i].first) ok = Rename(oldRoot + n, root + n) && ok;
      }
      if (ok) {
        QFile::remove(swapList);
        RemoveTree(oldRoot);
      } else {
        // Neither whole: the list stays, and the next start finishes the restore.
        w.keep = true;
      }
      return ok;
    };
    auto stopped = [&](const QString& what) {
      const bool back = rollBack();
      return fail(back ? QStringLiteral("Nothing was restored: %1").arg(what)
                       : QStringLiteral("The restore stopped halfway: %1. Mavelo finishes it "
                                        "when it starts next.").arg(what));
    };
    qint64 done = 0;
    for (const Move& m : std::as_const(moves)) {
      made << qMakePair(false, false);
      if (m.hadOld) {
        if (!Rename(root + m.name, oldRoot + m.name))
          return stopped(QStringLiteral("\"%1\" could not be moved aside.").arg(root + m.name));
        made.last().first = true;
      }
      if (m.putNew && Exists(w.stage + m.name)) {
        if (!Rename(w.stage + m.name, root + m.name))
          return stopped(QStringLiteral("\"%1\" could not be put in place.").arg(root + m.name));
        made.last().second = true;
      }
      if (progress) progress(++done, moves.size());
    }
    if (!PutBackKept(root, oldRoot, kept, &e)) {
      // The records are restored; the next start tries again, and until then her own
      // files wait in the old folder, which nothing removes while the list is there.
      for (const QString& f : dir_.RecordFolders()) QDir().mkpath(f);
      live.Flush();
      w.keep = true;
      work_.reset();
      return true;
    }
    live.Flush();
    QFile::remove(swapList);
  }
  // Folders the archive did not hold are there again, empty, as the program expects.
  for (const QString& f : dir_.RecordFolders()) QDir().mkpath(f);
  RemoveTree(oldRoot);
  RemoveTree(w.stage);
  w.staging.reset();
  work_.reset();
  return true;
}

// ---------------------------------------------------------------------------------------

bool FinishStoppedRestore(const DataFolders& dir, QString* error) {
  const QString root = dir.DataRoot();
  bool ok = true;
  QSet<QString> kept;  // the folders of a restore that could not be finished
  for (const FolderEntry& x : ListFolder(root)) {
    if (!x.name.startsWith(kStagePrefix) || !x.name.endsWith(kSwapSuffix)) continue;
    const QString base = root + x.name.chopped(kSwapSuffix.size());
    const QString stage = base + u'/', old = base + kOldSuffix + u'/';
    QList<Move> moves;
    QStringList keptNames;
    PlainFile list;
    QString why;
    bool finished = ReadPlainFile(root + x.name, 1 << 20, &list, &why) && !list.tooLarge &&
                    ReadSwapList(list.bytes, &moves, &keptNames);
    if (!finished && why.isEmpty()) why = QStringLiteral("its list of moves does not read");
    // Each move as far as it had come, then on to its end.
    for (const Move& m : std::as_const(moves)) {
      if (!finished) break;
      const QString here = root + m.name;
      if (m.hadOld && !Exists(old + m.name) && Exists(here) && !Rename(here, old + m.name)) {
        finished = false;
        why = QStringLiteral("\"%1\" could not be moved aside").arg(here);
        break;
      }
      if (m.putNew && Exists(stage + m.name)) {
        if (Exists(here)) ClearEmptyFolder(here);
        if (Exists(here) || !Rename(stage + m.name, here)) {
          finished = false;
          why = QStringLiteral("\"%1\" could not be put in place").arg(here);
          break;
        }
      }
    }
    if (finished) finished = PutBackKept(root, old, keptNames, &why);
    if (finished) {
      for (const QString& f : dir.RecordFolders()) QDir().mkpath(f);
      FolderHandle(root, true).Flush();
      QFile::remove(root + x.name);
    } else {
      kept << stage.chopped(1) << old.chopped(1);
      if (error && ok)
        *error = QStringLiteral("A restore that was stopped could not be finished: %1. Its files "
                                "are in \"%2\" and \"%3\"; your records as they were before it "
                                "are in the newest automatic backup.")
                     .arg(why, stage, old);
      ok = false;
    }
  }
  // What else a stopped restore leaves: its staging folder and the old folders, of no use
  // once the moves are done or before they began. (".replaced-" is what an earlier
  // version named the old folders.)
  for (const FolderEntry& x : ListFolder(root)) {
    if (x.type != FolderEntry::Type::Folder) continue;
    if (!x.name.startsWith(kStagePrefix) && !x.name.startsWith(QLatin1String(".replaced-"))) continue;
    if (!kept.contains(root + x.name)) RemoveTree(root + x.name);
  }
  return ok;
}

// ---------------------------------------------------------------------------------------

bool WriteSafetyBackup(const DataFolders& dir, const QList<RecordKind>& kinds, QString* path,
                       QString* error, const ProgressFunction& progress) {
  return WriteSafetyArchive(dir, kinds, path, error, progress, nullptr);
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
